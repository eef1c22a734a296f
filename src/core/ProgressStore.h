#pragma once
// The player's history: every game and every word that showed in it, in a plain
// SQLite file beside the practice store. The schema carries its version in
// PRAGMA user_version and is brought forward by the migrations in the .cpp.
// A damaged file is set aside (renamed, never deleted) and a fresh one started;
// a file from a newer program is left as it is and nothing is recorded.
#include "GameRecord.h"
#include "Store.h"
#include "WordSet.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace trenix {

inline constexpr char kProgressFile[] = "progress.db";

struct ProgressSummary {
    qint64 games = 0;
    qint64 seconds = 0;
    double bestSpeed = 0;
    std::optional<double> averageLast10; // speed over the ten newest games
    int streakDays = 0;
};

struct GamePoint {
    qint64 startUtcMs = 0;
    double speed = 0;
    std::optional<double> accuracy;
};

struct MissedWord {
    QString word;
    qint64 landed = 0;     // games in which it reached the pile
    QString pinyin, english; // from the current dictionary; empty when it is not there
};

struct RecentGame {
    qint64 startUtcMs = 0;
    qint32 utcOffsetS = 0;
    qint64 seconds = 0;
    double speed = 0;
    std::optional<double> accuracy;
    qint64 hits = 0, entries = 0, landed = 0;
    QString selection;
};

struct ListInfo {
    QString name;
    qint64 words = 0;
};

class ProgressStore {
public:
    static constexpr int kSchemaVersion = 2;
    enum class State { Closed, Ready, Newer, Unavailable };

    // Opens the file and brings its schema forward; a missing file is created
    // by the first record(). Never throws: state() and takeNotice() tell.
    void open(const QString &path);
    // For the export from the command line: an existing file only, never set
    // aside. Throws Error (a newer file, a damaged one, one that cannot be read).
    void openExisting(const QString &path);
    void close();

    State state() const { return m_state; }
    const QString &path() const { return m_path; }
    // What the player should be told about the last open or write, once.
    QString takeNotice();
    // Why games are not kept, for as long as that lasts; empty while they are.
    const QString &status() const { return m_status; }

    // The game and its words in one transaction. False when it was not kept
    // (takeNotice() says why; a file from a newer program stays silent).
    bool record(const GameRecord &game);

    // Reading. A damaged file met here is set aside and reads as empty.
    ProgressSummary summary(qint64 todayLocalDay);
    std::vector<GamePoint> points(qint64 sinceUtcMs);
    std::vector<MissedWord> mostMissed(int limit);
    std::vector<RecentGame> recent(int limit);
    static QStringList csvHeader();
    // One row per game, oldest first, as the CSV columns; throws Error.
    void forEachCsvRow(const std::function<void(const QStringList &)> &row);
    // Deletes every game in one transaction (the own lists stay); throws Error.
    void clear();

    // Trouble words: entered by landing or by a hit in the lower half of the
    // field, left after quick hits in two later games. Most recently troubled first.
    std::vector<QString> reviewWords(int limit);
    qint64 reviewCount();

    // The player's own lists, by name with their sizes: one grouped query.
    std::vector<ListInfo> lists();
    // A list's words in its order; nothing when there is no such list.
    std::optional<std::vector<SetWord>> listWords(const QString &name);
    // The pinyin and English an own list gives a word (the newest list first).
    std::optional<SetWord> ownWord(const QString &word);
    // One transaction each; throw Error (the name taken or missing, a file that
    // cannot be written, one from a newer program) and then change nothing.
    void saveList(const QString &name, const std::vector<SetWord> &words, bool replace);
    void renameList(const QString &from, const QString &to);
    void deleteList(const QString &name);

private:
    void openFile(const QString &path, bool createMissing);
    void migrate();
    void write(const GameRecord &game);
    void writable(); // opens or makes the file for a change; throws when it cannot be
    void setAside(const QString &why);
    void tell(const QString &notice);
    template <typename T, typename F> T reading(F &&read, T empty);

    Store m_store;
    State m_state = State::Closed;
    QString m_path;
    QString m_notice;
    QString m_status;
    QString m_reason; // why the file cannot be used, in the player's words
};

// Where the progress store of this run lives: beside the practice store.
QString progressStorePath();

} // namespace trenix
