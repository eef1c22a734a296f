// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Seams and fixtures shared by the tests: clocks the test moves, message boxes it answers, fresh program folders.
#include "DataPaths.h"
#include "GameCore.h"
#include "History.h"
#include "StoreSchema.h"
#include "Texts.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <tuple>
#ifdef QT_WIDGETS_LIB
#include <QWidget>
#endif

namespace trenix::test {

using Dictionaries = QMap<int, QList<DictionaryEntry>>; // language code -> entries

struct FakeClock final : Clock {
    qint64 now = 1000;
    qint64 nowMs() const override { return now; }
    void advance(qint64 ms) { now += ms; }
};

struct FakeWallClock final : WallClock { // calendar time the test sets, in UTC
    qint64 now = 1767225600000;          // 2026-01-01T00:00:00Z
    qint64 utcMs() const override { return now; }
    QTimeZone timeZone() const override { return QTimeZone::utc(); }
};

struct ScriptedDialogs final : Dialogs {
    QList<bool> answers;                 // taken in order; No when empty
    QStringList questions;               // "title|text" of each question asked
    QStringList notices, errors;         // "title|text" of each message shown; the text of each error
    QString savePath;                    // the file chosen in a save dialog
    std::function<void()> onAsk = [] {}; // runs as each question is put
    bool askYesNo(const QString &text, const QString &title) override
    {
        questions << title + u'|' + text;
        onAsk();
        return !answers.isEmpty() && answers.takeFirst();
    }
    void inform(const QString &text, const QString &title) override { notices << title + u'|' + text; }
    void showError(const QString &text) override { errors << text; }
    QString chooseSaveFile(const QString &, const QString &, const QString &) override { return savePath; }
};

struct ProgramFolder : QTemporaryDir { // a fresh program folder; install() points the text lookups at it
    QString file(const QString &name) const { return filePath(name); }
    void copyFromBuild(const QStringList &names) // generated data files of the build, made writable
    {
        for (const QString &name : names) {
            QFile::remove(file(name));
            if (!QFile::copy(QStringLiteral(TRENIX_BIN_DIR "/") + name, file(name)))
                qFatal("cannot copy %s from the build", qPrintable(name));
            QFile(file(name)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
    }
    void copyAllFromBuild()
    {
        copyFromBuild(QStringList{QLatin1String(kStoreFile), QLatin1String(kLanguageFile), QLatin1String(kSettingsFile)}
                      + QDir(QStringLiteral(TRENIX_BIN_DIR)).entryList({QStringLiteral("help0?.bmp")}));
    }
    void writeFile(const QString &name, const QByteArray &bytes) { writeFileAt(file(name), bytes); }
    static void writeFileAt(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
            qFatal("cannot write %s", qPrintable(path));
    }
    // A practice store of these dictionaries alone.
    void makePracticeStore(const Dictionaries &dictionaries, const QByteArray &key = QByteArray(kStorePassword))
    {
        QFile::remove(file(QLatin1String(kStoreFile)));
        Store store(file(QLatin1String(kStoreFile)), key, Store::Mode::Create);
        Transaction tx(store);
        for (auto it = dictionaries.begin(); it != dictionaries.end(); ++it) {
            createDictionaryTable(store, it.key());
            insertDictionary(store, it.key(), it.value());
        }
        createPracticeTable(store);
        tx.commit();
    }
    void makeLanguageStore(const QList<std::tuple<QString, QString, std::optional<QString>>> &rows) // no value: Null
    {
        QFile::remove(file(QLatin1String(kLanguageFile)));
        Store store(file(QLatin1String(kLanguageFile)), QByteArray(), Store::Mode::Create);
        Transaction tx(store);
        createLanguageTable(store);
        for (const auto &[id, lang, value] : rows)
            insertText(store, id, lang, value ? &*value : nullptr);
        tx.commit();
    }
    void install() const { useLanguageStore(file(QLatin1String(kLanguageFile))); }
    // This folder as the program's, the store beside it, and the test's own player folder.
    DataPaths paths() const { return {path(), QString(), playerFolder()}; }
    static QString playerFolder()
    {
        static QTemporaryDir player; // never the player's own ~/.config/trenix
        return player.path();
    }
};

// A 1 MiB tmpfs of its own for the test's life (mounting needs root: check mounted() and skip without it);
// fill() leaves it without a free page, emptyAgain() gives the room back.
struct SmallDisk : QTemporaryDir {
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), path()});
    }
    bool mounted() const { return m_mounted; }
    bool mount(QStringList args) { return QProcess::execute(QStringLiteral("mount"), args << path()) == 0; }
    void fill()
    {
        QFile filler(filePath(QStringLiteral("filler")));
        for (bool room = filler.open(QIODevice::WriteOnly); room;)
            room = filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush();
    }
    void emptyAgain() { QFile::remove(filePath(QStringLiteral("filler"))); }

private:
    bool m_mounted = mount(QStringLiteral("-t tmpfs -o size=1m tmpfs").split(u' '));
};

// Fresh module variables and text lookups.
inline void resetAll()
{
    resetModuleVariables();
    useLanguageStore(QString());
}

// A fresh installed folder with the built texts and these dictionaries, its store the one connection, range and
// language set.
std::unique_ptr<ProgramFolder> gameFolder(const Dictionaries &dictionaries, qint16 from, qint16 to,
                                          qint16 languageCode = 2);

// A game core with the test's seams; a test class derives from it, calls start() or loadCore(), and stop() in
// cleanup().
class GameFixture {
protected:
    FakeClock clock;
    FakeWallClock wallClock;
    ScriptedDialogs dialogs;
    Random random;
    History history{wallClock};
    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<GameCore> core;
    // Fresh seams, a folder holding these dictionaries, and a loaded core on it.
    void start(const Dictionaries &dictionaries, qint16 from, qint16 to, qint16 languageCode = 2,
               GameView *view = nullptr);
    // On the store that is the one connection already; every word 900 twips wide.
    void loadCore(GameView *view = nullptr)
    {
        random.seed(7);
        core = std::make_unique<GameCore>(
            GlVexM.storeConn, [](const QString &) { return qint64(900); }, clock, wallClock, random, dialogs, history);
        core->setView(view);
        core->load();
    }
    void stop()
    {
        core.reset();
        history.file.close();
        resetAll();
        folder.reset();
    }
    void type(const QString &entry) // typed into the box and sent with Enter
    {
        core->screen.TxT = entry;
        core->TxT_KeyUp(GameCore::kKeyEnter, 0);
    }
    QStringList captions(bool visibleOnly = false) const // of the game's word labels, in their order
    {
        QStringList out;
        for (size_t i = 1; i < core->Label1.size(); ++i)
            if (!visibleOnly || core->Label1[i].Visible)
                out << core->Label1[i].Caption;
        return out;
    }
};

// The first column of every row, as text.
inline QStringList firstColumn(Store &store, const QString &sql)
{
    QStringList out;
    for (Statement st = store.prepare(sql); st.next();)
        out << st.text(0);
    return out;
}

// The file's bytes; null when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

#ifdef QT_WIDGETS_LIB
// Shown and active, as a window the player has clicked on.
inline void activate(QWidget &w)
{
    w.show();
    w.activateWindow();
    QVERIFY2(QTest::qWaitForWindowActive(&w), "the window never became active");
}
#endif

#ifdef TRENIX_KILLME
// Starts the kill-test helper in MODE on FOLDER: an empty text once it is under way, else what it said on stderr.
inline QString startKillme(QProcess &helper, const QString &mode, const QString &folder)
{
    helper.start(QStringLiteral(TRENIX_KILLME), {mode, folder});
    const bool ready =
        helper.waitForStarted() && helper.waitForReadyRead(60000) && helper.readLine().trimmed() == "ready";
    return ready ? QString() : QStringLiteral("not ready: ") + QString::fromLocal8Bit(helper.readAllStandardError());
}
#endif

// A kept game of 60 s, 4 entries and 3 hits, whose given words landed.
inline GameRecord sampleGame(qint64 startUtcMs, qint32 utcOffsetS = 0, const QStringList &landed = {})
{
    GameRecord g;
    g.startUtcMs = startUtcMs;
    g.endUtcMs = startUtcMs + 60000;
    g.utcOffsetS = utcOffsetS;
    g.seconds = 60;
    g.selection = QStringLiteral("range:1-5");
    g.entries = 4;
    g.hits = 3;
    g.speed = 3;
    g.accuracy = 0.75;
    for (const QString &w : landed)
        g.words.push_back({w, false, true, 9, 5190, {}});
    return g;
}

// Entries <prefix>1..<prefix>count with xh 1..count.
inline QList<DictionaryEntry> numberedEntries(int count, const QString &prefix = QStringLiteral("w"))
{
    QList<DictionaryEntry> entries;
    for (int i = 1; i <= count; ++i)
        entries.append(
            {i, prefix + QString::number(i), QStringLiteral("py%1").arg(i), QStringLiteral("en%1").arg(i), {}, {}});
    return entries;
}

} // namespace trenix::test
