// SPDX-License-Identifier: GPL-3.0-or-later
// In-process harness for what a player feels: the start command, one fall
// tick, one Enter, the play field's repaint, and the memory of a running game.
// Runs offscreen by default. bench/run.sh drives it and prints the table.
//
//   trenix_bench prepare DIR              two program folders: DIR/real (the
//                                         built data) and DIR/big (30000 words)
//   trenix_bench timings DIR [--quick] [--only=KEYPREFIX]
//                                         figures as rows: key label median min max unit runs
//   trenix_bench hold FOLDER FROM TO S    a real window plays FROM..TO for S s; prints VmHWM
//   trenix_bench play FOLDER SECONDS [--rollback]
//                                         SECONDS of play at speed 1 with a player typing
//                                         30 words a minute; prints the landings, hits and
//                                         the wall time of each write (run it under
//                                         strace -c to count the syncs; bench/disk.sh)
//   trenix_bench cold FOLDER [IDLE_MS] [--unprepared]
//                                         in a fresh process: the window shown, the next
//                                         start prepared in idle time as the program does
//                                         (not with --unprepared), IDLE_MS of idle time
//                                         (default 1000), then the first start (cold
//                                         caches) and four more (warm); prints ms
//   trenix_bench blank                    an empty Qt Widgets window: the launch floor
#include "Fonts.h"
#include "GLVex.h"
#include "GameCore.h"
#include "GlVexM.h"
#include "PlayField.h"
#include "Startup.h"
#include "StoreSchema.h"
#include "TypingBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace trenix;

namespace {

constexpr int kLanguage = 2;
constexpr int kBigWords = 30000;
QString g_only; // run only the figures whose key starts with this

bool wanted(const QString &key)
{
    return g_only.isEmpty() || key.startsWith(g_only);
}

double wallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

[[noreturn]] void die(const QString &why)
{
    std::fprintf(stderr, "trenix_bench: %s\n", qPrintable(why));
    std::exit(1);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void row(const QString &key, const QString &label, const std::vector<double> &v, const char *unit)
{
    if (v.empty())
        return;
    std::printf("%s\t%s\t%.4f\t%.4f\t%.4f\t%s\t%zu\n", qPrintable(key), qPrintable(label), median(v),
                *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()), unit, v.size());
    std::fflush(stdout);
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

class NoDialogs final : public Dialogs {
public:
    bool askYesNo(const QString &, const QString &) override { return false; }
    void inform(const QString &, const QString &) override {}
    void showError(const QString &text) override { die(text); }
};

void copyData(const QString &folder)
{
    QDir().mkpath(folder);
    for (const QString &font : QDir(QStringLiteral(TRENIX_BIN_DIR)).entryList({QStringLiteral("TrenixUI-*.otf")})) {
        QFile::remove(QDir(folder).filePath(font));
        QFile::copy(QDir(QStringLiteral(TRENIX_BIN_DIR)).filePath(font), QDir(folder).filePath(font));
    }
    for (const char *name : {kStoreFile, kLanguageFile, kSettingsFile}) {
        const QString to = QDir(folder).filePath(QLatin1String(name));
        QFile::remove(to);
        if (!QFile::copy(QDir(QStringLiteral(TRENIX_BIN_DIR)).filePath(QLatin1String(name)), to))
            die(QStringLiteral("cannot copy %1 into %2").arg(QLatin1String(name), folder));
        QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
}

// Two-character words from the common CJK block, so that measuring takes the
// same font fallback as the real dictionary.
void makeBigStore(const QString &path, int count)
{
    QFile::remove(path);
    Store store(path, QByteArray(kStorePassword), Store::Mode::Create);
    Transaction tx(store);
    QList<DictionaryEntry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString cz = QString(QChar(0x4E00 + i / 160)) + QChar(0x4F00 + i % 160);
        entries.append({i + 1, cz, QStringLiteral("py%1").arg(i + 1), QStringLiteral("en%1").arg(i + 1),
                        QStringLiteral("1"), QString::number(count - i)});
    }
    createDictionaryTable(store, kLanguage);
    insertDictionary(store, kLanguage, entries);
    createPracticeTable(store);
    tx.commit();
}

void openStoreIn(const QString &folder)
{
    GlVexM.programFolder = folder;
    GlVexM.storeConn = Store(); // let go of the previous file first
    loadInterfaceFonts();       // as the program does
    if (prepareStartup() != StartupOutcome::ShowMainWindow)
        die(QStringLiteral("start-up declined in %1").arg(folder));
    useWriteAheadJournal(GlVexM.storeConn);
}

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Does what the main window does for the core, on the real window's widgets,
// and times the synchronous repaints.
class BenchView final : public GameView {
public:
    BenchView(GLVex &window, GameCore &core) : m_window(window), m_core(core) {}
    double repaintMs = 0;
    int repaints = 0;
    void repaintNow() override
    {
        const double t0 = wallMs();
        m_window.lbmessage->setText(m_core.screen.lbmessage);
        m_window.lbmessage->setVisible(m_core.screen.lbmessageVisible);
        if (m_window.isVisible())
            m_window.repaint();
        repaintMs += wallMs() - t0;
        ++repaints;
    }
    void focusTyping() override { m_window.TxT->setFocus(Qt::OtherFocusReason); }
    void wordsChanged() override { m_window.GamePict->update(); }
    void screenChanged() override
    {
        const GameScreen &s = m_core.screen;
        m_window.lbmessage->setText(s.lbmessage);
        m_window.lbmessage->setVisible(s.lbmessageVisible);
        m_window.timeDisplay->setText(s.timeDisplay);
        m_window.lbsd->setText(s.lbsd);
        m_window.lbzql->setText(s.lbzql);
        m_window.lbfs->setText(s.lbfs);
    }

private:
    GLVex &m_window;
    GameCore &m_core;
};

// A core of its own on the real window's widgets and measure.
struct BenchGame {
    BenchGame(GLVex &window)
        : core(GlVexM.storeConn,
               [this, &window](const QString &caption) {
                   const double t0 = wallMs();
                   const qint64 w = window.GamePict->measure(caption);
                   measureMs += wallMs() - t0;
                   return w;
               }),
          view(window, core), m_window(window)
    {
        core.setView(&view);
        core.load();
        window.GamePict->setWords(&core.Label1);
    }
    ~BenchGame() { m_window.GamePict->setWords(nullptr); }
    GameCore core;
    BenchView view;
    double measureMs = 0;

private:
    GLVex &m_window;
};

// The store work of a start, statement for statement, with the same draws.
QStringList replayStoreWork(int from, int to)
{
    PracticeStore ps(GlVexM.storeConn);
    Random &random = *GlVexM.random;
    QStringList drawn;
    const qint64 n = ps.countRange(kLanguage, from, to);
    Transaction tx(GlVexM.storeConn);
    ps.emptyList();
    ps.fillList(kLanguage, from, to);
    const qint64 size = ps.countDictionary(kLanguage);
    for (qint64 i = 0; i < n; ++i) {
        random.next(); // the label's left edge
        qint64 s = qint64(std::floor(double(size) * random.next()));
        std::optional<DrawnRow> r = ps.firstUndrawnFrom(s);
        if (!r) {
            const std::optional<qint64> highest = ps.highestUndrawn();
            if (!highest || *highest < 1) {
                drawn << QString();
                continue;
            }
            const double x = random.next();
            s = size - 1 > *highest ? qint64(std::floor(double(*highest) * x + 1))
                                    : qint64(std::floor(double(size - 1) * x + 1));
            r = ps.firstUndrawnFrom(s);
            if (!r) {
                drawn << QString();
                continue;
            }
        }
        ps.markDrawn(r->xh);
        drawn << r->cz;
    }
    tx.commit();
    return drawn;
}

void benchStart(GLVex &window, const QString &key, const QString &label, int from, int to, int runs)
{
    if (!wanted(key))
        return;
    GlVexM.wordFrom = qint16(from);
    GlVexM.wordTo = qint16(to);
    BenchGame game(window);
    std::vector<double> total, cpu, repaint, measure, rest, store;
    const size_t words = size_t(to - from + 1);
    for (int r = 0; r <= runs; ++r) {
        GlVexM.random->seed(42);
        game.view.repaintMs = 0;
        game.measureMs = 0;
        const double c0 = cpuMs(), t0 = wallMs();
        game.core.Label3_Click();
        const double t1 = wallMs(), c1 = cpuMs();
        if (game.core.Label1.size() != words + 1 || !game.core.screen.lbmessage.isEmpty())
            die(QStringLiteral("%1: the start gave %2 labels, message '%3'")
                    .arg(label).arg(game.core.Label1.size() - 1).arg(game.core.screen.lbmessage));
        if (r == 0)
            continue; // warm-up: caches, fonts
        total.push_back(t1 - t0);
        cpu.push_back(c1 - c0);
        repaint.push_back(game.view.repaintMs);
        measure.push_back(game.measureMs);
    }
    QStringList captions;
    for (size_t i = 1; i < game.core.Label1.size(); ++i)
        captions << game.core.Label1[i].Caption;
    for (int r = 0; r <= runs; ++r) {
        GlVexM.random->seed(42);
        const double t0 = wallMs();
        const QStringList drawn = replayStoreWork(from, to);
        const double t1 = wallMs();
        if (drawn != captions)
            die(QStringLiteral("%1: the store replay drew other words than the start").arg(label));
        if (r > 0)
            store.push_back(t1 - t0);
    }
    const double storeMedian = median(store);
    for (size_t i = 0; i < total.size(); ++i)
        rest.push_back(total[i] - repaint[i] - storeMedian);
    row(key + QStringLiteral(".total"), label + QStringLiteral(": in all (wall)"), total, "ms");
    row(key + QStringLiteral(".cpu"), label + QStringLiteral(": in all (CPU)"), cpu, "ms");
    row(key + QStringLiteral(".store"), label + QStringLiteral(": store work"), store, "ms");
    row(key + QStringLiteral(".labels"), label + QStringLiteral(": label creation"), rest, "ms");
    row(key + QStringLiteral(".measure"), label + QStringLiteral(":   of which measuring"), measure, "ms");
    row(key + QStringLiteral(".repaint"), label + QStringLiteral(": repaint"), repaint, "ms");
}

// 999 labels: a pile three rows deep, nine words falling over it, the rest waiting.
struct PlayState {
    std::vector<WordLabel> labels;
    std::vector<size_t> falling;
    size_t topRowWord = 0;
};

PlayState buildPile(GameCore &core)
{
    PlayState s;
    const qint64 h = GameCore::kFallStep;
    size_t idx = 1;
    for (int k = 1; k <= 3; ++k) {
        const qint64 top = core.fieldHeight() - k * h;
        qint64 left = 0;
        while (idx < core.Label1.size()) {
            WordLabel &w = core.Label1[idx];
            if (left + w.Width > core.fieldWidth())
                break;
            if (k == 3 && !s.topRowWord)
                s.topRowWord = idx;
            w.Left = left;
            w.Top = top;
            w.Visible = true;
            w.ToolTipText = QStringLiteral("1");
            core.practice().recordLanding(w.Left, w.Top, w.Width, w.Caption);
            left += w.Width;
            ++idx;
        }
    }
    const qint64 tops[9] = {0, 0, h, h, 2 * h, 2 * h, 3 * h, 3 * h, 4 * h};
    for (int j = 0; j < 9; ++j, ++idx) {
        WordLabel &w = core.Label1[idx];
        w.Left = std::min<qint64>(500 + j * 1100, core.fieldWidth() - w.Width);
        w.Top = tops[j];
        w.Visible = true;
        w.ToolTipText.clear();
        s.falling.push_back(idx);
    }
    s.labels = core.Label1;
    return s;
}

void benchPlay(GLVex &window, int runs)
{
    if (!wanted(QStringLiteral("tick")) && !wanted(QStringLiteral("enter")) && !wanted(QStringLiteral("paint")))
        return;
    GlVexM.wordFrom = 1;
    GlVexM.wordTo = 999;
    BenchGame game(window);
    GameCore &core = game.core;
    GlVexM.random->seed(42);
    core.Label3_Click();
    const PlayState s = buildPile(core);
    const qint64 pileTop = core.fieldHeight() - 3 * GameCore::kFallStep;

    std::vector<double> tick, tickLanding, enterHit, enterMiss, paint;
    for (int r = 0; r <= runs; ++r) {
        core.Label1 = s.labels;
        const double t0 = wallMs();
        core.pictScroll_Timer();
        const double t1 = wallMs();
        for (size_t i : s.falling)
            if (core.Label1[i].landed())
                die(QStringLiteral("a word landed in the tick that should only move"));
        if (r > 0)
            tick.push_back(t1 - t0);
    }
    const size_t lander = s.falling.back();
    for (int r = 0; r <= runs; ++r) {
        core.Label1 = s.labels;
        core.Label1[lander].Top = pileTop - GameCore::kFallStep - 1;
        const double t0 = wallMs();
        core.pictScroll_Timer();
        const double t1 = wallMs();
        if (!core.Label1[lander].landed() || !core.gameActive())
            die(QStringLiteral("the landing tick did not land its word"));
        core.practice().releaseFromPile(core.Label1[lander].Caption);
        if (r > 0)
            tickLanding.push_back(t1 - t0);
    }
    const WordLabel target = s.labels[s.topRowWord];
    for (int r = 0; r <= runs; ++r) {
        core.Label1 = s.labels;
        core.screen.TxT = target.Caption;
        const double t0 = wallMs();
        core.TxT_KeyUp(GameCore::kKeyEnter, 0);
        const double t1 = wallMs();
        if (!core.Label1[s.topRowWord].Caption.isEmpty())
            die(QStringLiteral("Enter did not hit the landed word"));
        core.practice().recordLanding(target.Left, target.Top, target.Width, target.Caption);
        if (r > 0)
            enterHit.push_back(t1 - t0);
    }
    for (int r = 0; r <= runs; ++r) {
        core.Label1 = s.labels;
        core.screen.TxT = QStringLiteral("无此词语");
        const double t0 = wallMs();
        core.TxT_KeyUp(GameCore::kKeyEnter, 0);
        const double t1 = wallMs();
        if (r > 0)
            enterMiss.push_back(t1 - t0);
    }
    core.Label1 = s.labels;
    for (int r = 0; r <= runs; ++r) {
        const double t0 = wallMs();
        window.GamePict->repaint();
        const double t1 = wallMs();
        if (r > 0)
            paint.push_back(t1 - t0);
    }
    row(QStringLiteral("tick"), QStringLiteral("fall tick, 999 labels, 9 falling, none lands"), tick, "ms");
    row(QStringLiteral("tick.landing"), QStringLiteral("fall tick, 999 labels, 9 falling, one lands"), tickLanding, "ms");
    row(QStringLiteral("enter.hit"), QStringLiteral("Enter hitting a landed word, 999 labels"), enterHit, "ms");
    row(QStringLiteral("enter.miss"), QStringLiteral("Enter matching nothing, 999 labels"), enterMiss, "ms");
    row(QStringLiteral("paint.field"), QStringLiteral("play field repaint after a tick or Enter"), paint, "ms");
}

// The real window's own start, for comparison with the split above.
void benchWindowStart(GLVex &window, int runs)
{
    if (!wanted(QStringLiteral("start999.window")))
        return;
    GlVexM.wordFrom = 1;
    GlVexM.wordTo = 999;
    std::vector<double> total, cpu;
    for (int r = 0; r <= runs; ++r) {
        const double c0 = cpuMs(), t0 = wallMs();
        window.Label3_Click();
        const double t1 = wallMs(), c1 = cpuMs();
        window.pictScroll.stop();
        window.CreatWord.stop();
        window.GaTime.stop();
        if (window.core().Label1.size() != 1000)
            die(QStringLiteral("the window's start gave %1 labels").arg(window.core().Label1.size() - 1));
        if (r > 0) {
            total.push_back(t1 - t0);
            cpu.push_back(c1 - c0);
        }
    }
    row(QStringLiteral("start999.window"), QStringLiteral("999 words via GLVex::Label3_Click (wall)"), total, "ms");
    row(QStringLiteral("start999.window.cpu"), QStringLiteral("999 words via GLVex::Label3_Click (CPU)"), cpu, "ms");
}

// The start-up path in pieces: the store with its key, then all of start-up
// before the window, then the window up to its first paint.
void benchStartup(const QString &folder, int runs)
{
    std::vector<double> open, prepare, window;
    double firstWindow = 0;
    for (int r = 0; r <= runs; ++r) {
        GlVexM.storeConn = Store();
        const double t0 = wallMs();
        Store probe(QDir(folder).filePath(QLatin1String(kStoreFile)), QByteArray(kStorePassword), Store::Mode::ReadWrite);
        const double t1 = wallMs();
        probe.close();
        const double t2 = wallMs();
        openStoreIn(folder);
        const double t3 = wallMs();
        auto w = std::make_unique<GLVex>();
        w->show();
        w->repaint();
        const double t4 = wallMs();
        w.reset();
        if (r == 0) {
            firstWindow = t4 - t3;
            continue;
        }
        open.push_back(t1 - t0);
        prepare.push_back(t3 - t2);
        window.push_back(t4 - t3);
    }
    if (wanted(QStringLiteral("startup"))) {
        row(QStringLiteral("startup.storeopen"), QStringLiteral("start-up: practice store open with its key"), open, "ms");
        row(QStringLiteral("startup.prepare"), QStringLiteral("start-up: store, settings, language (prepareStartup)"), prepare, "ms");
        row(QStringLiteral("startup.window.first"), QStringLiteral("start-up: main window built and painted, first time"),
            {firstWindow}, "ms");
        row(QStringLiteral("startup.window"), QStringLiteral("start-up: main window built and painted, again"), window, "ms");
    }
}

int timings(const QString &dir, bool quick)
{
    const QString real = QDir(dir).filePath(QStringLiteral("real"));
    const QString big = QDir(dir).filePath(QStringLiteral("big"));
    const int runs = quick ? 3 : 9;
    benchStartup(real, runs);
    openStoreIn(real);
    GlVexM.languageCode = kLanguage;
    GLVex window;
    window.show();
    settle(300);

    benchWindowStart(window, runs);
    benchStart(window, QStringLiteral("start100"), QStringLiteral("start, 100 words"), 1, 100, runs);
    benchStart(window, QStringLiteral("start999"), QStringLiteral("start, 999 words"), 1, 999, runs);
    benchStart(window, QStringLiteral("start5000"), QStringLiteral("start, 5000 words"), 1, 5000, quick ? 3 : 7);
    benchPlay(window, quick ? 21 : 201);

    openStoreIn(big);
    GlVexM.languageCode = kLanguage;
    const int bigRuns = quick ? 2 : 5;
    benchStart(window, QStringLiteral("start30000"), QStringLiteral("start, 30000 words"), 1, kBigWords, bigRuns);
    benchStart(window, QStringLiteral("start999.big"), QStringLiteral("start, 999 of 30000, from 1"), 1, 999, runs);
    benchStart(window, QStringLiteral("start999.high"), QStringLiteral("start, 999 of 30000, from 29002"),
               kBigWords - 998, kBigWords, runs);
    GlVexM.storeConn.close();
    return 0;
}

int hold(const QString &folder, int from, int to, double seconds)
{
    openStoreIn(folder);
    GlVexM.languageCode = kLanguage;
    GlVexM.wordFrom = qint16(from);
    GlVexM.wordTo = qint16(to);
    GLVex window;
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
    GlVexM.storeConn.close();
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
    openStoreIn(folder);
    GlVexM.languageCode = kLanguage;
    GlVexM.wordFrom = 1;
    GlVexM.wordTo = 999;
    if (rollback)
        GlVexM.storeConn.exec(QStringLiteral("pragma journal_mode=delete"));
    else
        useWriteAheadJournal(GlVexM.storeConn);
    GameCore core(GlVexM.storeConn, [](const QString &caption) { return qint64(400 + 330 * caption.size()); });
    core.load();
    core.Label3_Click();
    std::vector<double> writes;
    int landings = 0, hits = 0, games = 1;
    auto landed = [&core] {
        return std::count_if(core.Label1.begin() + 1, core.Label1.end(), [](const WordLabel &w) { return w.Visible && w.landed(); });
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
    const double p99 = writes.empty() ? 0 : writes[std::min(writes.size() - 1, size_t(double(writes.size()) * 0.99))];
    std::printf("journal=%s seconds=%d games=%d landings=%d hits=%d writes=%zu write_ms_median=%.3f write_ms_min=%.3f "
                "write_ms_p99=%.3f write_ms_max=%.3f\n",
                rollback ? "rollback" : "wal", seconds, games, landings, hits, writes.size(),
                writes.empty() ? 0 : median(writes), writes.empty() ? 0 : writes.front(), p99,
                writes.empty() ? 0 : writes.back());
    GlVexM.storeConn.close();
    return 0;
}

// The first start after launch against the ones after it, as the player meets
// them: the window shown and idle for a while, then the start command.
int cold(const QString &folder, int idleMs, bool prepared)
{
    openStoreIn(folder);
    GlVexM.languageCode = kLanguage;
    GlVexM.wordFrom = 1;
    GlVexM.wordTo = 999;
    GLVex window;
    window.show();
    settle(idleMs);
    if (prepared) // as the program does once its store is open
        window.core().prepareNextStart();
    settle(100);
    std::vector<double> wall, cpu;
    for (int r = 0; r < 5; ++r) {
        const double c0 = cpuMs(), t0 = wallMs();
        window.Label3_Click();
        const double t1 = wallMs(), c1 = cpuMs();
        if (window.core().Label1.size() != 1000)
            die(QStringLiteral("the start gave %1 labels").arg(window.core().Label1.size() - 1));
        wall.push_back(t1 - t0);
        cpu.push_back(c1 - c0);
        settle(100); // the first fall tick's paint, as the player sees it
    }
    const std::vector<double> warm(cpu.begin() + 1, cpu.end());
    std::printf("first_wall_ms=%.3f first_cpu_ms=%.3f warm_wall_ms=%.3f warm_cpu_ms=%.3f hwm_kb=%ld\n", wall[0], cpu[0],
                median(std::vector<double>(wall.begin() + 1, wall.end())), median(warm), statusKb("VmHWM"));
    window.pictScroll.stop();
    window.CreatWord.stop();
    window.GaTime.stop();
    GlVexM.storeConn.close();
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
        // The floor: a Qt Widgets window of the same size and nothing else.
        QWidget w;
        w.setFixedSize(783, 530);
        w.show();
        return QApplication::exec();
    }
    const QStringList args = QCoreApplication::arguments();
    SteadyClock clock;
    NoDialogs dialogs;
    Random random;
    GlVexM.clock = &clock;
    GlVexM.dialogs = &dialogs;
    GlVexM.random = &random;

    try {
        if (args.size() >= 3 && args[1] == QLatin1String("prepare")) {
            const QDir dir(args[2]);
            copyData(dir.filePath(QStringLiteral("real")));
            copyData(dir.filePath(QStringLiteral("big")));
            makeBigStore(dir.filePath(QStringLiteral("big/") + QLatin1String(kStoreFile)), kBigWords);
            return 0;
        }
        for (const QString &a : args)
            if (a.startsWith(QLatin1String("--only=")))
                g_only = a.mid(7);
        if (args.size() >= 3 && args[1] == QLatin1String("timings"))
            return timings(args[2], args.contains(QLatin1String("--quick")));
        if (args.size() >= 4 && args[1] == QLatin1String("play"))
            return play(args[2], args[3].toInt(), args.contains(QLatin1String("--rollback")));
        if (args.size() >= 3 && args[1] == QLatin1String("cold"))
            return cold(args[2], args.size() >= 4 ? args[3].toInt() : 1000, !args.contains(QLatin1String("--unprepared")));
        if (args.size() >= 6 && args[1] == QLatin1String("hold"))
            return hold(args[2], args[3].toInt(), args[4].toInt(), args[5].toDouble());
    } catch (const Error &e) {
        die(e.message());
    }
    std::fprintf(stderr, "usage: trenix_bench prepare DIR | timings DIR [--quick] | hold FOLDER FROM TO SECONDS\n");
    return 2;
}
