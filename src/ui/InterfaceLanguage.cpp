// SPDX-License-Identifier: GPL-3.0-or-later
#include "InterfaceLanguage.h"

#include "Fonts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QWidget>
#include <memory>

namespace trenix {

void applyQtTranslations(qint16 languageCode)
{
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    const QString locale = languageCode == 2   ? QStringLiteral("zh_CN")
                           : languageCode == 3 ? QStringLiteral("zh_TW")
                                               : QString();
    if (locale.isEmpty())
        return;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(translator.get()))
        installed = std::move(translator);
}

void refreshFonts(QWidget *root)
{
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *w : widgets) {
        if (!w->testAttribute(Qt::WA_SetFont))
            continue;
        const QFont followed = followLanguage(w->font());
        if (followed.families() != w->font().families())
            w->setFont(followed);
    }
}

} // namespace trenix
