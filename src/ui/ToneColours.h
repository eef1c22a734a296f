// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tone colours learners know from the common dictionaries: 1 red, 2 orange,
// 3 green, 4 blue, neutral grey; each dark enough to read in small type on white.
// The tone marks stay, so nothing is told by colour alone.
#include <QColor>

namespace trenix {

inline QColor toneColour(int tone)
{
    switch (tone) {
    case 1: return QColor(0xD0, 0x00, 0x00);
    case 2: return QColor(0xB8, 0x5C, 0x00);
    case 3: return QColor(0x00, 0x80, 0x28);
    case 4: return QColor(0x00, 0x38, 0xD0);
    default: return QColor(0x6B, 0x6B, 0x6B);
    }
}

} // namespace trenix
