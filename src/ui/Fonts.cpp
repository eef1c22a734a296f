// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fonts.h"

#include "GlVexM.h"

#include <QDir>

#include <QFileInfo>
#include <QFontDatabase>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcFonts, "trenix.fonts", QtWarningMsg)

namespace trenix {

namespace {
const QString kSimplified = QStringLiteral("Noto Sans CJK SC");
const QString kTraditional = QStringLiteral("Noto Sans CJK TC");
// The same glyphs as the two above, only those the interface texts use.
const QString kUiSimplified = QStringLiteral("Trenix UI SC");
const QString kUiTraditional = QStringLiteral("Trenix UI TC");
const QString kLast = QStringLiteral("sans-serif");

// The CJK families in the current language's order: the small interface faces
// first, so that a caption never loads a full face.
QStringList cjkFamilies()
{
    return GlVexM.languageCode == 3 ? QStringList{kUiTraditional, kUiSimplified, kTraditional, kSimplified}
                                    : QStringList{kUiSimplified, kUiTraditional, kSimplified, kTraditional};
}
} // namespace

QString cjkFamily() { return GlVexM.languageCode == 3 ? kTraditional : kSimplified; }

QFont followLanguage(QFont font)
{
    QStringList families = font.families();
    if (families.isEmpty() || families.last() != kLast)
        return font; // not one of ours
    for (const QString &family : {kUiSimplified, kUiTraditional, kSimplified, kTraditional})
        families.removeAll(family);
    for (const QString &family : cjkFamilies())
        families.insert(families.size() - 1, family);
    font.setFamilies(families);
    return font;
}

QFont uiFont(const QStringList &families, double pointSize, int weight)
{
    QStringList all = families;
    all << QStringLiteral("Liberation Sans") << QStringLiteral("Arial") << cjkFamilies() << kLast;
    QFont font;
    font.setFamilies(all);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Weight(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void loadInterfaceFonts(const QString &programFolder)
{
    static QStringList loaded;
    for (const char *name :
         {"TrenixUI-SC-Regular.otf", "TrenixUI-SC-Bold.otf", "TrenixUI-TC-Regular.otf", "TrenixUI-TC-Bold.otf"}) {
        const QString path = QDir(programFolder).filePath(QLatin1String(name));
        if (loaded.contains(path) || !QFileInfo::exists(path))
            continue;
        loaded << path;
        if (QFontDatabase::addApplicationFont(path) < 0)
            qCWarning(lcFonts) << "cannot use" << path << "- the full CJK faces draw the interface";
    }
}

} // namespace trenix
