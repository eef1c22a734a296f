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
// forward; a language without a dictionary finds none. A failing store throws.
EntryResolver entriesIn(PracticeStore &practice);
// The same from the practice store at storePath, opened only if an older
// history needs it; throws Error when there is none or it cannot be opened.
EntryResolver entriesInFile(const QString &storePath);

// The notice in the player's language.
QString describeHistoryNotice(const HistoryNotice &notice);

// For the command line's readers: the file at path when there is one (none:
// an empty history); an older one is brought forward with the entries of the
// practice store at storePath. Throws Error for a file from a newer program, a
// damaged one or one that cannot be read or brought forward.
void openHistoryToRead(History &history, const QString &path, const QString &storePath);

} // namespace trenix
