// SPDX-License-Identifier: GPL-3.0-or-later
#include "WordListImport.h"

#include "DataPaths.h"
#include "GlVexM.h"
#include "History.h"
#include "LanguageChoice.h"
#include "PracticeStore.h"
#include "Texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <cstdio>
#include <optional>

namespace trenix {

namespace {

[[noreturn]] void refuse(TextId id, const QString &where, const QString &detail = QString())
{
    const QString message = text(id);
    throw Error(ErrorKind::Input, detail.isNull() ? message.arg(where) : message.arg(where, detail));
}

bool isControl(char16_t c) { return (c < 0x20 && c != u'\t') || (c >= 0x7F && c <= 0x9F); }

qsizetype codePoints(const QString &s)
{
    qsizetype n = 0;
    for (const QChar c : s)
        n += c.isLowSurrogate() ? 0 : 1;
    return n;
}

} // namespace

std::vector<SetWord> parseWordList(const QByteArray &bytes, const QString &fileName)
{
    QByteArrayView rest(bytes); // the decoder drops a byte order mark at the start of a line
    std::vector<SetWord> words;
    QSet<QString> seen;
    int lineNumber = 0;
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView raw = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        ++lineNumber;
        const QString where = QStringLiteral("%1:%2").arg(fileName).arg(lineNumber);
        if (raw.endsWith('\r'))
            raw.chop(1);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless); // a cut sequence is an error too
        const QString line = utf8.decode(raw);
        if (utf8.hasError())
            refuse(tid::Import_badUtf8, where);
        for (const QChar c : line) {
            if (isControl(c.unicode()))
                refuse(tid::Import_control, where);
        }
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        if (fields.size() > 3)
            refuse(tid::Import_fields, where);
        SetWord w{fields[0].trimmed(), fields.value(1).trimmed(), fields.value(2).trimmed()};
        if (w.word.isEmpty())
            refuse(tid::Import_noWord, where);
        if (codePoints(w.word) > kMaxWordCharacters)
            refuse(tid::Import_tooLong, where, w.word);
        if (seen.contains(w.word))
            continue; // the first one stands
        if (qsizetype(words.size()) == kMaxListWords)
            refuse(tid::Import_tooMany, where);
        seen.insert(w.word);
        words.push_back(std::move(w));
    }
    if (words.empty())
        refuse(tid::Import_noWords, fileName);
    return words;
}

ImportSummary importWordList(const QString &path, const QString &name, bool replace, PracticeStore *practice,
                             int languageCode, OwnLists &lists)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    QFile file(path);
    if (!info.exists())
        refuse(tid::Import_noFile, shown);
    if (!info.isFile()) // a folder, or a device or pipe that may never end
        refuse(tid::Import_notPlain, shown);
    if (!file.open(QIODevice::ReadOnly))
        refuse(tid::Import_cannotRead, shown, file.errorString());
    const QByteArray bytes = file.read(kMaxListFileBytes + 1); // never more, however large the file
    if (bytes.size() > kMaxListFileBytes)
        refuse(tid::Import_tooLarge, shown);
    std::vector<SetWord> words = parseWordList(bytes, QFileInfo(path).fileName());

    ImportSummary summary;
    summary.words = qint64(words.size());
    for (SetWord &w : words) {
        if (practice) {
            if (const std::optional<DetailEntry> entry = practice->detail(languageCode, w.word)) {
                ++summary.inDictionary;
                if (w.pinyin.isEmpty())
                    w.pinyin = entry->py;
                if (w.english.isEmpty())
                    w.english = entry->yw;
            }
        }
        summary.withoutPinyin += w.pinyin.isEmpty() ? 1 : 0;
    }
    lists.save(name, words, replace);
    return summary;
}

int importWordsCommand(const QString &progressPath, const QString &storePath, int languageCode, const QString &file,
                       const QString &name, bool replace)
{
    try {
        std::optional<Store> store;
        std::optional<PracticeStore> practice;
        if (!storePath.isEmpty()) {
            store.emplace(storePath, QByteArray(kStorePassword), Store::Mode::ReadOnly);
            practice.emplace(*store);
            if (!practice->hasDictionary(languageCode)) { // a settings file may name any code
                std::fprintf(stderr,
                             "trenix: %s holds no dictionary for language %d (the language config.dat gives):"
                             " pinyin and English are not filled in\n",
                             forTerminal(QDir::toNativeSeparators(storePath)).constData(), languageCode);
                practice.reset();
            }
        } else {
            std::fprintf(stderr, "trenix: no practice store found: pinyin and English are not filled in\n");
        }
        const SystemWallClock clock;
        History history(clock);
        history.file.setEntryResolver(practice ? entriesIn(*practice) : entriesInFile(QString()));
        history.file.open(progressPath);
        if (const HistoryNotice notice = history.file.takeNotice(); !notice.isNone())
            std::fprintf(stderr, "trenix: %s\n", forTerminal(describeHistoryNotice(notice)).constData());
        const ImportSummary s =
            importWordList(file, name, replace, practice ? &*practice : nullptr, languageCode, history.lists);
        std::printf(
            "trenix: %lld words imported into the list \"%s\": %lld found in the dictionary, %lld without pinyin\n",
            static_cast<long long>(s.words), forTerminal(name).constData(), static_cast<long long>(s.inDictionary),
            static_cast<long long>(s.withoutPinyin));
        return 0;
    } catch (const Error &e) {
        QString message = e.message();
        if (!replace && message == text(tid::Lists_exists).arg(name))
            message += QStringLiteral(" Give --replace as well to replace it.");
        std::fprintf(stderr, "trenix: error: %s\ntrenix: nothing was imported\n", forTerminal(message).constData());
        return 1;
    }
}

int commandLineLanguage(const DataPaths &paths)
{
    int code = 2; // what start-up takes when the player says Yes to simplified Chinese
    if (ReadPlayerLanguage(paths.playerConfigFile()) == 0) {
        code = GlVexM.languageCode;
    } else {
        InitIniFile(paths.programFolder);
        if (ReadLanguage() == 0)
            code = GlVexM.languageCode;
    }
    GlVexM.languageCode = 0;
    return code;
}

int listWordsCommand(const QString &progressPath, const QString &storePath)
{
    try {
        const SystemWallClock clock;
        History history(clock);
        openHistoryToRead(history, progressPath, storePath); // none yet: no lists yet
        const std::vector<ListInfo> lists = history.lists.lists();
        for (const ListInfo &l : lists)
            std::printf("%s\t%lld\n", forTerminal(l.name).constData(), static_cast<long long>(l.words));
        if (lists.empty())
            std::fprintf(stderr, "trenix: no word lists yet; import one with --import-words FILE --list NAME\n");
        return 0;
    } catch (const Error &e) {
        std::fprintf(stderr, "trenix: error: %s\n", forTerminal(e.message()).constData());
        return 1;
    }
}

} // namespace trenix
