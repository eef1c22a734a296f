// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a submitted entry did, so that the player can tell a typo from a word
// that is covered. Judged while the entry is matched; counts nothing itself.
#include <QString>
#include <cstddef>

namespace trenix {

struct EntryVerdict {
    enum class Kind {
        Hit,        // at least one word removed
        NotOnField, // no visible word has this text
        Buried,     // only landed words covered by others have it
        WrongTone,  // pinyin: a visible word has these syllables, with other tones
    };
    Kind kind = Kind::NotOnField;
    QString entry;
    QString cover;              // Buried: the landed word that covers it
    std::size_t coverIndex = 0; // Buried: its element of Label1, 0 when not found
    QString word, reading;      // WrongTone: the word and its pinyin with tone marks
};

// The message-line text for an entry that hit nothing; empty for a hit.
QString feedbackMessage(const EntryVerdict &verdict);

} // namespace trenix
