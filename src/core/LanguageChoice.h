// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interface language the player chose inside the program, kept in their
// own config.dat (an installed copy cannot write beside the program).
#include <QString>
#include <QtGlobal>

namespace trenix {

// Reads [config] language from the player's config.dat (a path; empty when
// there is none): 0 when it was read and stored in languageCode, 1 when there
// is no such file or no usable key (then the one beside the program is read).
// A code other than 1, 2 or 3 is not usable; a line on stderr says so.
qint16 ReadPlayerLanguage(const QString &playerConfigFile);

// Writes [config] language=code into the player's config.dat, creating its
// folder. False, with the file or folder that failed in why.
bool saveLanguageChoice(const QString &playerConfigFile, qint16 code, QString &why);

} // namespace trenix
