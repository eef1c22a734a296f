// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What follows the interface language besides the looked-up texts: Qt's own
// button texts and the CJK font family of every widget.
#include <QtGlobal>

class QWidget;

namespace trenix {

// Qt's translations (Yes, No, OK, Cancel) for the language code; none for English.
void applyQtTranslations(qint16 languageCode);

// Puts the current language's CJK family first in the fonts of the widget and
// its children that were set through uiFont().
void refreshFonts(QWidget *root);

} // namespace trenix
