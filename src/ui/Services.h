// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the windows need from outside the program: handed to the main window,
// which passes each window the part it uses.
#include "DataPaths.h"
#include "Platform.h"

namespace trenix {

class Random;
struct History;

struct Services {
    const Clock &clock;
    const WallClock &wallClock;
    Random &random;
    Dialogs &dialogs;
    const DataPaths &paths;
    History &history;
};

} // namespace trenix
