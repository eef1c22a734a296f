// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pinyin.h"

#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <string_view>

namespace trenix {

namespace {

// Every toneless syllable of Mandarin, ü as v, plus the erhua `r`; only used to
// split pinyin written without spaces (`nǐhǎo`, `Xī'ān`, `yíhuìr`).
constexpr std::array<std::string_view, 422> kSyllables = {
    "a",     "ai",    "an",     "ang",   "ao",    "ba",    "bai",   "ban",   "bang",  "bao",   "bei",    "ben",
    "beng",  "bi",    "bian",   "biang", "biao",  "bie",   "bin",   "bing",  "bo",    "bu",    "ca",     "cai",
    "can",   "cang",  "cao",    "ce",    "cei",   "cen",   "ceng",  "cha",   "chai",  "chan",  "chang",  "chao",
    "che",   "chen",  "cheng",  "chi",   "chong", "chou",  "chu",   "chua",  "chuai", "chuan", "chuang", "chui",
    "chun",  "chuo",  "ci",     "cong",  "cou",   "cu",    "cuan",  "cui",   "cun",   "cuo",   "da",     "dai",
    "dan",   "dang",  "dao",    "de",    "dei",   "den",   "deng",  "di",    "dia",   "dian",  "diao",   "die",
    "ding",  "diu",   "dong",   "dou",   "du",    "duan",  "dui",   "dun",   "duo",   "e",     "ei",     "en",
    "eng",   "er",    "fa",     "fan",   "fang",  "fei",   "fen",   "feng",  "fiao",  "fo",    "fou",    "fu",
    "ga",    "gai",   "gan",    "gang",  "gao",   "ge",    "gei",   "gen",   "geng",  "gong",  "gou",    "gu",
    "gua",   "guai",  "guan",   "guang", "gui",   "gun",   "guo",   "ha",    "hai",   "han",   "hang",   "hao",
    "he",    "hei",   "hen",    "heng",  "hm",    "hng",   "hong",  "hou",   "hu",    "hua",   "huai",   "huan",
    "huang", "hui",   "hun",    "huo",   "ji",    "jia",   "jian",  "jiang", "jiao",  "jie",   "jin",    "jing",
    "jiong", "jiu",   "ju",     "juan",  "jue",   "jun",   "ka",    "kai",   "kan",   "kang",  "kao",    "ke",
    "kei",   "ken",   "keng",   "kong",  "kou",   "ku",    "kua",   "kuai",  "kuan",  "kuang", "kui",    "kun",
    "kuo",   "la",    "lai",    "lan",   "lang",  "lao",   "le",    "lei",   "leng",  "li",    "lia",    "lian",
    "liang", "liao",  "lie",    "lin",   "ling",  "liu",   "lo",    "long",  "lou",   "lu",    "luan",   "lun",
    "luo",   "lv",    "lve",    "m",     "ma",    "mai",   "man",   "mang",  "mao",   "me",    "mei",    "men",
    "meng",  "mi",    "mian",   "miao",  "mie",   "min",   "ming",  "miu",   "mo",    "mou",   "mu",     "n",
    "na",    "nai",   "nan",    "nang",  "nao",   "ne",    "nei",   "nen",   "neng",  "ng",    "ni",     "nian",
    "niang", "niao",  "nie",    "nin",   "ning",  "niu",   "nong",  "nou",   "nu",    "nuan",  "nun",    "nuo",
    "nv",    "nve",   "o",      "ou",    "pa",    "pai",   "pan",   "pang",  "pao",   "pei",   "pen",    "peng",
    "pi",    "pian",  "piao",   "pie",   "pin",   "ping",  "po",    "pou",   "pu",    "qi",    "qia",    "qian",
    "qiang", "qiao",  "qie",    "qin",   "qing",  "qiong", "qiu",   "qu",    "quan",  "que",   "qun",    "r",
    "ran",   "rang",  "rao",    "re",    "ren",   "reng",  "ri",    "rong",  "rou",   "ru",    "rua",    "ruan",
    "rui",   "run",   "ruo",    "sa",    "sai",   "san",   "sang",  "sao",   "se",    "sen",   "seng",   "sha",
    "shai",  "shan",  "shang",  "shao",  "she",   "shei",  "shen",  "sheng", "shi",   "shou",  "shu",    "shua",
    "shuai", "shuan", "shuang", "shui",  "shun",  "shuo",  "si",    "song",  "sou",   "su",    "suan",   "sui",
    "sun",   "suo",   "ta",     "tai",   "tan",   "tang",  "tao",   "te",    "tei",   "teng",  "ti",     "tian",
    "tiao",  "tie",   "ting",   "tong",  "tou",   "tu",    "tuan",  "tui",   "tun",   "tuo",   "wa",     "wai",
    "wan",   "wang",  "wei",    "wen",   "weng",  "wo",    "wu",    "xi",    "xia",   "xian",  "xiang",  "xiao",
    "xie",   "xin",   "xing",   "xiong", "xiu",   "xu",    "xuan",  "xue",   "xun",   "ya",    "yai",    "yan",
    "yang",  "yao",   "ye",     "yi",    "yin",   "ying",  "yo",    "yong",  "you",   "yu",    "yuan",   "yue",
    "yun",   "za",    "zai",    "zan",   "zang",  "zao",   "ze",    "zei",   "zen",   "zeng",  "zha",    "zhai",
    "zhan",  "zhang", "zhao",   "zhe",   "zhei",  "zhen",  "zheng", "zhi",   "zhong", "zhou",  "zhu",    "zhua",
    "zhuai", "zhuan", "zhuang", "zhui",  "zhun",  "zhuo",  "zi",    "zong",  "zou",   "zu",    "zuan",   "zui",
    "zun",   "zuo",
};
static_assert(std::is_sorted(kSyllables.begin(), kSyllables.end()));
constexpr qsizetype kLongestSyllable = 6;
// Positions are kept in 16 bits; no pinyin of a word comes near this.
constexpr qsizetype kMaxLetters = 4096;

bool isSyllable(std::string_view s) { return std::binary_search(kSyllables.begin(), kSyllables.end(), s); }

enum SyllableFlag : quint8 { Capital = 1, Circumflex = 2, Erhua = 4 };

// One spelling for both sides: after j, q, x, y the u is always ü, and `lue`,
// `nue` can only mean lüe, nüe; so `xv`, `xu`, `lue`, `lve` all compare equal.
void canonicalize(char *s, qsizetype n)
{
    for (qsizetype i = 1; i < n; ++i) {
        const char prev = s[i - 1];
        if (s[i] == 'v' && (prev == 'j' || prev == 'q' || prev == 'x' || prev == 'y'))
            s[i] = 'u';
        else if (s[i] == 'u' && (prev == 'l' || prev == 'n') && i + 1 < n && s[i + 1] == 'e')
            s[i] = 'v';
    }
}

// Fullwidth letters and digits become ASCII; marked letters become letter + combining mark.
QString decomposed(QStringView text)
{
    const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    return ascii ? text.toString() : text.toString().normalized(QString::NormalizationForm_KD);
}

// A combining tone mark's tone, 0 when the character is none. The breve stands in
// for the caron often enough (`nĭ`) to be taken as the third tone.
int markTone(char16_t c)
{
    switch (c) {
    case 0x0304: return 1;
    case 0x0301: return 2;
    case 0x030C:
    case 0x0306: return 3;
    case 0x0300: return 4;
    default: return 0;
    }
}

// What the player may type between syllables and we ignore.
bool isEntrySeparator(QChar c)
{
    switch (c.unicode()) {
    case u'\'':
    case u'-':
    case u',':
    case u'`':
    case 0x00B7:
    case 0x02BC:
    case 0x2018:
    case 0x2019:
    case 0x2032: // middle dot, apostrophes
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2212: // hyphens and dashes
    case 0x2022:
    case 0x2027:
    case 0x30FB:
    case 0x3001: // dots, ideographic comma
        return true;
    default: return c.isSpace();
    }
}

// A letter as we compare it: lower case a..z, 0 for anything else. The IPA
// forms of a and g turn up in copied pinyin.
char letterOf(QChar c, bool *capital)
{
    const char16_t u = c.unicode();
    *capital = u >= u'A' && u <= u'Z';
    if (*capital)
        return char(u - u'A' + u'a');
    if (u >= u'a' && u <= u'z')
        return char(u);
    if (u == 0x0251)
        return 'a';
    if (u == 0x0261)
        return 'g';
    return 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------

PinyinKey::PinyinKey(QStringView pinyin)
{
    const QString text = decomposed(pinyin);
    // Per letter: capital, circumflex, and the tone of a mark on it (bits 4..6).
    QVarLengthArray<quint8, 32> letterInfo;
    struct Chunk {
        qsizetype begin, end;
        int tone; // a number after it, 0 for none
    };
    QVarLengthArray<Chunk, 8> chunks;
    qsizetype chunkBegin = 0;
    bool inLetters = false; // the last character was a letter or a mark on one
    const auto closeChunk = [&] {
        if (m_spelling.size() > chunkBegin)
            chunks.append({chunkBegin, m_spelling.size(), 0});
        chunkBegin = m_spelling.size();
    };
    for (const QChar c : text) {
        bool capital = false;
        if (const char l = letterOf(c, &capital)) {
            if (m_spelling.size() == kMaxLetters) {
                m_spelling.clear();
                return;
            }
            m_spelling.append(l);
            letterInfo.append(capital ? Capital : 0);
            inLetters = true;
        } else if (const int tone = markTone(c.unicode()); tone && inLetters) {
            letterInfo.back() = quint8((letterInfo.back() & 0x0F) | (tone << 4));
        } else if ((c == u'\u0308' || c == u':') && inLetters && m_spelling.back() == 'u') {
            m_spelling.back() = 'v';
        } else if (c == u'\u0302' && inLetters) {
            letterInfo.back() |= Circumflex;
        } else if (c.unicode() >= 0x0300 && c.unicode() <= 0x036F && inLetters) {
            // another accent: the letter stays what it is
        } else if (c >= u'0' && c <= u'5') {
            closeChunk();
            // `ni3`, and liberally `ni 3`: the number belongs to the syllables before it
            if (!chunks.isEmpty() && chunks.back().tone == 0)
                chunks.back().tone = c == u'0' ? 5 : c.unicode() - u'0';
            inLetters = false;
        } else {
            closeChunk();
            inLetters = false;
        }
    }
    closeChunk();
    if (m_spelling.isEmpty())
        return;

    const auto addSyllable = [&](qsizetype begin, qsizetype end, int tone) {
        Syllable s;
        s.begin = quint16(begin);
        s.end = quint16(end);
        s.tone = quint8(tone);
        s.flags = letterInfo[begin] & Capital;
        for (qsizetype i = begin; i < end; ++i)
            s.flags |= letterInfo[i] & Circumflex;
        m_syllables.append(s);
    };
    const auto markIn = [&](qsizetype begin, qsizetype end) {
        int tone = 0;
        for (qsizetype i = begin; i < end && !tone; ++i)
            tone = letterInfo[i] >> 4;
        return tone;
    };
    for (const Chunk &chunk : chunks) {
        char *letters = m_spelling.data() + chunk.begin;
        const qsizetype n = chunk.end - chunk.begin;
        canonicalize(letters, n);
        // Split joined syllables: fewest syllables, one mark at most in each; a syllable
        // opening with a, o, e or a lone m, n, ng inside the chunk costs one more,
        // since writers put an apostrophe there (`fangan` is fan gan, `fang'an` fang an).
        constexpr int kNone = 1 << 20;
        const auto step = [&](qsizetype i, qsizetype j) {
            const std::string_view s(letters + i, size_t(j - i));
            const auto marked = [](quint8 info) { return (info >> 4) != 0; };
            const auto from = letterInfo.begin() + chunk.begin;
            if (!isSyllable(s) || std::count_if(from + i, from + j, marked) > 1)
                return kNone;
            const bool awkward =
                i > 0 && (s[0] == 'a' || s[0] == 'o' || s[0] == 'e' || s == "m" || s == "n" || s == "ng");
            return awkward ? 2 : 1;
        };
        QVarLengthArray<int, 32> cost(n + 1, kNone); // of the letters from i to the chunk's end
        cost[n] = 0;
        for (qsizetype i = n - 1; i >= 0; --i) {
            for (qsizetype j = i + 1; j <= n && j - i <= kLongestSyllable; ++j) {
                if (cost[j] < kNone)
                    cost[i] = std::min(cost[i], cost[j] + step(i, j));
            }
        }
        if (cost[0] >= kNone) {
            // not Mandarin (`O K`, a typo): one syllable, so that it still matches as written
            const int mark = markIn(chunk.begin, chunk.end);
            addSyllable(chunk.begin, chunk.end, chunk.tone ? chunk.tone : mark ? mark : 5);
            continue;
        }
        for (qsizetype i = 0; i < n;) {
            // the longest first syllable among the cheapest splits
            qsizetype j = std::min(n, i + kLongestSyllable);
            while (cost[j] >= kNone || step(i, j) >= kNone || cost[j] + step(i, j) != cost[i])
                --j;
            const int mark = markIn(chunk.begin + i, chunk.begin + j);
            addSyllable(chunk.begin + i, chunk.begin + j, j == n && chunk.tone ? chunk.tone : mark ? mark : 5);
            i = j;
        }
    }

    // An `r` after a syllable is erhua: part of that syllable, which carries the tone
    // even when it is written after the r (`nar3`).
    for (qsizetype i = 1; i < m_syllables.size(); ++i) {
        Syllable &s = m_syllables[i];
        if (s.end - s.begin != 1 || m_spelling[s.begin] != 'r')
            continue;
        s.flags |= Erhua;
        if (s.tone != 5 && m_syllables[i - 1].tone == 5)
            m_syllables[i - 1].tone = s.tone;
        s.tone = 5;
    }
    m_letters = m_spelling;
    canonicalize(m_letters.data(), m_letters.size());
}

QByteArray PinyinKey::syllableLetters(int i) const
{
    const Syllable &s = m_syllables.at(i);
    return m_spelling.mid(s.begin, s.end - s.begin);
}

QList<PinyinSyllable> PinyinKey::displaySyllables() const
{
    QList<PinyinSyllable> out;
    out.reserve(m_syllables.size());
    for (const Syllable &s : m_syllables) {
        const std::string_view l(m_spelling.constData() + s.begin, s.end - s.begin);
        // The mark goes on a or e, else on the o of ou, else on the last vowel;
        // the vowelless m, n, ng carry it on their first letter.
        size_t at = l.find_first_of("ae");
        if (at == std::string_view::npos)
            at = l.find("ou");
        if (at == std::string_view::npos)
            at = l.find_last_of("iouv");
        if (at == std::string_view::npos)
            at = l.find_first_of("mn");
        static constexpr char16_t kMarks[] = {0x0304, 0x0301, 0x030C, 0x0300};
        QString text;
        for (size_t i = 0; i < l.size(); ++i) {
            QChar c = l[i] == 'v'                               ? QChar(0x00FC)
                      : (l[i] == 'e' && (s.flags & Circumflex)) ? QChar(0x00EA)
                                                                : QChar(QLatin1Char(l[i]));
            text += i == 0 && (s.flags & Capital) ? c.toUpper() : c;
            if (i == at && s.tone >= 1 && s.tone <= 4)
                text += QChar(kMarks[s.tone - 1]);
        }
        if (at != std::string_view::npos && s.tone <= 4)
            text = text.normalized(QString::NormalizationForm_C);
        out.append({text, s.tone});
    }
    return out;
}

QString PinyinKey::toneMarked() const
{
    QString out;
    for (const PinyinSyllable &s : displaySyllables()) {
        if (!out.isEmpty())
            out += u' ';
        out += s.text;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------------------------

PinyinEntry::PinyinEntry(QStringView typed)
{
    const QString text = decomposed(typed);
    bool inLetters = false;
    for (const QChar c : text) {
        bool capital = false;
        if (const char l = letterOf(c, &capital)) {
            if (m_letters.size() == kMaxLetters)
                return;
            m_letters.append(l);
            inLetters = true;
        } else if (const int tone = markTone(c.unicode()); tone && inLetters) {
            m_tones.append({quint16(m_letters.size() - 1), quint8(tone), true});
        } else if ((c == u'\u0308' || c == u':') && inLetters && m_letters.back() == 'u') {
            m_letters.back() = 'v';
        } else if (c == u'\u0302' && inLetters && m_letters.back() == 'e') {
            // ê is compared as e
        } else if (c >= u'0' && c <= u'5') {
            m_tones.append({quint16(m_letters.size()), quint8(c == u'0' ? 5 : c.unicode() - u'0'), false});
            inLetters = false;
        } else if (isEntrySeparator(c)) {
            inLetters = false;
        } else {
            return; // not pinyin: matches nothing
        }
    }
    canonicalize(m_letters.data(), m_letters.size());
    m_valid = !m_letters.isEmpty();
}

PinyinVerdict PinyinEntry::judge(const PinyinKey &key, ToneRule rule) const
{
    if (!m_valid || m_letters != key.m_letters || key.isEmpty())
        return PinyinVerdict::NoMatch;
    if (m_tones.isEmpty() && rule == ToneRule::Optional)
        return PinyinVerdict::Hit;

    // The tone typed for each syllable, and for an erhua syllable the one after its r;
    // 0 where none was typed. A syllable given two tones is no reading of the word.
    const auto &syllables = key.m_syllables;
    const qsizetype n = syllables.size();
    QVarLengthArray<quint8, 16> given(n, 0), afterR(n, 0);
    for (const Tone &t : m_tones) {
        qsizetype i = 0;
        if (t.isMark) {
            while (syllables[i].end <= t.pos)
                ++i;
        } else {
            while (i < n && syllables[i].end != t.pos)
                ++i;
            if (i == n)
                return PinyinVerdict::NoMatch; // the number splits a syllable of the word
        }
        quint8 *slot = &given[i];
        if (syllables[i].flags & Erhua)
            slot = t.isMark ? &given[i - 1] : &afterR[i - 1];
        if (*slot)
            return PinyinVerdict::NoMatch;
        *slot = t.tone;
    }
    bool right = true;
    for (qsizetype i = 0; i < n; ++i) {
        if (syllables[i].flags & Erhua)
            continue;
        if (given[i] && afterR[i] && afterR[i] != 5)
            return PinyinVerdict::NoMatch;
        const int tone = given[i] ? given[i] : afterR[i] ? afterR[i] : 5;
        right = right && tone == syllables[i].tone;
    }
    return right ? PinyinVerdict::Hit : PinyinVerdict::WrongTone;
}

} // namespace trenix
