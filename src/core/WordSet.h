// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a game draws its words from: the dictionary's number range (the
// default), a level of HSK 2.0 or HSK 3.0, the player's review, or one of
// their own lists. Every kind but the range fills the practice list with its
// words numbered 1..n in the set's order; from there the game runs as always.
#include <QString>
#include <optional>
#include <vector>

namespace trenix {

class PracticeStore;
struct History;

struct WordSet {
    enum class Kind { Range, Level, Review, List, Hsk3 };
    Kind kind = Kind::Range;
    int level = 0; // 1..6 for Level (HSK 2.0), 1..7 for Hsk3 (7: the band 7-9)
    QString list;  // the list's name for List

    static constexpr int kLowestLevel = 1;
    static constexpr int kHighestLevel = 6;
    static constexpr int kHsk3Band = 7;      // HSK 3.0's levels 7-9, taught as one band
    static constexpr int kReviewLimit = 100; // words per review game, most overdue first

    // "range", "level:N" (N 1..6), "hsk3:N" (N 1..7), "review", "list:NAME"; nothing for anything else.
    static std::optional<WordSet> parse(const QString &value);
    QString value() const;
    bool operator==(const WordSet &) const = default;
};

// A word of a set, with the pinyin and English to use where the dictionary lacks it.
struct SetWord {
    QString word, pinyin, english;
};

// The words of a set other than the range, in the set's order. Empty, with the
// reason in notice, when there is nothing to play; throws Error when the store fails.
// Review words are those due at nowUtcMs, shown as the language's dictionary shows them.
std::vector<SetWord> wordsOfSet(const WordSet &set, PracticeStore &practice, History &history, int languageCode,
                                qint64 nowUtcMs, QString *notice);

// The name of a level for the player: "HSK 2.0 level 3", "HSK 3.0 levels 7-9".
QString levelName(WordSet::Kind standard, int level, int inLanguage);

// What a review that finds nothing due tells the player: none in review yet, or
// when the next word comes due (in the history clock's zone).
QString nothingDueNotice(History &history);
// What the message line says once at launch: what became of the history file,
// else how many words are due for review; empty when neither.
QString launchNotice(History &history, qint64 nowUtcMs);

// A list was renamed or deleted: a chosen set that named it follows (a deleted
// one gives way to the range). True when the choice changed.
bool followListChange(WordSet &chosen, const QString &oldName, const QString &newName /* empty: deleted */);

} // namespace trenix
