// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's review: a word enters it when it lands or is typed only in the
// lower half of the field, and from then on every game it shows in reviews it
// with FSRS (landed: again, hit in the lower half: hard, in the top half:
// good). A review game draws the words due, most overdue first. Words are kept
// by their dictionary entry, so that they follow the player across scripts.
#include "GameRecord.h"

#include <QString>
#include <optional>
#include <vector>

namespace trenix {

class HistoryFile;
class Store;

struct ReviewWord {
    QString word;         // the entry (its simplified form), or the text of a word no dictionary holds
    bool isEntry = false;
};

class ReviewQueue {
public:
    // A word whose next interval is this long is learned.
    static constexpr int kLearnedDays = 21;

    explicit ReviewQueue(HistoryFile &file) : m_file(file) {}

    // The words due at a time, most overdue first.
    std::vector<ReviewWord> due(qint64 atUtcMs, int limit);
    // How many are due by a time (the end of today, of the week).
    qint64 dueBy(qint64 utcMs);
    // When the next word comes due; nothing while the review is empty.
    std::optional<qint64> nextDue();
    qint64 learned();
    qint64 count();

    // Inside the transaction that records a game: what the game says of its words.
    static void noteGame(Store &store, qint64 gameId, const GameRecord &game);
    // The review as the recorded games give it (an older file brought forward).
    static void rebuild(Store &store);

private:
    qint64 single(const QString &sql, qint64 bound);

    HistoryFile &m_file;
};

} // namespace trenix
