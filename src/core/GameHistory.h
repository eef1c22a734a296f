// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The games of the history: every game kept with every word that showed in it,
// read back as the summary, chart points, most missed words, recent games and
// CSV rows the progress window and the export need.
#include "Error.h"
#include "GameRecord.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace trenix {

class HistoryFile;
class Store;

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
    qint32 utcOffsetS = 0; // the player's then: the game's local day
};

struct MissedWord {
    QString word;            // the entry (its simplified form), or the word's own text
    bool isEntry = false;
    qint64 landed = 0;       // games in which it reached the pile
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

// How the CSV names things: the language of its readable names, and the player.
struct CsvNaming {
    int language = 1;
    QString player;        // for games kept without a name
    bool everyRow = false; // this player in every row (the command line's --player)
};

class GameHistory {
public:
    explicit GameHistory(HistoryFile &file) : m_file(file) {}

    // The game, its words and what they do to the review, in one transaction.
    // False when it was not kept: the file's takeNotice() says why (a file from
    // a newer program stays silent).
    bool record(const GameRecord &game);

    // Reading. A damaged file met here is set aside and reads as empty.
    ProgressSummary summary(qint64 todayLocalDay);
    std::vector<GamePoint> points(qint64 sinceUtcMs);
    std::vector<MissedWord> mostMissed(int limit);
    std::vector<RecentGame> recent(int limit);

    static QStringList csvHeader();
    // One row per game, oldest first, as the CSV columns; throws Error.
    void forEachCsvRow(const std::function<void(const QStringList &)> &row, const CsvNaming &naming = {});
    // Deletes every game and the review in one transaction (the own lists stay); throws Error.
    void clear();

    // The missed words as the recorded games give them (an older file brought forward).
    static void rebuildMissed(Store &store);

private:
    void write(const GameRecord &game);
    bool notRecorded(const Error &e);
    static void noteMissed(Store &store, qint64 gameId);

    HistoryFile &m_file;
};

} // namespace trenix
