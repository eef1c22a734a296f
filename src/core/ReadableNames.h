// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's words for the codes the history keeps (language, dictionary,
// word set, speed level), in an interface language; the codes stay in the
// file for programs, the names are for people.
#include <QString>

namespace trenix {

// Each language by its own name: "English", "简体中文", "繁體中文"; other codes as digits.
QString languageName(int code);
// "zidian2" → the dictionary of that interface language; another table as it is.
QString dictionaryName(const QString &table, int inLanguage);
// "range:1-999", "level:3", "review", "list:NAME" → the set as the settings dialog names it.
QString setName(const QString &selection, int inLanguage);
// 10, 8, 6, 4, 2 → the speed as the settings dialog names it; another level as digits.
QString speedName(int level, int inLanguage);

} // namespace trenix
