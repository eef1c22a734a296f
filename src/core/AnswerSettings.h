// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the player answers and what helps them: chosen in the settings dialog,
// kept in trenix.conf, fixed for a game when it starts and kept with it.
#include "Pinyin.h"

#include <QString>
#include <optional>

namespace trenix {

struct WordLabel;

enum class AnswerMode { Characters, Pinyin };
enum class HintMode { Off, Late, Always };

struct AnswerSettings {
    AnswerMode mode = AnswerMode::Characters;
    ToneRule tones = ToneRule::Optional;
    HintMode hints = HintMode::Off;
    bool toneColours = true; // hints and the detail window colour each syllable by its tone
    bool operator==(const AnswerSettings &) const = default;

    // The words trenix.conf and the history use: characters|pinyin, optional|required, off|late|always.
    QString modeName() const;
    QString tonesName() const;
    QString hintsName() const;
    static std::optional<AnswerMode> parseMode(const QString &name);
    static std::optional<ToneRule> parseTones(const QString &name);
    static std::optional<HintMode> parseHints(const QString &name);
};

// Whether a word on the field shows its pinyin: always, or once it has fallen
// past the middle of the field (the same line the review counts a late answer by).
bool showsHint(HintMode hints, const WordLabel &word, qint64 fieldHeight);

} // namespace trenix
