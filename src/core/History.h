// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's history in one place, as the program hands it around: the file,
// its games, the review and the own lists.
#include "GameHistory.h"
#include "HistoryFile.h"
#include "OwnLists.h"
#include "ReviewQueue.h"

namespace trenix {

struct History {
    explicit History(const WallClock &clock) : file(clock), games(file), review(file), lists(file) {}
    History(const History &) = delete;
    History &operator=(const History &) = delete;

    HistoryFile file;
    GameHistory games;
    ReviewQueue review;
    OwnLists lists;
};

class PracticeStore;

// Entries from the practice store's dictionaries, for bringing an older history
// forward; a language without a dictionary finds none.
EntryResolver entriesIn(PracticeStore &practice);

// The notice in the player's language.
QString describeHistoryNotice(const HistoryNotice &notice);

// For the command line's readers: the file at path when there is one (none:
// an empty history). Throws Error for a file from a newer program, a damaged
// one or one that cannot be read.
void openHistoryToRead(History &history, const QString &path);

} // namespace trenix
