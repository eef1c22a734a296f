#include "Fonts.h"

#include "GlVexM.h"

namespace trenix {

QString cjkFamily()
{
    return GlVexM.languageCode == 3 ? QStringLiteral("Noto Sans CJK TC") : QStringLiteral("Noto Sans CJK SC");
}

namespace {
const QString kSimplified = QStringLiteral("Noto Sans CJK SC");
const QString kTraditional = QStringLiteral("Noto Sans CJK TC");
const QString kLast = QStringLiteral("sans-serif");
} // namespace

QFont followLanguage(QFont font)
{
    QStringList families = font.families();
    if (families.isEmpty() || families.last() != kLast)
        return font; // not one of ours
    families.removeAll(kSimplified);
    families.removeAll(kTraditional);
    families.insert(families.size() - 1, cjkFamily());
    families.insert(families.size() - 1, cjkFamily() == kSimplified ? kTraditional : kSimplified);
    font.setFamilies(families);
    return font;
}

QFont uiFont(const QStringList &families, double pointSize, int weight)
{
    QStringList all = families;
    all << QStringLiteral("Liberation Sans") << QStringLiteral("Arial") << cjkFamily()
        << kSimplified << kTraditional << kLast;
    QFont font;
    font.setFamilies(all);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Weight(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace trenix
