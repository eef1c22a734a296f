#pragma once
// Fonts as the layout names them, with metric-compatible Latin fallbacks and
// a CJK family that matches the interface language, so Chinese never shows boxes.
#include <QFont>
#include <QStringList>

namespace trenix {

QFont uiFont(const QStringList &families, double pointSize, int weight = QFont::Normal);
// The CJK family for the current interface language (traditional for language 3).
QString cjkFamily();

} // namespace trenix
