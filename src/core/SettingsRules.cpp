// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsRules.h"

#include <cmath>

namespace trenix::settings {

namespace {

// Full-width ASCII forms and the ideographic space read as plain ASCII.
char16_t plain(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E)
        return char16_t(u - 0xFF01 + 0x21);
    if (u == 0x3000)
        return u' ';
    return u;
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

struct Scan {
    qsizetype end = 0;      // one past the last character of the number
    bool hasDigits = false; // at least one mantissa digit
    QString ascii;          // the number in plain ASCII, for the conversion
};

// Reads the longest number at the start, after leading blanks.
Scan scanNumber(QStringView text)
{
    Scan s;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(plain(text[i])))
        ++i;
    if (i < n && (plain(text[i]) == u'+' || plain(text[i]) == u'-'))
        s.ascii += QChar(plain(text[i++]));
    bool point = false;
    for (; i < n; ++i) {
        const char16_t c = plain(text[i]);
        if (isDigit(c)) {
            s.hasDigits = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        s.ascii += QChar(c);
    }
    if (!s.hasDigits)
        return Scan{};
    s.end = i;
    // An exponent counts only when digits follow it.
    if (i < n && (plain(text[i]) == u'e' || plain(text[i]) == u'E')) {
        qsizetype j = i + 1;
        QString exp = QStringLiteral("e");
        if (j < n && (plain(text[j]) == u'+' || plain(text[j]) == u'-'))
            exp += QChar(plain(text[j++]));
        const qsizetype digitsAt = j;
        while (j < n && isDigit(plain(text[j])))
            exp += QChar(plain(text[j++]));
        if (j > digitsAt) {
            s.ascii += exp;
            s.end = j;
        }
    }
    return s;
}

} // namespace

bool isNumeric(QStringView text)
{
    const Scan s = scanNumber(text);
    if (!s.hasDigits)
        return false;
    for (qsizetype i = s.end; i < text.size(); ++i) {
        if (!isBlank(plain(text[i])))
            return false;
    }
    return true;
}

double leadingNumber(QStringView text)
{
    const Scan s = scanNumber(text);
    if (!s.hasDigits)
        return 0.0;
    // Overflow gives an infinity, underflow 0: both are what is wanted here.
    bool ok = false;
    return s.ascii.toDouble(&ok);
}

std::optional<qint16> toInt16HalfEven(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double low = std::floor(value);
    const double fraction = value - low;
    double rounded = low;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(low, 2.0) != 0.0))
        rounded = low + 1.0;
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return qint16(rounded);
}

std::optional<qint16> speedFromTag(QStringView tag)
{
    if (!isNumeric(tag))
        return std::nullopt;
    const std::optional<qint16> level = toInt16HalfEven(leadingNumber(tag));
    if (!level || *level <= 0)
        return std::nullopt;
    return level;
}

RangeCheck checkRange(QStringView fromText, QStringView toText)
{
    RangeCheck r;
    if (!isNumeric(fromText) || !isNumeric(toText)) {
        r.outcome = RangeOutcome::NotNumeric;
        return r;
    }
    const double from = leadingNumber(fromText);
    const double to = leadingNumber(toText);
    if (to < from) {
        r.outcome = RangeOutcome::Reversed;
        return r;
    }
    const std::optional<qint16> f = toInt16HalfEven(from);
    const std::optional<qint16> t = toInt16HalfEven(to);
    if (!f || !t) {
        r.outcome = RangeOutcome::OutOfRange;
        return r;
    }
    r.outcome = RangeOutcome::Accepted;
    r.from = *f;
    r.to = *t;
    return r;
}

} // namespace trenix::settings
