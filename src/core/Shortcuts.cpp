#include "Shortcuts.h"

#include "Texts.h"

namespace trenix {

const QList<Shortcut> &shortcutTable()
{
    // Esc pauses: the typing box leaves it to an open input-method composition.
    static const QList<Shortcut> table{
        {Command::Start, {QStringLiteral("F2"), QStringLiteral("Ctrl+N")}, false, textid::kTipStart,
         QStringLiteral("Start a new game")},
        {Command::Pause, {QStringLiteral("Esc"), QStringLiteral("Pause")}, false, textid::kTipPause,
         QStringLiteral("Pause the game; Space in the typing box goes on")},
        {Command::End, {QStringLiteral("Ctrl+E")}, false, textid::kTipEnd, QStringLiteral("End the game")},
        {Command::Settings, {QStringLiteral("Ctrl+,")}, true, textid::kTipSettings,
         QStringLiteral("Speed, word range and language")},
        {Command::Exit, {QStringLiteral("Ctrl+Q")}, false, textid::kTipExit, QStringLiteral("Exit Trenix")},
        {Command::Help, {QStringLiteral("F1")}, false, textid::kTipHelp, QStringLiteral("Help")},
        {Command::Progress, {QStringLiteral("Ctrl+H")}, false, textid::kTipProgress,
         QStringLiteral("Your games: charts, missed words, CSV export")},
    };
    return table;
}

} // namespace trenix
