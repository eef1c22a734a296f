// SPDX-License-Identifier: GPL-3.0-or-later
// The history with 10,000 games: recording one more, the progress window
// opened over them, and their CSV export.
#include "Bench.h"
#include "CsvWriter.h"
#include "GameCore.h"
#include "ProgressWindow.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineSeries>

#include <algorithm>
#include <memory>

namespace trenix::bench {

namespace {

constexpr int kGames = 10000;
constexpr int kWordsPerGame = 30; // words that showed on the field
constexpr int kLandedPerGame = 8;
constexpr qint64 kDayMs = 86400000;

// A game as a player leaves it: a few hits, some words landed, 30 on the field;
// words from the first 2000 of a dictionary, so that some come back often.
GameRecord makeGame(int i)
{
    GameRecord g;
    g.startUtcMs = kNow - 365 * kDayMs + qint64(i) * (365 * kDayMs / kGames);
    g.endUtcMs = g.startUtcMs + 180000;
    g.utcOffsetS = 8 * 3600;
    g.seconds = 180;
    g.language = kLanguage;
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
        WordOutcome o;
        o.word = QStringLiteral("词%1").arg((i * 37 + w * 101) % 2000);
        o.landed = w < kLandedPerGame;
        o.hit = !o.landed;
        o.ticks = o.landed ? 9 : w % 8;
        o.top = o.landed ? 5190 : (w % 8) * 645;
        g.words.push_back(o);
    }
    return g;
}

void removeHistory(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

// 10,000 games over the last year, kept one by one as the game keeps them;
// made once per process and read by the benchmarks below (never written).
const QString &tenThousandGames()
{
    static const QString path = [] {
        const QString path = workPath(QStringLiteral("history/games.db"));
        QDir().mkpath(QFileInfo(path).path());
        removeHistory(path);
        History history(seams().wallClock);
        history.file.open(path);
        for (int i = 0; i < kGames; ++i)
            if (!history.games.record(makeGame(i)))
                die(QStringLiteral("recording game %1 into %2 failed").arg(i).arg(path));
        history.file.close();
        return path;
    }();
    return path;
}

// The history of 10,000 games open, and a game core on it for the windows.
struct Games {
    Games()
        : core(
            GlVexM.storeConn, [](const QString &) { return qint64(900); }, seams().clock, seams().wallClock,
            seams().random, seams().dialogs, history)
    {
        history.file.open(tenThousandGames());
    }
    ~Games() { history.file.close(); }
    History history{seams().wallClock};
    GameCore core;
};

} // namespace

void recordGame(benchmark::State &state)
{
    // Each repetition records into a fresh copy of the 10,000 games.
    const QString path = workPath(QStringLiteral("history/record.db"));
    removeHistory(path);
    if (!QFile::copy(tenThousandGames(), path)) {
        fail(state, QStringLiteral("cannot copy the history to %1").arg(path));
        return;
    }
    History history(seams().wallClock);
    history.file.open(path);
    std::vector<GameRecord> games;
    for (int i = 0; i < int(state.max_iterations); ++i)
        games.push_back(makeGame(kGames + i));
    size_t next = 0;
    double slowest = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!history.games.record(games[next++])) {
            fail(state, QStringLiteral("recording failed"));
            break;
        }
        slowest = std::max(slowest, msSince(t0));
    }
    state.counters["slowest_ms"] = slowest;
    history.file.close();
}

void progressWindow(benchmark::State &state, bool allGames)
{
    useFolder(builtFolder()); // the missed words' pinyin comes from the practice store
    Games games;
    if (games.history.games.summary(0).games != kGames) {
        fail(state, QStringLiteral("the history holds %1 games").arg(games.history.games.summary(0).games));
        return;
    }
    auto open = [&games] {
        auto window = std::make_unique<ProgressWindow>(games.core, seams().wallClock);
        window->show();
        QCoreApplication::processEvents(); // exposed and drawn, as a real window's first paint
        window->repaint();
        return window;
    };
    open(); // the first one loads fonts and the chart's styles: not timed
    for (auto _ : state) {
        if (!allGames) {
            auto window = open();
            state.PauseTiming();
            window.reset();
            state.ResumeTiming();
            continue;
        }
        state.PauseTiming();
        auto window = open();
        state.ResumeTiming();
        window->period->setCurrentIndex(2);
        window->repaint();
        state.PauseTiming();
        const qint64 shown = window->speedSeries->count();
        window.reset();
        if (shown != kGames) {
            fail(state, QStringLiteral("the chart of all games shows %1 games").arg(shown));
            break;
        }
        state.ResumeTiming();
    }
}

void exportCsv(benchmark::State &state)
{
    Games games;
    const QString csv = workPath(QStringLiteral("history/history.csv"));
    for (auto _ : state) {
        try {
            const qint64 written = writeHistoryCsv(games.history.games, csv);
            if (written != kGames) {
                fail(state, QStringLiteral("the export wrote %1 games").arg(written));
                break;
            }
        } catch (const Error &e) {
            fail(state, QStringLiteral("the export failed: ") + e.message());
            break;
        }
    }
}

} // namespace trenix::bench
