// SPDX-License-Identifier: GPL-3.0-or-later
// Number patterns on any double: no crash, and for the patterns the game uses
// the text reads back as the value rounded to the pattern's places.
#include "NumberFormat.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <tuple>

static void check(bool ok, const char *what, double value, const char *pattern, const QString &text)
{
    if (!ok) // aborts: libFuzzer keeps the input
        qFatal("fuzz_numberformat: %s: %.17g with \"%s\" gave \"%s\"", what, value, pattern, qPrintable(text));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < sizeof(double))
        return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    const auto *rest = reinterpret_cast<const char *>(data) + sizeof value;
    (void)trenix::formatNumber(value, QString::fromUtf8(rest, qsizetype(std::min<size_t>(size - sizeof value, 64))));

    // Pattern, places, percent.
    static const std::tuple<const char *, int, bool> known[] = {
        {"000", 0, false}, {"##0", 0, false}, {"####.##", 2, false}, {"###.##%", 2, true}};
    for (const auto &[pattern, places, percent] : known) {
        const QString text = trenix::formatNumber(value, QLatin1String(pattern));
        if (!std::isfinite(value) || std::fabs(value) > 1e12)
            continue;
        QString digits = text;
        if (percent) {
            check(digits.endsWith(u'%'), "no percent sign", value, pattern, text);
            digits.chop(1);
        }
        if (digits.endsWith(u'.'))
            digits.chop(1);
        bool ok = digits.isEmpty() || digits == QLatin1String("-");
        const double back = ok ? 0.0 : digits.toDouble(&ok);
        check(ok, "not a number", value, pattern, text);
        const double scaled = percent ? value * 100.0 : value;
        check(std::fabs(back - scaled) <= std::pow(10.0, -places) / 2 + std::fabs(scaled) * 1e-12 + 1e-9, "wrong value",
              value, pattern, text);
    }
    return 0;
}
