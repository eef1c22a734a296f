// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fonts as the layout names them, with metric-compatible Latin fallbacks and
// a CJK family that matches the interface language, so Chinese never shows boxes.
#include <QFont>
#include <QStringList>

namespace trenix {

QFont uiFont(const QStringList &families, double pointSize, int weight = QFont::Normal);
// The CJK family for the current interface language (traditional for language 3).
QString cjkFamily();
// A font made by uiFont() with its CJK families in the current language's order.
QFont followLanguage(QFont font);
// Registers the interface fonts (TrenixUI-*.otf, the glyphs of the interface
// texts cut from the CJK family) found in the program's folder. Without them
// every text is drawn with the full CJK faces, which only costs memory.
void loadInterfaceFonts(const QString &programFolder);

} // namespace trenix
