// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's choices kept between runs: an INI file at the standard place
// (~/.config/trenix/trenix.conf), group [practice]. config.dat stays as it is.
#include "AnswerSettings.h"
#include "WordSet.h"

#include <QString>
#include <QStringList>

namespace trenix {

class GameCore;
class OwnLists;

struct PracticeChoices {
    qint16 speedLevel = 8;
    qint16 wordFrom = 1;
    qint16 wordTo = 999;
    WordSet wordSet;
    AnswerSettings answer;
};

class PlayerSettings {
public:
    // trenix.conf in the player's folder; an empty path keeps nothing.
    explicit PlayerSettings(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }
    // The kept values over the defaults. A key that is missing keeps its default;
    // one that is unreadable or out of range too, with a line in warnings.
    PracticeChoices read(const PracticeChoices &defaults, QStringList *warnings) const;
    // Throws Error naming the file when it cannot be written.
    void write(const PracticeChoices &choices) const;
    // [player] name: the name kept, or the account's full name when none is.
    QString playerName() const;
    // Keeps the name (an empty one gives the account's back); throws Error naming the file.
    void keepPlayerName(const QString &name) const;
    // [practice] sound: off unless the player switched it on.
    bool soundOn() const;
    // Throws Error naming the file when it cannot be written.
    void keepSound(bool on) const;

private:
    QString m_path;
};

// The full name of the account running the program (its login name when it has none).
QString accountFullName();

// Start-up, after the window's own defaults: the player's name; the kept speed, range and word set
// (nothing when the file's path is empty); a list that lists does not hold
// falls back to the range. Warnings go to stderr.
void applyKeptSettings(GameCore &core, const PlayerSettings &kept, OwnLists &lists);
// The settings dialog's OK: the current speed, range, the game's word set and
// answer settings are kept. Failures go to stderr and come back as a notice for
// the message line (empty when kept).
QString keepCurrentSettings(const PlayerSettings &kept, const WordSet &wordSet, const AnswerSettings &answer);

} // namespace trenix
