// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one lookup of interface texts: the language store's text for an
// identifier, English where the store has none (or one that lost a placeholder).
#include "TextId.h"
#include "TextIds.h"

#include <QString>

namespace trenix {

// The text in the current interface language (GlVexM.languageCode). Language 0,
// as on the command line, is English without opening the language store.
// Throws Error when the language store cannot be read.
QString text(TextId id);
QString text(TextId id, int languageCode);

// The language store the lookups read; the program's folder's by default.
void useLanguageStore(const QString &path);
// Lets go of the language store (tests swap the file).
void closeLanguageStore();

} // namespace trenix
