// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings dialog's rules that need no widgets: the numeric test of a
// range text, the reading of its leading number, the half-to-even conversion
// to 16 bits and the speed level of an option's Tag.
#include <QString>
#include <QStringView>
#include <optional>

namespace trenix::settings {

// Optional blanks, a sign, digits with at most one decimal point (at least
// one digit), an optional exponent, optional blanks. Full-width forms count
// as their ASCII twins, since a Chinese input method may produce them.
bool isNumeric(QStringView text);

// The number at the start of the text; reading stops at the first character
// that cannot continue a number. No number there reads as 0. Too large a
// number reads as an infinity, so that the 16-bit conversion refuses it.
double leadingNumber(QStringView text);

// Rounds half to even; nothing when the value (or its rounding) lies outside
// -32768 .. 32767, or is not a number.
std::optional<qint16> toInt16HalfEven(double value);

// The speed level an option's Tag stands for; nothing for a Tag that is not
// a positive 16-bit number (a level of 0 or less would make the timers spin).
std::optional<qint16> speedFromTag(QStringView tag);

enum class RangeOutcome {
    Accepted,
    NotNumeric, // either text fails the numeric test
    Reversed,   // last below first (compared before rounding)
    OutOfRange, // does not fit 16 bits once rounded
};

struct RangeCheck {
    RangeOutcome outcome = RangeOutcome::NotNumeric;
    qint16 from = 0; // valid when accepted
    qint16 to = 0;
};

// The dialog's range check, in its order: numeric test, order, conversion.
RangeCheck checkRange(QStringView fromText, QStringView toText);

} // namespace trenix::settings
