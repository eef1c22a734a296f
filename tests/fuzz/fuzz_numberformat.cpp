// SPDX-License-Identifier: GPL-3.0-or-later
// Number patterns on any double: no crash, and for the patterns the game uses
// the text reads back as the value rounded to the pattern's places.
#include "NumberFormat.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static void check(bool ok, const char *what, double value, const char *pattern, const QString &text)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_numberformat: %s: %.17g with \"%s\" gave \"%s\"\n", what, value, pattern,
                     qPrintable(text));
        std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < sizeof(double))
        return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    const auto *rest = reinterpret_cast<const char *>(data) + sizeof value;
    (void)trenix::formatNumber(value, QString::fromUtf8(rest, qsizetype(std::min<size_t>(size - sizeof value, 64))));

    struct Known {
        const char *pattern;
        int places;
        bool percent;
    };
    static const Known known[] = {{"000", 0, false}, {"##0", 0, false}, {"####.##", 2, false}, {"###.##%", 2, true}};
    for (const Known &k : known) {
        const QString text = trenix::formatNumber(value, QLatin1String(k.pattern));
        if (!std::isfinite(value) || std::fabs(value) > 1e12)
            continue;
        QString digits = text;
        if (k.percent) {
            check(digits.endsWith(u'%'), "no percent sign", value, k.pattern, text);
            digits.chop(1);
        }
        if (digits.endsWith(u'.'))
            digits.chop(1);
        bool ok = digits.isEmpty() || digits == QLatin1String("-");
        const double back = ok ? 0.0 : digits.toDouble(&ok);
        check(ok, "not a number", value, k.pattern, text);
        const double scaled = k.percent ? value * 100.0 : value;
        check(std::fabs(back - scaled) <= std::pow(10.0, -k.places) / 2 + std::fabs(scaled) * 1e-12 + 1e-9,
              "wrong value", value, k.pattern, text);
    }
    return 0;
}
