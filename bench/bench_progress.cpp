// SPDX-License-Identifier: GPL-3.0-or-later
// The history's costs with a long history: recording one game into 10,000, the
// progress window opened over them (built, shown, first paint; offscreen), and
// the CSV export of all of them. Prints rows as trenix_bench does:
//   key label median min max unit runs
//
//   trenix_bench_progress DIR [--quick]   DIR: a work folder, filled afresh
#include "CsvWriter.h"
#include "GameCore.h"
#include "GlVexM.h"
#include "ProgressStore.h"
#include "ProgressWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineSeries>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace trenix;

namespace {

constexpr int kGames = 10000;
constexpr int kWordsPerGame = 30;       // words that showed on the field
constexpr int kLandedPerGame = 8;
constexpr qint64 kDayMs = 86400000;
constexpr qint64 kNow = 1780000000000; // 2026-05-28, the bench's "now"

class FixedWallClock final : public WallClock {
public:
    qint64 utcMs() const override { return kNow; }
    QTimeZone timeZone() const override { return QTimeZone(8 * 3600); }
};

double wallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

[[noreturn]] void die(const QString &why)
{
    std::fprintf(stderr, "trenix_bench_progress: %s\n", qPrintable(why));
    std::exit(1);
}

void row(const char *key, const char *label, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    std::printf("%s\t%s\t%.4f\t%.4f\t%.4f\tms\t%zu\n", key, label, median, v.front(), v.back(), n);
    std::fflush(stdout);
}

// A game as a player leaves it: a few hits, some words landed, 30 on the field;
// words drawn from the first 2000 of a dictionary so that some come back often.
GameRecord makeGame(int i, qint64 startUtc)
{
    GameRecord g;
    g.startUtcMs = startUtc;
    g.endUtcMs = startUtc + 180000;
    g.utcOffsetS = 8 * 3600;
    g.seconds = 180;
    g.language = 2;
    g.dictionary = QStringLiteral("zidian2");
    g.selection = QStringLiteral("range:1-999");
    g.wordFrom = 1;
    g.wordTo = 999;
    g.speedLevel = 8;
    g.wordsInSelection = 999;
    g.entries = 25 + i % 7;
    g.hits = kWordsPerGame - kLandedPerGame;
    g.speed = double(g.hits) * 60.0 / 180.0;
    g.accuracy = double(g.hits) / double(g.entries);
    g.fieldHeight = 5835;
    for (int w = 0; w < kWordsPerGame; ++w) {
        const bool landed = w < kLandedPerGame;
        g.words.push_back({QStringLiteral("词%1").arg((i * 37 + w * 101) % 2000), !landed, landed, landed ? 9 : w % 8,
                           landed ? 5190 : (w % 8) * 645});
    }
    return g;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2)
        die(QStringLiteral("usage: trenix_bench_progress DIR [--quick]"));
    const bool quick = argc > 2 && qstrcmp(argv[2], "--quick") == 0;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(dir.path());
    FixedWallClock wall;
    GlVexM.wallClock = &wall;
    GlVexM.languageCode = 2;
    GlVexM.programFolder = QStringLiteral(TRENIX_BIN_DIR);
    // The practice store gives the missed words their pinyin; read only here.
    GlVexM.storeConn = Store(QDir(GlVexM.programFolder).filePath(QLatin1String(kStoreFile)),
                             QByteArray(kStorePassword), Store::Mode::ReadOnly);

    const QString path = dir.filePath(QLatin1String(kProgressFile));
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    ProgressStore progress;
    progress.open(path);
    // 10,000 games over the last year, kept one by one as the game keeps them.
    std::vector<double> record;
    for (int i = 0; i < kGames; ++i) {
        const GameRecord g = makeGame(i, kNow - 365 * kDayMs + qint64(i) * (365 * kDayMs / kGames));
        const double t0 = wallMs();
        if (!progress.record(g))
            die(QStringLiteral("recording failed: %1").arg(progress.takeNotice()));
        record.push_back(wallMs() - t0);
    }
    // The last 1000 are the ones with a long history behind them. The slow few are
    // the journal's checkpoints, one every thousand pages.
    const std::vector<double> last(record.end() - 1000, record.end());
    const auto slow = std::count_if(last.begin(), last.end(), [](double ms) { return ms > 5; });
    const QByteArray label = QStringLiteral("record one game (30 words) into 9,000 to 10,000 (%1 of 1000 over 5 ms)")
                                 .arg(slow).toUtf8();
    row("progress.record", label.constData(), last);

    GameCore core(GlVexM.storeConn, [](const QString &) { return qint64(900); });
    const int runs = quick ? 3 : 9;
    std::vector<double> open, openAll;
    for (int r = 0; r <= runs; ++r) {
        const double t0 = wallMs();
        auto window = std::make_unique<ProgressWindow>(core, &progress);
        window->show();
        QCoreApplication::processEvents(); // exposed and drawn, as a real window's first paint
        window->repaint();
        const double t1 = wallMs();
        window->period->setCurrentIndex(2);
        window->repaint();
        const double t2 = wallMs();
        if (window->speedSeries->count() != kGames)
            die(QStringLiteral("the chart shows %1 games").arg(window->speedSeries->count()));
        if (r == 0)
            continue; // the first build loads fonts and the chart's styles
        open.push_back(t1 - t0);
        openAll.push_back(t2 - t1);
    }
    row("progress.window", "progress window over 10,000 games: built, shown, painted (30 days)", open);
    row("progress.window.all", "  then the chart switched to all 10,000 games and painted", openAll);

    std::vector<double> exported;
    const QString csv = dir.filePath(QStringLiteral("history.csv"));
    for (int r = 0; r <= runs; ++r) {
        const double t0 = wallMs();
        if (writeHistoryCsv(progress, csv) != kGames)
            die(QStringLiteral("the export missed games"));
        if (r > 0)
            exported.push_back(wallMs() - t0);
    }
    row("progress.export", "export 10,000 games as CSV", exported);
    progress.close();
    GlVexM.storeConn.close();
    return 0;
}
