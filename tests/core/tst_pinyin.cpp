// SPDX-License-Identifier: GPL-3.0-or-later
// Answering in pinyin: what an entry hits, and how a word's pinyin is shown.
#include "Pinyin.h"

#include <QTest>
#include <array>

using namespace trenix;
using namespace Qt::StringLiterals;

namespace trenix {
char *toString(PinyinVerdict v) { return qstrdup(std::array{"NoMatch", "WrongTone", "Hit"}[int(v)]); } // by name
} // namespace trenix

class TestPinyin : public QObject {
    Q_OBJECT

private slots:
    void judge_wrongVerdict_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("pinyin"); // the word's
        QTest::addColumn<ToneRule>("rule");
        QTest::addColumn<PinyinVerdict>("expected");
        using enum PinyinVerdict;
        const auto row = [](const char *name, const QString &entry, const QString &pinyin, PinyinVerdict v,
                            ToneRule rule = ToneRule::Optional) {
            QTest::newRow(name) << entry << pinyin << rule << v;
        };
        row("numbers", u"ni3hao3"_s, u"nǐ hǎo"_s, Hit);
        row("one number, the other syllable neutral", u"ni3hao"_s, u"nǐ hǎo"_s, WrongTone);
        row("neutral as 0", u"hao3le0"_s, u"hǎo le"_s, Hit);
        row("own list without tones is neutral", u"ni3hao3"_s, u"ni hao"_s, WrongTone);
        row("ü as v", u"lv4"_s, u"lǜ"_s, Hit);
        row("ü as u:", u"lu:4"_s, u"lǜ"_s, Hit);
        row("ü as ü", u"lü4"_s, u"lǜ"_s, Hit);
        row("u is not ü", u"lu4"_s, u"lǜ"_s, NoMatch);
        row("lue is lüe", u"lue4"_s, u"lüè"_s, Hit);
        row("erhua, tone before r", u"na3r"_s, u"nǎ r"_s, Hit);
        row("erhua, tone after r", u"nar3"_s, u"nǎ r"_s, Hit);
        row("erhua, r neutral as written", u"na3 r5"_s, u"nǎ r"_s, Hit);
        row("erhua, wrong tone after r", u"nar4"_s, u"nǎ r"_s, WrongTone);
        row("erhua, two tones", u"na3r3"_s, u"nǎ r"_s, NoMatch);
        row("r opening a syllable is no erhua", u"gong1ren2"_s, u"gōng rén"_s, Hit);
        row("erhua joined in the word", u"yi2hui4r"_s, u"yíhuìr"_s, Hit);
        row("capitals", u"ZHONG1GUO2"_s, u"Zhōng guó"_s, Hit);
        row("typographic apostrophes and spaces", u" Xi1’ ʼan1 "_s, u"Xī ān"_s, Hit);
        row("mark and number mixed", u"nǐhao3"_s, u"nǐ hǎo"_s, Hit);
        row("mark and number on one syllable", u"nǐ3hao"_s, u"nǐ hǎo"_s, NoMatch);
        row("number inside a syllable", u"xi1an1"_s, u"xiān"_s, NoMatch);
        row("two syllables, as the word has", u"xi1an1"_s, u"Xī ān"_s, Hit);
        row("joined marks split by the syllables", u"xi1an1"_s, u"Xīān"_s, Hit);
        row("joined marks split before a consonant", u"fan1gan4"_s, u"fāngàn"_s, Hit);
        row("required, missing", u"nihao"_s, u"nǐ hǎo"_s, WrongTone, ToneRule::Required);
        row("required, neutral unmarked", u"le"_s, u"le"_s, Hit, ToneRule::Required);
        row("empty entry, word without pinyin", QString(), QString(), NoMatch);
        row("characters are not pinyin", u"ni好"_s, u"nǐ hǎo"_s, NoMatch);
        row("fullwidth", u"ｎｉ３ｈａｏ３"_s, u"nǐ hǎo"_s, Hit);
    }
    void judge_wrongVerdict()
    {
        QFETCH(QString, entry);
        QFETCH(QString, pinyin);
        QFETCH(ToneRule, rule);
        QTEST(PinyinEntry(entry).judge(PinyinKey(pinyin), rule), "expected");
    }

    void display_wrongMarksOrTones_data()
    {
        QTest::addColumn<QString>("pinyin");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QList<int>>("tones");
        const auto row = [](const char *pinyin, const char *marked, QList<int> tones) {
            QTest::newRow(pinyin) << QString::fromUtf8(pinyin) << QString::fromUtf8(marked) << tones;
        };
        row("lv4", "lǜ", {4});
        row("er2", "ér", {2});
        row("r5", "r", {5});
        row("lu:e4", "lüè", {4});
        row("jv2", "jú", {2});
        row("m2", "ḿ", {2});
        row("Zhong1 guo2", "Zhōng guó", {1, 2});
        row("nar3", "nǎ r", {3, 5});
        row("yíhuìr", "yí huì r", {2, 4, 5});
        row("Xī'ān", "Xī ān", {1, 1});
        row("nǐhǎo", "nǐ hǎo", {3, 3});
        row("ê̄", "ê̄", {1});
    }
    void display_wrongMarksOrTones()
    {
        QFETCH(QString, pinyin);
        QList<int> tones;
        for (const PinyinSyllable &s : PinyinKey(pinyin).displaySyllables())
            tones << s.tone;
        QTEST(PinyinKey(pinyin).toneMarked(), "marked");
        QTEST(tones, "tones");
    }
};

QTEST_GUILESS_MAIN(TestPinyin)
#include "tst_pinyin.moc"
