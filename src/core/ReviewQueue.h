// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's trouble words: a word enters review when it lands or is hit
// only in the lower half of the field, and leaves after quick hits (top half)
// in two later games in a row. Most recently troubled first.
#include "GameRecord.h"

#include <QString>
#include <vector>

namespace trenix {

class HistoryFile;
class Store;

class ReviewQueue {
public:
    explicit ReviewQueue(HistoryFile &file) : m_file(file) {}

    std::vector<QString> words(int limit);
    qint64 count();

    // Inside the transaction that records a game: what the game says of its words.
    static void noteGame(Store &store, qint64 gameId, const GameRecord &game);
    // The review as the recorded games give it (an older file brought forward).
    static void rebuild(Store &store);

private:
    HistoryFile &m_file;
};

} // namespace trenix
