#pragma once
// Seams and fixtures shared by the tests: a clock the test moves, message boxes
// the test answers, and fresh program folders with their own data files.
#include "GameCore.h"
#include "GlVexM.h"
#include "StoreSchema.h"

#include <QList>
#include <QStringList>
#include <QMap>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>

namespace trenix::test {

class FakeClock final : public Clock {
public:
    qint64 now = 1000;
    qint64 nowMs() const override { return now; }
    void advance(qint64 ms) { now += ms; }
};

// Calendar time the test sets: UTC milliseconds and the player's zone.
class FakeWallClock final : public WallClock {
public:
    qint64 now = 1767225600000; // 2026-01-01T00:00:00Z
    QTimeZone zone = QTimeZone::utc();
    qint64 utcMs() const override { return now; }
    QTimeZone timeZone() const override { return zone; }
};

class ScriptedDialogs final : public Dialogs {
public:
    QList<bool> answers;      // taken in order; No when empty
    QStringList questions;    // "title|text" of each question asked
    QStringList notices;      // "title|text" of each message shown
    QStringList errors;
    std::function<void()> onAsk; // runs as each question is put
    bool askYesNo(const QString &text, const QString &title) override
    {
        questions << title + u'|' + text;
        if (onAsk)
            onAsk();
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    void inform(const QString &text, const QString &title) override { notices << title + u'|' + text; }
    void showError(const QString &text) override { errors << text; }
    QString savePath; // the file chosen in a save dialog
    QString chooseSaveFile(const QString &, const QString &, const QString &) override { return savePath; }
};

// A fresh program folder; install() points the module variables at it.
class ProgramFolder {
public:
    ProgramFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Copies generated data files from the build's program folder.
    void copyFromBuild(const QStringList &names);
    void copyAllFromBuild();
    void writeFile(const QString &name, const QByteArray &bytes);
    // A practice store with the given dictionaries (language code -> entries).
    void makePracticeStore(const QMap<int, QList<DictionaryEntry>> &dictionaries,
                           const QByteArray &key = QByteArray(kStorePassword));
    // A language store holding the given rows (a null value stands for Null).
    void makeLanguageStore(const QList<std::tuple<QString, QString, std::optional<QString>>> &rows);
    void install();
private:
    QTemporaryDir m_dir;
};

// A fresh folder holding the built texts and these dictionaries, installed as the
// program folder, its practice store open as the one connection, and the range
// and language set.
std::unique_ptr<ProgramFolder> gameFolder(const QMap<int, QList<DictionaryEntry>> &dictionaries,
                                          qint16 from, qint16 to, qint16 languageCode = 2);
// A game core on the one connection with the test's seams; a test class
// derives from it and calls start() or loadCore(), and stop() in cleanup().
class GameFixture {
protected:
    FakeClock clock;
    FakeWallClock wallClock;
    ScriptedDialogs dialogs;
    Random random;
    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<GameCore> core;

    // Fresh seams, a folder holding these dictionaries, and a loaded core on it.
    void start(const QMap<int, QList<DictionaryEntry>> &dictionaries, qint16 from, qint16 to,
               qint16 languageCode = 2, GameView *view = nullptr);
    // A loaded core on the store that is already the one connection; every word is 900 twips wide.
    void loadCore(GameView *view = nullptr);
    void stop();
};

// A kept game of 60 s, 4 entries and 3 hits, whose given words landed.
GameRecord sampleGame(qint64 startUtcMs, qint32 utcOffsetS = 0, const QStringList &landed = {});

// Simple dictionary entries: word<i> with the given count, xh 1..count.
QList<DictionaryEntry> numberedEntries(int count, const QString &prefix = QStringLiteral("w"));

// Fresh module variables with the fake seams installed, and a player's config
// folder of the test's own.
void resetAll(FakeClock *clock, Dialogs *dialogs, Random *random);

} // namespace trenix::test
