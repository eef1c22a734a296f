// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormat.h"

#include <QRegularExpression>
#include <cmath>

namespace trenix {

namespace {
struct Pattern {
    int intZeros = 0; // required integer digits
    bool point = false;
    int fracPlaces = 0;   // digits after the point
    int fracRequired = 0; // digits after the point that are always written
    bool percent = false;
    QString prefix, suffix; // literal text around the number
};

Pattern parse(const QString &pattern)
{
    Pattern p;
    bool inNumber = false, afterNumber = false;
    for (QChar ch : pattern) {
        const bool placeholder = ch == u'#' || ch == u'0';
        if (placeholder || ch == u'.') {
            if (afterNumber) {
                p.suffix += ch;
                continue;
            }
            inNumber = true;
            if (ch == u'.') {
                p.point = true;
                continue;
            }
            if (p.point) {
                ++p.fracPlaces;
                if (ch == u'0')
                    p.fracRequired = p.fracPlaces;
            } else if (ch == u'0') {
                ++p.intZeros;
            }
            continue;
        }
        if (ch == u'%')
            p.percent = true;
        if (inNumber) {
            afterNumber = true;
            p.suffix += ch;
        } else {
            p.prefix += ch;
        }
    }
    return p;
}

// Rounds the decimal digits half away from zero at `places` after the point.
// Works on the decimal text so that 0.125 rounds to 0.13, not to the binary neighbour.
void roundDecimal(QString &intPart, QString &fracPart, int places)
{
    if (fracPart.size() <= places)
        return;
    const bool up = fracPart.at(places) >= u'5';
    fracPart.truncate(places);
    if (!up)
        return;
    QString digits = intPart + fracPart;
    int i = int(digits.size()) - 1;
    for (; i >= 0; --i) {
        if (digits[i] == u'9') {
            digits[i] = u'0';
        } else {
            digits[i] = QChar(digits[i].unicode() + 1);
            break;
        }
    }
    if (i < 0)
        digits.prepend(u'1');
    intPart = digits.left(digits.size() - places);
    fracPart = digits.right(places);
}
} // namespace

QString formatNumber(double value, const QString &pattern)
{
    const Pattern p = parse(pattern);
    if (!std::isfinite(value))
        return p.prefix + QString::number(value) + p.suffix;
    if (p.percent)
        value *= 100.0;
    const bool negative = value < 0;
    // 15 significant digits is what a double carries reliably.
    QString text = QString::number(std::fabs(value), 'f', 15 - std::min(14, int(std::log10(std::fabs(value) + 1))));
    QString intPart = text.section(u'.', 0, 0);
    QString fracPart = text.section(u'.', 1, 1);
    roundDecimal(intPart, fracPart, p.fracPlaces);
    while (intPart.startsWith(u'0'))
        intPart.remove(0, 1);
    while (fracPart.endsWith(u'0') && fracPart.size() > p.fracRequired)
        fracPart.chop(1);
    while (intPart.size() < p.intZeros)
        intPart.prepend(u'0');
    const bool zero = !intPart.contains(QRegularExpression(QStringLiteral("[1-9]")))
                      && !fracPart.contains(QRegularExpression(QStringLiteral("[1-9]")));
    QString result = p.prefix;
    if (negative && !zero)
        result += u'-';
    result += intPart;
    if (p.point)
        result += u'.' + fracPart;
    return result + p.suffix;
}

} // namespace trenix
