// SPDX-License-Identifier: GPL-3.0-or-later
// What bench/run.sh and bench/disk.sh measure from outside a process; no
// timing of its own beyond the disk's writes. Offscreen unless said otherwise.
//
//   trenix_bench_helper blank                  an empty Qt Widgets window of the main
//                                              window's size: the launch floor (for the probe)
//   trenix_bench_helper prepare DIR            DIR/real (the built data) and DIR/big
//                                              (a 30000-word dictionary)
//   trenix_bench_helper hold FOLDER FROM TO S  the main window plays FROM..TO for S s;
//                                              prints the peak resident memory (VmHWM)
//   trenix_bench_helper play FOLDER SECONDS [--rollback]
//                                              SECONDS of play at speed 1 with a player typing
//                                              30 words a minute; prints the landings, hits and
//                                              the wall time of each write (bench/disk.sh runs
//                                              it under strace -c to count the syncs)
#include "BenchSupport.h"
#include "GLVex.h"
#include "GameCore.h"
#include "GlVexM.h"
#include "History.h"
#include "Startup.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

using namespace trenix;
using namespace trenix::bench;

namespace {

double wallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long statusKb(const char *field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::strtol(line.c_str() + n + 1, nullptr, 10);
    return -1;
}

int hold(const QString &folder, int from, int to, double seconds)
{
    const DataPaths paths = programPaths(folder);
    openProgramFolder(paths);
    History history(seams().wallClock);
    history.file.open(paths.historyFile());
    GlVexM.wordFrom = qint16(from);
    GlVexM.wordTo = qint16(to);
    Seams &s = seams();
    GLVex window(Services{s.clock, s.wallClock, s.random, s.dialogs, paths, history});
    window.show();
    settle(200);
    const double t0 = wallMs();
    window.Label3_Click();
    const double startMs = wallMs() - t0;
    if (window.core().Label1.size() != size_t(to - from + 2))
        die(QStringLiteral("the start gave %1 labels").arg(window.core().Label1.size() - 1));
    QTimer::singleShot(int(seconds * 1000), qApp, &QCoreApplication::quit);
    QApplication::exec();
    std::printf("words=%d start_ms=%.1f hwm_kb=%ld rss_kb=%ld\n", to - from + 1, startMs, statusKb("VmHWM"),
                statusKb("VmRSS"));
    window.pictScroll.stop();
    window.CreatWord.stop();
    window.GaTime.stop();
    return 0;
}

// A minute of play as the disk sees it: one fall tick a second (speed 1) and a
// player who types the lowest word on the field every other second, landed or
// not (30 words a minute). A landing and a hit on a landed word write, one
// transaction each; each tick and each Enter that wrote is timed. Runs on the
// program's journal (write-ahead), or on the rollback journal the store is
// built with. SECONDS 0: only the set-up, whose syncs bench/disk.sh subtracts.
int play(const QString &folder, int seconds, bool rollback)
{
    const DataPaths paths = programPaths(folder);
    openProgramFolder(paths);
    GlVexM.wordFrom = 1;
    GlVexM.wordTo = 999;
    if (rollback)
        GlVexM.storeConn.exec(QStringLiteral("pragma journal_mode=delete"));
    History history(seams().wallClock); // never opened: the games are not kept
    Seams &s = seams();
    GameCore core(
        GlVexM.storeConn, [](const QString &caption) { return qint64(400 + 330 * caption.size()); }, s.clock,
        s.wallClock, s.random, s.dialogs, history);
    core.load();
    core.Label3_Click();
    std::vector<double> writes;
    int landings = 0, hits = 0, games = 1;
    auto landed = [&core] {
        return std::count_if(core.Label1.begin() + 1, core.Label1.end(),
                             [](const WordLabel &w) { return w.Visible && w.landed(); });
    };
    for (int second = 0; second < seconds; ++second) {
        if (!core.gameActive()) { // the pile reached the top: the next game
            core.Label3_Click();
            ++games;
        }
        auto before = landed();
        double t0 = wallMs();
        core.pictScroll_Timer();
        if (landed() > before) {
            writes.push_back(wallMs() - t0);
            landings += int(landed() - before);
        }
        if (second % 2 == 0 || !core.gameActive())
            continue;
        auto lowest = core.Label1.end();
        for (auto it = core.Label1.begin() + 1; it != core.Label1.end(); ++it)
            if (it->Visible && (lowest == core.Label1.end() || it->Top > lowest->Top))
                lowest = it;
        if (lowest == core.Label1.end())
            continue;
        core.screen.TxT = lowest->Caption;
        before = landed();
        t0 = wallMs();
        core.TxT_KeyUp(GameCore::kKeyEnter, 0);
        if (landed() < before) {
            writes.push_back(wallMs() - t0);
            hits += int(before - landed());
        }
    }
    std::sort(writes.begin(), writes.end());
    auto at = [&writes](double q) {
        return writes.empty() ? 0.0 : writes[std::min(writes.size() - 1, size_t(double(writes.size()) * q))];
    };
    const double median = writes.empty()           ? 0
                          : writes.size() % 2 == 1 ? writes[writes.size() / 2]
                                                   : (writes[writes.size() / 2 - 1] + writes[writes.size() / 2]) / 2;
    std::printf("journal=%s seconds=%d games=%d landings=%d hits=%d writes=%zu write_ms_median=%.3f write_ms_min=%.3f "
                "write_ms_p99=%.3f write_ms_max=%.3f\n",
                rollback ? "rollback" : "wal", seconds, games, landings, hits, writes.size(), median, at(0), at(0.99),
                writes.empty() ? 0 : writes.back());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool blank = argc >= 2 && std::strcmp(argv[1], "blank") == 0;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !blank)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (blank) {
        QWidget w;
        w.setFixedSize(783, 530);
        w.show();
        return QApplication::exec();
    }
    const QStringList args = QCoreApplication::arguments();
    int status = 2;
    try {
        if (args.size() >= 3 && args[1] == QLatin1String("prepare")) {
            const QDir dir(args[2]);
            copyBuiltData(dir.filePath(QStringLiteral("real")));
            copyBuiltData(dir.filePath(QStringLiteral("big")));
            makeBigStore(dir.filePath(QStringLiteral("big")), kBigWords);
            status = 0;
        } else if (args.size() >= 4 && args[1] == QLatin1String("play")) {
            status = play(args[2], args[3].toInt(), args.contains(QLatin1String("--rollback")));
        } else if (args.size() >= 6 && args[1] == QLatin1String("hold")) {
            status = hold(args[2], args[3].toInt(), args[4].toInt(), args[5].toDouble());
        } else {
            std::fprintf(stderr, "usage: trenix_bench_helper blank | prepare DIR | hold FOLDER FROM TO SECONDS"
                                 " | play FOLDER SECONDS [--rollback]\n");
        }
    } catch (const Error &e) {
        die(e.message());
    }
    GlVexM.storeConn.close();
    return status;
}
