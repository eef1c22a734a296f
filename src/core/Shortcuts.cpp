// SPDX-License-Identifier: GPL-3.0-or-later
#include "Shortcuts.h"

#include "Texts.h"

namespace trenix {

const QList<Shortcut> &shortcutTable()
{
    // Esc pauses: the typing box leaves it to an open input-method composition.
    static const QList<Shortcut> table{
        {Command::Start, {QStringLiteral("F2"), QStringLiteral("Ctrl+N")}, false, tid::GLVex_tipStart},
        {Command::Pause, {QStringLiteral("Esc"), QStringLiteral("Pause")}, false, tid::GLVex_tipPause},
        {Command::End, {QStringLiteral("Ctrl+E")}, false, tid::GLVex_tipEnd},
        {Command::Settings, {QStringLiteral("Ctrl+,")}, true, tid::GLVex_tipSettings},
        {Command::Exit, {QStringLiteral("Ctrl+Q")}, false, tid::GLVex_tipExit},
        {Command::Help, {QStringLiteral("F1")}, false, tid::GLVex_tipHelp},
        {Command::Progress, {QStringLiteral("Ctrl+H")}, false, tid::GLVex_tipProgress},
        {Command::AnswerMode, {QStringLiteral("Ctrl+P")}, false, tid::GLVex_tipAnswerMode},
        {Command::Sound, {QStringLiteral("Ctrl+M")}, false, tid::GLVex_tipSound},
    };
    return table;
}

} // namespace trenix
