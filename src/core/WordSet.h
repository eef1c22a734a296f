// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a game draws its words from: the dictionary's number range (the
// default), an HSK level of the dictionary, the player's trouble words, or one
// of their own lists. Every kind but the range fills the practice list with its
// words numbered 1..n in the set's order; from there the game runs as always.
#include <QString>
#include <optional>
#include <vector>

namespace trenix {

class PracticeStore;
struct History;

struct WordSet {
    enum class Kind { Range, Level, Review, List };
    Kind kind = Kind::Range;
    int level = 0; // 1..6 for Level
    QString list;  // the list's name for List

    static constexpr int kLowestLevel = 1;
    static constexpr int kHighestLevel = 6;
    static constexpr int kReviewLimit = 100; // words per review game, most overdue first

    // "range", "level:N" (N 1..6), "review", "list:NAME"; nothing for anything else.
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

// A list was renamed or deleted: a chosen set that named it follows (a deleted
// one gives way to the range). True when the choice changed.
bool followListChange(WordSet &chosen, const QString &oldName, const QString &newName /* empty: deleted */);

} // namespace trenix
