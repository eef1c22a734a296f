// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Twips (1440 per inch) become pixels here and nowhere else.
#include <QRect>

class QWidget;

namespace trenix {

class Twips {
public:
    // Logical DPI of the primary screen (96 when there is none).
    static double dpi();
    static void setDpiForTesting(double dpi);
    static int px(double twips);
    static QRect rect(double left, double top, double width, double height);
    static qint64 fromPx(double px);
    static void place(QWidget *w, double left, double top, double width, double height);
    // Over the owner window when there is one, else in the middle of the screen.
    static void centreOverOwner(QWidget *w);
};

} // namespace trenix
