// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interface language the player chose inside the program, kept in their
// own config.dat (an installed copy cannot write beside the program).
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace trenix {

// Reads [config] language from the player's config.dat (a path; empty when
// there is none): 0 when it was read and stored in languageCode, 1 when there
// is no such file or no usable key (then the one beside the program is read).
// A code other than 1, 2 or 3 is not usable; a line on stderr says so.
qint16 ReadPlayerLanguage(const QString &playerConfigFile);

// Writes [config] language=code into the player's config.dat, creating its
// folder. False, with the file or folder that failed in why.
bool saveLanguageChoice(const QString &playerConfigFile, qint16 code, QString &why);

// The value of an environment variable, empty when it is not set; tests give their own.
using Environment = std::function<QString(const char *name)>;
QString processEnvironment(const char *name);

// The interface language of the desktop's locale: the first of LANGUAGE,
// LC_ALL, LC_MESSAGES and LANG that is set, 3 for Chinese in traditional
// characters (Taiwan, Hong Kong, Macau or the Hant script), 2 for other
// Chinese, 1 for anything else. Nothing when none of them is set.
std::optional<qint16> desktopLanguage(const Environment &environment);

} // namespace trenix
