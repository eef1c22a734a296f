// SPDX-License-Identifier: GPL-3.0-or-later
#include "WidgetDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace trenix {

namespace {
QWidget *owner() { return QApplication::activeWindow(); }
// Messages separate their lines with carriage returns.
QString lines(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n'); }
} // namespace

bool WidgetDialogs::askYesNo(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, lines(text), QMessageBox::Yes | QMessageBox::No, owner());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void WidgetDialogs::inform(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, lines(text), QMessageBox::Ok, owner());
    box.exec();
}

void WidgetDialogs::showError(const QString &text)
{
    // Without a screen nobody could close the box; the message is on stderr already.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Trenix"), lines(text), QMessageBox::Ok, owner());
    box.exec();
}

QString WidgetDialogs::chooseSaveFile(const QString &title, const QString &suggested, const QString &filter)
{
    return QFileDialog::getSaveFileName(owner(), title, suggested, filter);
}

QString WidgetDialogs::chooseOpenFile(const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(owner(), title, QString(), filter);
}

QString WidgetDialogs::askText(const QString &title, const QString &label, const QString &initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), title, label, QLineEdit::Normal, initial, &ok);
    return ok ? text : QString();
}

} // namespace trenix
