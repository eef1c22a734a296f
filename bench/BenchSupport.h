// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What trenix_bench and trenix_bench_helper share: the services the program is
// handed, copies of the built data files to play on (never the build's own
// bin/ folder), and start-up as the program does it.
#include "DataPaths.h"
#include "Platform.h"
#include "Random.h"
#include "Services.h"

#include <QString>

namespace trenix::bench {

inline constexpr int kLanguage = 2; // simplified Chinese: the built dictionary zidian2
inline constexpr int kBigWords = 30000;
inline constexpr qint64 kNow = 1780000000000; // 2026-05-28: "now" for the history's calendar

// Stops the process with the reason on stderr: a set-up that failed.
[[noreturn]] void die(const QString &why);

struct FixedWallClock final : WallClock {
    qint64 utcMs() const override { return kNow; }
    QTimeZone timeZone() const override { return QTimeZone(8 * 3600); }
};

// Nobody answers: every question is No, and an error shown stops the process.
struct NoDialogs final : Dialogs {
    bool askYesNo(const QString &, const QString &) override { return false; }
    void inform(const QString &, const QString &) override {}
    void showError(const QString &text) override { die(QStringLiteral("the program showed an error: ") + text); }
};

// The services of this process.
struct Seams {
    SteadyClock clock;
    FixedWallClock wallClock;
    NoDialogs dialogs;
    Random random;
};
Seams &seams();

// A folder laid out as the program's: the built practice store, language store,
// config.dat and interface fonts, made writable. Its history lies beside them.
void copyBuiltData(const QString &folder);
// A practice store of count two-character words from the common CJK block (the
// same font fallback as the real words), in place of the built one.
void makeBigStore(const QString &folder, int count);
inline DataPaths programPaths(const QString &folder) { return {folder, QString(), QString()}; }

// The practice store of that folder open as the program has it: start-up done
// (text lookups, config.dat), write-ahead journal, simplified Chinese. Stops
// the process when start-up declines.
void openProgramFolder(const DataPaths &paths);

// Runs the event loop for ms milliseconds.
void settle(int ms);

} // namespace trenix::bench
