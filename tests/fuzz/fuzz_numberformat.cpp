// Number patterns on any double: no crash, and for the patterns the game uses
// the text reads back as the value rounded to the pattern's places.
#include "NumberFormat.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
void check(bool ok, const char *what, double value, const QString &pattern, const QString &text)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_numberformat: %s: %.17g with \"%s\" gave \"%s\"\n", what, value,
                     qPrintable(pattern), qPrintable(text));
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < sizeof(double))
        return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    const QString freePattern = QString::fromUtf8(reinterpret_cast<const char *>(data) + sizeof value,
                                                  qsizetype(std::min<size_t>(size - sizeof value, 64)));
    (void)trenix::formatNumber(value, freePattern);

    struct Known { const char *pattern; int places; bool percent; };
    static const Known known[] = {{"000", 0, false}, {"##0", 0, false}, {"####.##", 2, false}, {"###.##%", 2, true}};
    for (const Known &k : known) {
        const QString pattern = QLatin1String(k.pattern);
        const QString text = trenix::formatNumber(value, pattern);
        if (!std::isfinite(value) || std::fabs(value) > 1e12)
            continue;
        QString digits = text;
        if (k.percent) {
            check(digits.endsWith(u'%'), "no percent sign", value, pattern, text);
            digits.chop(1);
        }
        if (digits.endsWith(u'.'))
            digits.chop(1);
        if (digits.isEmpty() || digits == QLatin1String("-"))
            digits = QStringLiteral("0");
        bool ok = false;
        const double back = digits.toDouble(&ok);
        check(ok, "not a number", value, pattern, text);
        const double scaled = k.percent ? value * 100.0 : value;
        const double step = std::pow(10.0, -k.places);
        check(std::fabs(back - scaled) <= step / 2 + std::fabs(scaled) * 1e-12 + 1e-9, "wrong value", value, pattern, text);
    }
    return 0;
}
