#pragma once
// The keyboard shortcuts of the main window's commands: one table that the
// window installs, its tool tips show and the help pages list.
#include <QList>
#include <QString>
#include <QStringList>

namespace trenix {

enum class Command { Start, Pause, End, Settings, Exit, Help, Progress };

struct Shortcut {
    Command command;
    QStringList keys;          // portable key texts ("F2", "Ctrl+N")
    bool platformPreferences;  // also the platform's own Preferences key, where it has one
    QString tipId;             // text identifier of the tool tip's wording
    QString tipFixed;          // the wording when the language store has none
};

const QList<Shortcut> &shortcutTable();

} // namespace trenix
