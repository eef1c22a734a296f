// The settings dialog's number parsing on any text: no crash, no hang, and an
// accepted range is ordered and agrees with the separate steps.
#include "SettingsRules.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace trenix::settings;

namespace {
void check(bool ok, const char *what, const QString &a, const QString &b)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_settingsrules: %s: \"%s\" \"%s\"\n", what, qPrintable(a), qPrintable(b));
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // UTF-16 code units, so that full-width forms and lone surrogates occur.
    const QString all(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    const qsizetype cut = all.indexOf(u'|');
    const QString from = cut < 0 ? all : all.left(cut);
    const QString to = cut < 0 ? QStringLiteral("100") : all.mid(cut + 1);

    const bool numeric = isNumeric(from);
    const double lead = leadingNumber(from);
    check(!std::isnan(lead), "leading number is NaN", from, to);
    const std::optional<qint16> rounded = toInt16HalfEven(lead);
    if (rounded)
        check(std::fabs(double(*rounded) - lead) <= 0.5, "rounding moved by more than a half", from, to);
    (void)speedFromTag(from);

    const RangeCheck r = checkRange(from, to);
    if (!numeric)
        check(r.outcome == RangeOutcome::NotNumeric, "a non-numeric first text passed", from, to);
    if (r.outcome == RangeOutcome::Accepted) {
        check(isNumeric(to), "a non-numeric last text passed", from, to);
        check(r.from <= r.to, "an accepted range is reversed", from, to);
        check(rounded && *rounded == r.from, "accepted first value differs from its conversion", from, to);
    }
    return 0;
}
