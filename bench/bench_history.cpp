// SPDX-License-Identifier: GPL-3.0-or-later
// The history with 10,000 games: recording one more, the progress window
// opened over them, and their CSV export.
#include "Bench.h"
#include "CsvWriter.h"
#include "GameCore.h"
#include "ProgressWindow.h"
#include "ReviewQueue.h"

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
constexpr int kReviewWords = 10000;

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

// 100,000 games (the 10,000 ten times over) and 10,000 words in review, a
// tenth of them due now and the rest over the next year; made once per process.
const QString &reviewHistory()
{
    static const QString path = [] {
        const QString path = workPath(QStringLiteral("history/review.db"));
        removeHistory(path);
        if (!QFile::copy(tenThousandGames(), path))
            die(QStringLiteral("cannot copy the history to %1").arg(path));
        History history(seams().wallClock);
        history.file.open(path);
        Store &store = history.file.store();
        QStringList columns;
        for (Statement st = store.prepare(QStringLiteral("pragma table_info(games)")); st.next();)
            if (st.text(1) != QLatin1String("id"))
                columns << st.text(1);
        const QString copy =
            QStringLiteral("insert into games(%1) select %1 from games limit %2").arg(columns.join(u','));
        Transaction tx(store);
        for (qint64 have = kGames; have < 10 * kGames; have *= 2)
            store.exec(copy.arg(std::min(have, 10 * kGames - have)));
        store.exec(QStringLiteral("delete from review_words")); // the games' own: replaced by a known mix
        Statement add = store.prepare(QStringLiteral(
            "insert into review_words(word, is_entry, stability, difficulty, due_utc, last_review_utc, reps, lapses,"
            " state, last_game) values (?1, 1, 3.5, 5.0, ?2, ?3, 3, 1, 2, 1)"));
        for (int i = 0; i < kReviewWords; ++i) {
            add.bind(1, QStringLiteral("词%1").arg(i));
            add.bind(2, kNow + (i % 10 == 0 ? -qint64(i) * 1000 : qint64(i) * (365 * kDayMs / kReviewWords)));
            add.bind(3, kNow - 30 * kDayMs);
            add.next();
            add.reset();
        }
        tx.commit();
        history.file.close();
        return path;
    }();
    return path;
}

} // namespace

void dueQueue(benchmark::State &state)
{
    History history(seams().wallClock);
    history.file.open(reviewHistory());
    if (history.review.count() != kReviewWords) {
        fail(state, QStringLiteral("the review holds %1 words").arg(history.review.count()));
        return;
    }
    for (auto _ : state) {
        // What a review game draws, and the count the Words list and the launch show.
        const std::vector<ReviewWord> due = history.review.due(kNow, 100);
        const qint64 dueNow = history.review.dueBy(kNow);
        if (due.size() != 100 || dueNow != kReviewWords / 10) {
            fail(state, QStringLiteral("%1 words drawn, %2 due").arg(due.size()).arg(dueNow));
            break;
        }
    }
    history.file.close();
}

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
