// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// trenix_bench: the in-process figures on Google Benchmark. Every benchmark is
// registered in bench_main.cpp with the rows it gives bench/run.sh's table; the
// bodies live in the file of their area. Times are in ms.
#include "AnswerSettings.h"
#include "BenchSupport.h"
#include "History.h"

#include <benchmark/benchmark.h>

#include <QString>
#include <chrono>

namespace trenix::bench {

// Marks the benchmark failed (its figures are not kept) and says why on
// stderr; trenix_bench then exits with status 1 and bench/run.sh stops. The
// caller leaves the timing loop.
void fail(benchmark::State &state, const QString &why);

// The work folder's program folders, made on first use: the built data, and
// the same with a generated dictionary of kBigWords words. The built one's
// history (progress.db) is the main window's.
const DataPaths &builtFolder();
const DataPaths &bigFolder();
History &mainHistory();
// GlVexM.storeConn open in that folder as the program has it; a no-op when it
// already is. Windows and cores made before a switch must be gone by then.
void useFolder(const DataPaths &paths);
// A file or folder inside the work folder.
QString workPath(const QString &name);
// The main window's services, on the main history.
Services windowServices(const DataPaths &paths);

// Milliseconds since t0, for the counters that split a figure.
inline double msSince(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}
// A counter in ms per iteration from a total over all iterations.
inline benchmark::Counter perIteration(double totalMs) { return {totalMs, benchmark::Counter::kAvgIterations}; }

// Every benchmark but cold/ calls this first: the cold/ ones check that
// nothing warmed the caches before them. releaseWindows() before the store closes.
void markWarmed();
void releaseWindows();

// The bodies, by area (bench_game.cpp, bench_history.cpp, bench_sets.cpp).
void coldWindow(benchmark::State &state);
void coldFirstStart(benchmark::State &state, bool prepared);
void coldNextStart(benchmark::State &state);
void storeOpen(benchmark::State &state);
void startupPrepare(benchmark::State &state);
void windowBuild(benchmark::State &state);
void startRange(benchmark::State &state, const DataPaths &(*folder)(), int from, int to, AnswerMode mode);
void startSet(benchmark::State &state, const QString &set, qint64 atLeast);
void startThroughWindow(benchmark::State &state);
void tick(benchmark::State &state, bool landing);
void enter(benchmark::State &state, bool hit, AnswerMode mode);
void tickPainted(benchmark::State &state, HintMode hints);
void fieldRepaint(benchmark::State &state);

void recordGame(benchmark::State &state);
void progressWindow(benchmark::State &state, bool allGames);
void exportCsv(benchmark::State &state);
void dueQueue(benchmark::State &state);

void importList(benchmark::State &state);
void startList(benchmark::State &state);
void settingsDialog(benchmark::State &state);

} // namespace trenix::bench
