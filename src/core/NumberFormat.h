// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Digit-placeholder number patterns as the figures and the result message use
// them: "#" an optional digit, "0" a required digit, "." the decimal point
// (always written), "%" multiplies by 100. Halves round away from zero.
#include <QString>

namespace trenix {

QString formatNumber(double value, const QString &pattern);

} // namespace trenix
