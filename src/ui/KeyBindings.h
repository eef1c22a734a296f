// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shortcut table's key texts as Qt key sequences and as the player reads them.
#include "Shortcuts.h"

#include <QKeySequence>
#include <QList>

namespace trenix {

// The shortcut's keys, with the platform's Preferences key where asked for, without repeats.
QList<QKeySequence> keySequences(const Shortcut &shortcut);
// "F2, Ctrl+N", as the platform writes keys.
QString keysText(const Shortcut &shortcut);
// The keys of the command's shortcut, as keysText() writes them.
QString keysText(Command command);
// The tool tip of a command: its looked-up wording and its keys.
QString toolTip(const Shortcut &shortcut);

} // namespace trenix
