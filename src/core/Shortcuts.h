// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keyboard shortcuts of the main window's commands: one table that the
// window installs, its tool tips show and the help pages list.
#include "TextId.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace trenix {

enum class Command { Start, Pause, End, Settings, Exit, Help, Progress, AnswerMode, Sound };

struct Shortcut {
    Command command;
    QStringList keys;         // portable key texts ("F2", "Ctrl+N")
    bool platformPreferences; // also the platform's own Preferences key, where it has one
    TextId tip;               // the tool tip's wording
};

const QList<Shortcut> &shortcutTable();

} // namespace trenix
