// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One game as the progress store keeps it: what the game counted, what it drew
// from, and what became of every word that showed on the field.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace trenix {

struct WordOutcome {
    QString word;        // as it showed on the field
    bool hit = false;    // typed away
    bool landed = false; // reached the pile (it may have been typed away from there)
    qint64 ticks = 0;    // fall ticks before it was hit, or before the game ended
    qint64 top = 0;      // twips from the field's top when hit, or when the game ended
    QString entry;       // the simplified form of its dictionary entry; empty for a word no dictionary holds
};

// An entry that hit nothing: what was typed, when, and what the field showed.
struct MissedEntry {
    qint64 atUtcMs = 0;
    QString text;
    QStringList fieldWords; // the visible words, falling and landed
};

struct GameRecord {
    qint64 startUtcMs = 0;
    qint64 endUtcMs = 0;
    qint32 utcOffsetS = 0; // the player's offset from UTC at the start: their local day
    qint64 seconds = 0;    // as the game counts them
    int language = 0;
    QString dictionary; // the dictionary table, e.g. "zidian2"
    QString selection;  // what the words were drawn from, e.g. "range:1-999"
    std::optional<qint64> wordFrom, wordTo;
    int speedLevel = 0;
    qint64 wordsInSelection = 0;
    qint64 entries = 0;
    qint64 hits = 0;
    double speed = 0;               // words per minute, as the result message computes it
    std::optional<double> accuracy; // hits / entries; none without an entry
    qint64 fieldHeight = 0;         // twips, to tell the top half of the field
    QString answerMode = QStringLiteral("characters"); // or "pinyin"
    QString toneRule = QStringLiteral("optional");     // or "required" (pinyin)
    QString hints = QStringLiteral("off");             // pinyin hints: off, late, always
    QString player;                                    // the player's name, for a class's exports
    std::vector<WordOutcome> words;
    std::vector<MissedEntry> misses;

    qint64 wordsLanded() const
    {
        qint64 n = 0;
        for (const WordOutcome &w : words)
            n += w.landed ? 1 : 0;
        return n;
    }
};

} // namespace trenix
