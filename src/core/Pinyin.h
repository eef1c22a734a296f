// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answering in pinyin: a word's pinyin compiled once into a key, the player's
// entry parsed once, and the verdict of one against the other. Matching compares
// the toneless letters first, so that one entry against a full field stays cheap.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

namespace trenix {

// Whether an entry must give the tones.
enum class ToneRule {
    Optional, // an entry without any tone hits whatever the tones
    Required, // every syllable's tone must be right; no number or mark counts as neutral
};

enum class PinyinVerdict {
    NoMatch,
    WrongTone, // the syllables' letters match, their tones do not
    Hit,
};

// One syllable for display: its text with the tone mark, and its tone 1..5 (5 neutral).
struct PinyinSyllable {
    QString text;
    int tone = 5;
    bool operator==(const PinyinSyllable &) const = default;
};

// A word's pinyin, as the dictionary writes it (`nǐ hǎo`, `Zhōng guó`, `nǎ r`,
// `lǜ`, `Mǎ kè · Sī`) or as an own list may (`ni3 hao3`, `lu:4`, `lv4`, `nǐhǎo`,
// `Xī'ān`). Anything that is neither letter nor tone separates syllables; joined
// syllables are split by the syllables of Mandarin. Without letters the key is
// empty and matches nothing.
class PinyinKey {
public:
    PinyinKey() = default;
    explicit PinyinKey(QStringView pinyin);

    bool isEmpty() const { return m_letters.isEmpty(); }
    // All syllables' letters, lower case, ü as `v`, erhua joined: `nǎ r` → "nar".
    const QByteArray &letters() const { return m_letters; }

    int syllableCount() const { return int(m_syllables.size()); }
    // Lower case, ü as `v` (`ju`, not `jv`); an erhua `r` is a syllable of its own.
    QByteArray syllableLetters(int i) const;
    int syllableTone(int i) const { return m_syllables.at(i).tone; }

    // `nǐ hǎo`, `nǎ r`, `Zhōng guó`: the tone marks on the right vowels, syllables apart.
    QString toneMarked() const;
    QList<PinyinSyllable> displaySyllables() const;

private:
    friend class PinyinEntry;
    struct Syllable {
        quint16 begin = 0, end = 0; // letters [begin, end)
        quint8 tone = 5;
        quint8 flags = 0;
    };
    QByteArray m_letters;  // what entries are compared with
    QByteArray m_spelling; // the same length, spelled syllable by syllable for display
    QList<Syllable> m_syllables;
};

// What the player typed, parsed once: letters compared without regard to case,
// spaces, apostrophes and hyphens ignored, ü as `v`, `u:` or `ü`, tones as
// numbers after syllables (neutral 5, 0 or none) or as marks.
class PinyinEntry {
public:
    PinyinEntry() = default;
    explicit PinyinEntry(QStringView typed);

    // False when the entry holds anything but pinyin, or no letter.
    bool isValid() const { return m_valid; }
    const QByteArray &letters() const { return m_letters; }
    bool hasTone() const { return !m_tones.isEmpty(); }

    PinyinVerdict judge(const PinyinKey &key, ToneRule rule = ToneRule::Optional) const;

private:
    struct Tone {
        quint16 pos; // a mark: the letter it sits on; a number: the letters before it
        quint8 tone; // 1..5
        bool isMark;
    };
    QByteArray m_letters;
    QList<Tone> m_tones; // in the order typed, so by position
    bool m_valid = false;
};

} // namespace trenix
