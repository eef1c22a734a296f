// SPDX-License-Identifier: GPL-3.0-or-later
#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace trenix {

namespace {
double g_dpiOverride = 0;
}

double Twips::dpi()
{
    if (g_dpiOverride > 0)
        return g_dpiOverride;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInch();
    return 96.0;
}

void Twips::setDpiForTesting(double dpi) { g_dpiOverride = dpi; }

int Twips::px(double twips) { return int(std::lround(twips * dpi() / 1440.0)); }

qint64 Twips::fromPx(double px) { return qint64(std::ceil(px * 1440.0 / dpi())); }

QRect Twips::rect(double left, double top, double width, double height)
{
    const int x = px(left), y = px(top);
    return QRect(x, y, px(left + width) - x, px(top + height) - y);
}

void Twips::place(QWidget *w, double left, double top, double width, double height)
{
    w->setGeometry(rect(left, top, width, height));
}

void Twips::centreOverOwner(QWidget *w)
{
    QRect area;
    if (const QWidget *p = w->parentWidget())
        area = p->window()->frameGeometry();
    else if (const QScreen *s = w->screen())
        area = s->availableGeometry();
    if (area.isValid())
        w->move(area.center() - QPoint(w->frameGeometry().width() / 2, w->frameGeometry().height() / 2));
}

} // namespace trenix
