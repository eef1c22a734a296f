// Word-list files of any bytes: no crash, no hang, and a file taken gives
// words as promised: 1 to 10,000, each 1 to 16 characters, trimmed, unique,
// without control characters.
#include "GlVexM.h"
#include "WordListImport.h"

#include <QSet>
#include <cstdio>
#include <cstdlib>

using namespace trenix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    GlVexM.programFolder = QStringLiteral("/nonexistent"); // messages fall back to English at once
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    std::vector<SetWord> words;
    try {
        words = parseWordList(bytes, QStringLiteral("f.txt"));
    } catch (const Error &e) {
        if (!e.message().startsWith(QLatin1String("f.txt"))) {
            std::fprintf(stderr, "fuzz_wordlist: a refusal without the file: %s\n", qPrintable(e.message()));
            std::abort();
        }
        return 0;
    }
    QSet<QString> seen;
    const auto check = [&](bool ok, const char *what, const QString &word) {
        if (!ok) { std::fprintf(stderr, "fuzz_wordlist: %s: \"%s\"\n", what, qPrintable(word)); std::abort(); }
    };
    check(!words.empty() && words.size() <= size_t(kMaxListWords), "word count", QString::number(words.size()));
    for (const SetWord &w : words) {
        const qsizetype characters = w.word.toUcs4().size();
        check(characters >= 1 && characters <= kMaxWordCharacters, "length", w.word);
        check(w.word.trimmed() == w.word && w.pinyin.trimmed() == w.pinyin, "not trimmed", w.word);
        for (const QString &field : {w.word, w.pinyin, w.english})
            for (const QChar c : field)
                check(c.unicode() >= 0x20 && (c.unicode() < 0x7F || c.unicode() > 0x9F), "control character", field);
        check(!seen.contains(w.word), "duplicate", w.word);
        seen.insert(w.word);
    }
    return 0;
}
