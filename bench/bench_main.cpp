// SPDX-License-Identifier: GPL-3.0-or-later
// trenix_bench: the in-process figures on Google Benchmark, offscreen.
//
//   trenix_bench [--benchmark_...] [--trenix_work=DIR]   runs them (all but cold/ unless a filter names them)
//   trenix_bench --rows                                  the table's rows: name, field, figure, target
//
// DIR (default: a temporary folder) receives copies of the built data files;
// the games are played there. bench/run.sh runs this with
// --benchmark_format=json --benchmark_repetitions=N and prints the table.
#include "Bench.h"
#include "GlVexM.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace trenix;
using namespace trenix::bench;

namespace {

// One row of the table: the figure's text, the value it shows ("cpu": CPU
// time, "wall": wall time, or a counter's name, all ms per iteration) and its target.
struct Row {
    std::string field, figure, target;
};
struct Entry {
    std::string name;
    std::vector<Row> rows;
};
std::vector<Entry> g_catalogue;
bool g_failed = false;
QString g_work;

// Registers body(state, args...) under name, with its rows.
template <typename... Params, typename... Args>
benchmark::internal::Benchmark *add(const std::string &name, std::vector<Row> rows,
                                    void (*body)(benchmark::State &, Params...), Args... args)
{
    g_catalogue.push_back({name, std::move(rows)});
    const bool cold = name.starts_with("cold/");
    return benchmark::RegisterBenchmark(name.c_str(),
                                        [=](benchmark::State &state) {
                                            if (!cold)
                                                markWarmed();
                                            body(state, args...);
                                        })
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime();
}

// Every benchmark, in the order of the table. To add one: write its body in
// the file of its area (declared in Bench.h), then one add() here with its
// rows.
void registerBenchmarks()
{
    // The first start after launch against the next ones. Each in a fresh
    // process, once: bench/run.sh filters "^cold/(window|first_start|next_start)/"
    // and "^cold/first_start_unprepared/" in processes of their own (a filter
    // sees the name with its suffixes, as "cold/window/iterations:1/...").
    add("cold/window", {{"wall", "main window built, shown and painted, first time", ""}}, coldWindow)
        ->Iterations(1)
        ->Repetitions(1);
    add("cold/first_start", {{"cpu", "first start after launch, 999 words, CPU (in-process)", ""}}, coldFirstStart,
        true)
        ->Iterations(1)
        ->Repetitions(1);
    add("cold/next_start", {{"cpu", "the next starts, CPU (in-process)", ""}}, coldNextStart)
        ->Iterations(4)
        ->Repetitions(1);
    add("cold/first_start_unprepared", {{"cpu", "first start without the idle-time preparation, CPU", ""}},
        coldFirstStart, false)
        ->Iterations(1)
        ->Repetitions(1);

    add("startup/store_open", {{"wall", "start-up: practice store open with its key", ""}}, storeOpen);
    add("startup/prepare", {{"wall", "start-up: store, settings, language (prepareStartup)", ""}}, startupPrepare);
    add("window/build_and_paint", {{"wall", "main window built, shown and painted, again", ""}}, windowBuild);

    struct Start {
        const char *name;
        const DataPaths &(*folder)();
        int from, to;
        std::string label;
    };
    const Start starts[] = {
        {"start/range/100", builtFolder, 1, 100, "start, 100 words"},
        {"start/range/999", builtFolder, 1, 999, "start, 999 words"},
        {"start/range/5000", builtFolder, 1, 5000, "start, 5000 words"},
        {"start/generated/30000", bigFolder, 1, kBigWords, "start, 30000 words"},
        {"start/generated/999_from_1", bigFolder, 1, 999, "start, 999 of 30000, from 1"},
        {"start/generated/999_from_29002", bigFolder, kBigWords - 998, kBigWords, "start, 999 of 30000, from 29002"},
    };
    for (const Start &s : starts) {
        const bool built999 = s.to == 999 && s.folder == builtFolder, all30000 = s.to - s.from + 1 == kBigWords;
        const char *cpuTarget = built999 ? "<= 100" : s.to - s.from == 998 ? "~ start, 999 words" : "";
        add(s.name,
            {{"cpu", s.label + ": in all (CPU)", cpuTarget},
             {"wall", s.label + ": in all (wall)", all30000 ? "<= 3000" : ""},
             {"rest_ms", s.label + ": store work, draws and labels (wall)", built999 ? "<= 30" : ""},
             {"measure_ms", s.label + ": measuring the words (wall)", ""},
             {"repaint_ms", s.label + ": repaint (wall)", ""}},
            startRange, s.folder, s.from, s.to, AnswerMode::Characters);
    }
    add("start/window/999",
        {{"cpu", "999 words via GLVex::Label3_Click (CPU)", ""},
         {"wall", "999 words via GLVex::Label3_Click (wall)", ""}},
        startThroughWindow);

    add("start/range/999/pinyin",
        {{"cpu", "start, 999 words, answered in pinyin: in all (CPU)", "~ 1.1 x start, 999 words"},
         {"wall", "start, 999 words, answered in pinyin: in all (wall)", ""}},
        startRange, builtFolder, 1, 999, AnswerMode::Pinyin);
    add("start/hsk3/7-9",
        {{"cpu", "start over HSK 3.0 levels 7-9: in all (CPU)", "<= 100"},
         {"wall", "start over HSK 3.0 levels 7-9: in all (wall)", ""}},
        startSet, QStringLiteral("hsk3:7"), qint64(5000));
    add("tick/999", {{"wall", "fall tick, 999 labels, 9 falling, none lands", "<= 1"}}, tick, false);
    add("tick/999/painted", {{"wall", "fall tick and field repaint, 999 labels, hints off", ""}}, tickPainted,
        HintMode::Off);
    add("tick/999/painted/hints",
        {{"wall", "fall tick and field repaint, 999 labels, hints always", "~ 1.2 x hints off"}}, tickPainted,
        HintMode::Always);
    add("tick/999/landing", {{"wall", "fall tick, 999 labels, 9 falling, one lands", "<= 1"}}, tick, true);
    add("enter/999/hit", {{"wall", "Enter hitting a landed word, 999 labels", "<= 1"}}, enter, true,
        AnswerMode::Characters);
    add("enter/999/miss", {{"wall", "Enter matching nothing, 999 labels", "<= 1"}}, enter, false,
        AnswerMode::Characters);
    add("enter/999/pinyin/hit",
        {{"wall", "Enter in pinyin hitting a landed word, 999 labels", "<= 1, ~ 1.5 x characters"}}, enter, true,
        AnswerMode::Pinyin);
    add("enter/999/pinyin/miss", {{"wall", "Enter in pinyin matching nothing, 999 labels", "<= 1"}}, enter, false,
        AnswerMode::Pinyin);
    add("field/repaint", {{"wall", "play field repaint after a tick or Enter", ""}}, fieldRepaint);

    add("history/record",
        {{"wall", "record one game (30 words) into a history of 10,000", "<= 5"},
         {"slowest_ms", "  the slowest of the repetition's 100 (a checkpoint)", ""}},
        recordGame)
        ->Iterations(100);
    add("history/progress_window",
        {{"wall", "progress window over 10,000 games: built, shown, painted (30 days)", "<= 150"}}, progressWindow,
        false);
    add("history/progress_window/all", {{"wall", "  then the chart switched to all 10,000 games and painted", ""}},
        progressWindow, true);
    add("history/export", {{"wall", "export 10,000 games as CSV", "<= 1000"}}, exportCsv);
    add("history/due_queue",
        {{"wall", "review: the 100 due words and the due count, 10,000 in review, 100,000 games", "<= 20"}}, dueQueue);

    add("sets/import",
        {{"wall", "import 10,000 words (5,000 looked up in the dictionary), wall", "<= 1000"},
         {"cpu", "import 10,000 words (5,000 looked up in the dictionary), CPU", ""}},
        importList);
    add("sets/start_list",
        {{"cpu", "start a game over a 10,000-word list (GLVex::Label3_Click), CPU", "<= 150"},
         {"wall", "start a game over a 10,000-word list (GLVex::Label3_Click), wall", ""}},
        startList);
    add("sets/settings_dialog", {{"wall", "settings dialog with 50 lists: built, counted, shown, painted", "<= 50"}},
        settingsDialog);
}

QTemporaryDir *defaultWork()
{
    static QTemporaryDir dir;
    return &dir;
}

} // namespace

namespace trenix::bench {

void fail(benchmark::State &state, const QString &why)
{
    g_failed = true;
    std::fprintf(stderr, "trenix_bench: %s\n", qPrintable(why));
    state.SkipWithError(qPrintable(why)); // copied by the library
}

QString workPath(const QString &name) { return QDir(g_work).filePath(name); }

static DataPaths madeFolder(const QString &name, bool big)
{
    const QString folder = workPath(name);
    for (const char *stale : {"progress.db", "progress.db-wal", "progress.db-shm", "trenix.dat-wal", "trenix.dat-shm"})
        QFile::remove(QDir(folder).filePath(QLatin1String(stale)));
    copyBuiltData(folder);
    if (big)
        makeBigStore(folder, kBigWords);
    return programPaths(folder);
}

const DataPaths &builtFolder()
{
    static const DataPaths paths = madeFolder(QStringLiteral("built"), false);
    return paths;
}

const DataPaths &bigFolder()
{
    static const DataPaths paths = madeFolder(QStringLiteral("generated"), true);
    return paths;
}

History &mainHistory()
{
    static History history(seams().wallClock);
    if (history.file.state() == HistoryFile::State::Closed) {
        history.file.open(builtFolder().historyFile());
        if (!history.file.makeReady())
            die(QStringLiteral("cannot open %1").arg(builtFolder().historyFile()));
    }
    return history;
}

void useFolder(const DataPaths &paths)
{
    static QString current;
    if (current == paths.programFolder && GlVexM.storeConn.isOpen())
        return;
    openProgramFolder(paths);
    current = paths.programFolder;
}

Services windowServices(const DataPaths &paths)
{
    Seams &s = seams();
    return {s.clock, s.wallClock, s.random, s.dialogs, paths, mainHistory()};
}

} // namespace trenix::bench

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerBenchmarks();
    if (argc == 2 && std::strcmp(argv[1], "--rows") == 0) {
        for (const Entry &e : g_catalogue)
            for (const Row &r : e.rows)
                std::printf("%s\t%s\t%s\t%s\n", e.name.c_str(), r.field.c_str(), r.figure.c_str(), r.target.c_str());
        return 0;
    }
    bool filtered = false;
    for (int i = 1; i < argc; ++i)
        filtered = filtered || std::strncmp(argv[i], "--benchmark_filter", 18) == 0;
    benchmark::Initialize(&argc, argv);
    int kept = 1;
    for (int i = 1; i < argc; ++i) { // our own flag; the library has taken its own
        if (std::strncmp(argv[i], "--trenix_work=", 14) == 0)
            g_work = QString::fromLocal8Bit(argv[i] + 14);
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    if (!filtered) // the cold/ benchmarks mean something only first in a fresh process
        benchmark::SetBenchmarkFilter("-^cold/");
    if (g_work.isEmpty())
        g_work = defaultWork()->path();
    if (!QDir().mkpath(g_work))
        die(QStringLiteral("cannot make the work folder %1").arg(g_work));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    releaseWindows();
    GlVexM.storeConn.close();
    return g_failed ? 1 : 0;
}
