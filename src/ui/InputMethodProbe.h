// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether the player can write Chinese here, and the advice when they cannot.
#include <QString>
#include <QStringList>
#include <optional>

namespace trenix {

class GameCore;

// True when Qt has a running input method that writes Chinese. On X11 that is
// the input context QT_IM_MODULE names (Qt's default, compose, only makes
// accents), its Qt plugin installed and its daemon running. Offscreen and the
// other platforms without one have none; on Wayland the compositor's text input
// may serve one, which Qt gives no way to ask, so it is taken as there.
bool chineseInputRunning();
// The same from what it looks at: the platform's name, QT_IM_MODULE, the keys of
// the installed input-context plugins and the names of the running processes
// (none where they cannot be listed: then the plugin is trusted).
bool chineseInputRunning(const QString &platform, const QString &module, const QStringList &plugins,
                         const std::optional<QStringList> &processes);

// Once at start-up: when the next game is answered with characters and no input
// method runs, the message line says that pinyin answers need none and which key
// switches to them. A notice already on the line stays in front.
void adviseWithoutInputMethod(GameCore &core, bool inputMethodRunning);

} // namespace trenix
