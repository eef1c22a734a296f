#include "Fonts.h"

#include "GlVexM.h"

namespace trenix {

QString cjkFamily()
{
    return GlVexM.languageCode == 3 ? QStringLiteral("Noto Sans CJK TC") : QStringLiteral("Noto Sans CJK SC");
}

QFont uiFont(const QStringList &families, double pointSize, int weight)
{
    QStringList all = families;
    all << QStringLiteral("Liberation Sans") << QStringLiteral("Arial") << cjkFamily()
        << QStringLiteral("Noto Sans CJK SC") << QStringLiteral("Noto Sans CJK TC") << QStringLiteral("sans-serif");
    QFont font;
    font.setFamilies(all);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Weight(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace trenix
