// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog's number parsing on any text: no crash, no hang, and an
// accepted range is ordered and agrees with the separate steps.
#include "SettingsRules.h"

#include <cmath>
#include <cstdint>

using namespace trenix::settings;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // UTF-16 code units, so that full-width forms and lone surrogates occur.
    const QString all(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    const qsizetype cut = all.indexOf(u'|');
    const QString from = all.left(cut < 0 ? all.size() : cut);
    const QString to = cut < 0 ? QStringLiteral("100") : all.mid(cut + 1);
    const auto check = [&](bool ok, const char *what) { // qFatal aborts: libFuzzer keeps the input
        if (!ok)
            qFatal("fuzz_settingsrules: %s: \"%s\" \"%s\"", what, qPrintable(from), qPrintable(to));
    };

    const double lead = leadingNumber(from);
    check(!std::isnan(lead), "leading number is NaN");
    const std::optional<qint16> rounded = toInt16HalfEven(lead);
    check(!rounded || std::fabs(double(*rounded) - lead) <= 0.5, "rounding moved by more than a half");
    (void)speedFromTag(from);

    const RangeCheck r = checkRange(from, to);
    check(isNumeric(from) || r.outcome == RangeOutcome::NotNumeric, "a non-numeric first text passed");
    if (r.outcome == RangeOutcome::Accepted) {
        check(isNumeric(to), "a non-numeric last text passed");
        check(r.from <= r.to, "an accepted range is reversed");
        check(rounded && *rounded == r.from, "accepted first value differs from its conversion");
    }
    return 0;
}
