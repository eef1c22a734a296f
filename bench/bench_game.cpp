// SPDX-License-Identifier: GPL-3.0-or-later
// The game: start-up, the main window, the start command, a fall tick, an
// Enter and the play field's repaint, on the real window's widgets (offscreen).
#include "Bench.h"
#include "GLVex.h"
#include "GameCore.h"
#include "PlayField.h"
#include "Startup.h"

#include <QLabel>

#include <algorithm>
#include <memory>

namespace trenix::bench {

namespace {

using Steady = std::chrono::steady_clock;

void stopTimers(GLVex &w)
{
    w.pictScroll.stop();
    w.CreatWord.stop();
    w.GaTime.stop();
}

// A game core of its own on a shown main window's widgets: it measures words
// as the window does and repaints as the window's repaintNow() does, and
// times both, so that a start splits into measuring, repaint and the rest.
class BenchGame final : private GameView {
    [[maybe_unused]] bool m_opened; // first: the folder's store is open before the window is built

public:
    explicit BenchGame(const DataPaths &folder)
        : m_opened((useFolder(folder), true)), window(windowServices(folder)),
          core(
              GlVexM.storeConn,
              [this](const QString &caption) {
                  const auto t0 = Steady::now();
                  const qint64 w = window.GamePict->measure(caption);
                  measureMs += msSince(t0);
                  return w;
              },
              seams().clock, seams().wallClock, seams().random, seams().dialogs, mainHistory())
    {
        core.setView(this);
        core.load();
        window.GamePict->setWords(&core.Label1);
        window.show();
        settle(200);
    }
    ~BenchGame() override { window.GamePict->setWords(nullptr); }

    // A start over from..to with the same draws every time; false when it
    // did not give one label per word or left a message.
    bool start(int from, int to)
    {
        GlVexM.wordFrom = qint16(from);
        GlVexM.wordTo = qint16(to);
        seams().random.seed(42);
        core.Label3_Click();
        return core.Label1.size() == size_t(to - from + 2) && core.screen.lbmessage.isEmpty();
    }
    QString startFailure() const
    {
        return QStringLiteral("the start gave %1 labels, message '%2'")
            .arg(core.Label1.size() - 1)
            .arg(core.screen.lbmessage);
    }

    GLVex window;
    GameCore core;
    double measureMs = 0, repaintMs = 0;

private:
    void repaintNow() override
    {
        const auto t0 = Steady::now();
        window.lbmessage->setText(core.screen.lbmessage);
        window.lbmessage->setVisible(core.screen.lbmessageVisible);
        window.repaint();
        repaintMs += msSince(t0);
    }
    void wordsChanged() override { window.GamePict->update(); }
};

// 999 labels: a pile three rows deep, nine words falling over it, the rest
// waiting. Every run of a tick or an Enter starts from this state.
struct Field {
    explicit Field(AnswerSettings answer = {}) { game.core.answer = answer; }
    BenchGame game{builtFolder()};
    std::vector<WordLabel> labels;
    std::vector<size_t> falling;
    std::vector<size_t> touched; // what a tick changes: the falling words and the next waiting one
    size_t topRowWord = 0;       // an uncovered landed word
    qint64 pileTop = 0;

    bool build(benchmark::State &state)
    {
        if (!game.start(1, 999)) {
            fail(state, QStringLiteral("999 words: ") + game.startFailure());
            return false;
        }
        GameCore &core = game.core;
        const qint64 h = GameCore::kFallStep;
        pileTop = core.fieldHeight() - 3 * h;
        size_t idx = 1;
        for (int k = 1; k <= 3; ++k) {
            const qint64 top = core.fieldHeight() - k * h;
            qint64 left = 0;
            while (idx < core.Label1.size()) {
                WordLabel &w = core.Label1[idx];
                if (left + w.Width > core.fieldWidth())
                    break;
                if (k == 3 && !topRowWord)
                    topRowWord = idx;
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
            falling.push_back(idx);
        }
        touched = falling;
        touched.push_back(idx); // the first waiting word, which the tick lets fall
        labels = core.Label1;
        return true;
    }
    void restore(GameCore &core) const
    {
        for (size_t i : touched)
            core.Label1[i] = labels[i];
    }
};

struct Cold {
    std::unique_ptr<GLVex> window;
    bool started = false;
};
Cold &cold()
{
    static Cold c;
    return c;
}
bool g_warmed = false;

} // namespace

void markWarmed() { g_warmed = true; }

void releaseWindows() { cold().window.reset(); }

// --- The first start after launch, and the ones after it ------------------------

void coldWindow(benchmark::State &state)
{
    if (g_warmed || cold().window) {
        fail(state, QStringLiteral("cold/window must come first in a fresh process"));
        return;
    }
    useFolder(builtFolder());
    for (auto _ : state) {
        cold().window = std::make_unique<GLVex>(windowServices(builtFolder()));
        cold().window->show();
        cold().window->repaint();
    }
}

void coldFirstStart(benchmark::State &state, bool prepared)
{
    if (g_warmed || cold().started) {
        fail(state, QStringLiteral("the first start must be the first in a fresh process: run it alone, e.g. "
                                   "--benchmark_filter='^cold/(window|first_start|next_start)/'"));
        return;
    }
    useFolder(builtFolder());
    GlVexM.wordFrom = 1;
    GlVexM.wordTo = 999;
    if (!cold().window) {
        cold().window = std::make_unique<GLVex>(windowServices(builtFolder()));
        cold().window->show();
    }
    GLVex &w = *cold().window;
    settle(1000); // the window shown and idle, as the player first sees it
    if (prepared) // as the program does once its store has opened
        w.core().prepareNextStart();
    settle(100);
    for (auto _ : state)
        w.Label3_Click();
    cold().started = true;
    if (w.core().Label1.size() != 1000)
        fail(state, QStringLiteral("the first start gave %1 labels").arg(w.core().Label1.size() - 1));
    settle(100); // the first fall tick's paint, as the player sees it
}

void coldNextStart(benchmark::State &state)
{
    if (!cold().started || !cold().window) {
        fail(state, QStringLiteral("cold/next_start needs cold/first_start before it in the same process"));
        return;
    }
    GLVex &w = *cold().window;
    for (auto _ : state) {
        w.Label3_Click();
        state.PauseTiming();
        if (w.core().Label1.size() != 1000) {
            fail(state, QStringLiteral("a next start gave %1 labels").arg(w.core().Label1.size() - 1));
            break;
        }
        settle(100);
        state.ResumeTiming();
    }
    stopTimers(w);
}

// --- Start-up and the main window -------------------------------------------------

void storeOpen(benchmark::State &state)
{
    const QString path = builtFolder().practiceStore();
    for (auto _ : state) {
        {
            Store store(path, QByteArray(kStorePassword), Store::Mode::ReadWrite);
            state.PauseTiming(); // closing it is not part of the figure
        }
        state.ResumeTiming();
    }
}

void startupPrepare(benchmark::State &state)
{
    useFolder(builtFolder());
    for (auto _ : state) {
        state.PauseTiming();
        GlVexM.storeConn = Store();
        state.ResumeTiming();
        try {
            if (prepareStartup(builtFolder(), seams().dialogs, StoreOpening::Now) != StartupOutcome::ShowMainWindow) {
                fail(state, QStringLiteral("start-up declined"));
                break;
            }
        } catch (const Error &e) {
            fail(state, QStringLiteral("start-up failed: ") + e.message());
            break;
        }
    }
    openProgramFolder(builtFolder()); // the journal and the language as before
}

void windowBuild(benchmark::State &state)
{
    useFolder(builtFolder());
    {
        GLVex first(windowServices(builtFolder())); // the first build loads fonts: cold/window has it
        first.show();
        first.repaint();
    }
    for (auto _ : state) {
        auto w = std::make_unique<GLVex>(windowServices(builtFolder()));
        w->show();
        w->repaint();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}

// --- The start command ----------------------------------------------------------------

void startRange(benchmark::State &state, const DataPaths &(*folder)(), int from, int to, AnswerMode mode)
{
    BenchGame game(folder());
    game.core.answer.mode = mode;
    if (!game.start(from, to)) { // the first start warms caches and fonts: not timed
        fail(state, game.startFailure());
        return;
    }
    double measure = 0, repaint = 0, rest = 0;
    for (auto _ : state) {
        game.measureMs = game.repaintMs = 0;
        const auto t0 = Steady::now();
        const bool ok = game.start(from, to);
        const double ms = msSince(t0);
        if (!ok) {
            fail(state, game.startFailure());
            break;
        }
        measure += game.measureMs;
        repaint += game.repaintMs;
        rest += ms - game.measureMs - game.repaintMs;
    }
    state.counters["measure_ms"] = perIteration(measure);
    state.counters["repaint_ms"] = perIteration(repaint);
    state.counters["rest_ms"] = perIteration(rest);
}

void startThroughWindow(benchmark::State &state)
{
    useFolder(builtFolder());
    GlVexM.wordFrom = 1;
    GlVexM.wordTo = 999;
    GLVex w(windowServices(builtFolder()));
    w.show();
    settle(200);
    w.Label3_Click(); // warm-up
    for (auto _ : state) {
        w.Label3_Click();
        if (w.core().Label1.size() != 1000) {
            fail(state, QStringLiteral("the window's start gave %1 labels").arg(w.core().Label1.size() - 1));
            break;
        }
    }
    stopTimers(w);
}

// --- A fall tick, an Enter, the field's repaint -----------------------------------------

void tick(benchmark::State &state, bool landing)
{
    Field f;
    if (!f.build(state))
        return;
    GameCore &core = f.game.core;
    const size_t lander = f.falling.back();
    core.Label1 = f.labels;
    if (!landing) {
        // The restore of ten labels stays inside the timing: a few hundred ns
        // against the tick's tens of µs, less than pausing the timer costs.
        for (auto _ : state) {
            core.pictScroll_Timer();
            if (std::any_of(f.falling.begin(), f.falling.end(), [&](size_t i) { return core.Label1[i].landed(); })) {
                fail(state, QStringLiteral("a word landed in the tick that should only move"));
                break;
            }
            f.restore(core);
        }
        return;
    }
    core.Label1[lander].Top = f.pileTop - GameCore::kFallStep - 1;
    for (auto _ : state) {
        core.pictScroll_Timer();
        state.PauseTiming(); // the restore writes to the store: outside the timing
        if (!core.Label1[lander].landed() || !core.gameActive()) {
            fail(state, QStringLiteral("the landing tick did not land its word"));
            break;
        }
        core.practice().releaseFromPile(core.Label1[lander].Caption);
        f.restore(core);
        core.Label1[lander].Top = f.pileTop - GameCore::kFallStep - 1;
        state.ResumeTiming();
    }
}

void enter(benchmark::State &state, bool hit, AnswerMode mode)
{
    Field f(AnswerSettings{mode, ToneRule::Optional, HintMode::Off, true});
    if (!f.build(state))
        return;
    GameCore &core = f.game.core;
    core.Label1 = f.labels;
    const WordLabel target = f.labels[f.topRowWord];
    if (!hit) {
        const qint64 hits = core.rightCount;
        const QString entry = mode == AnswerMode::Pinyin ? QStringLiteral("qqq") : QStringLiteral("无此词语");
        for (auto _ : state) {
            core.screen.TxT = entry; // the typing box's text: a shared string, assigned in ns
            core.TxT_KeyUp(GameCore::kKeyEnter, 0);
        }
        if (core.rightCount != hits)
            fail(state, QStringLiteral("an entry that matches nothing hit a word"));
        return;
    }
    // In pinyin the word's reading with its tone marks, as a learner types it.
    QStringList syllables;
    for (const PinyinSyllable &syllable : target.Pinyin.displaySyllables())
        syllables << syllable.text;
    const QString typed = mode == AnswerMode::Pinyin ? syllables.join(u' ') : target.Caption;
    if (typed.isEmpty()) {
        fail(state, QStringLiteral("the word %1 has no pinyin").arg(target.Caption));
        return;
    }
    core.screen.TxT = typed;
    for (auto _ : state) {
        core.TxT_KeyUp(GameCore::kKeyEnter, 0);
        state.PauseTiming(); // the restore writes to the store: outside the timing
        if (!core.Label1[f.topRowWord].Caption.isEmpty()) {
            fail(state, QStringLiteral("Enter did not hit the landed word %1").arg(target.Caption));
            break;
        }
        core.practice().recordLanding(target.Left, target.Top, target.Width, target.Caption);
        core.Label1[f.topRowWord] = target;
        core.screen.TxT = typed;
        state.ResumeTiming();
    }
}

void tickPainted(benchmark::State &state, HintMode hints)
{
    Field f(AnswerSettings{AnswerMode::Characters, ToneRule::Optional, hints, true});
    if (!f.build(state))
        return;
    GameCore &core = f.game.core;
    PlayField &field = *f.game.window.GamePict;
    field.setHints(hints, core.fieldHeight(), true);
    core.Label1 = f.labels;
    field.repaint(); // lays out every hint once, as the first paint of a game does
    for (auto _ : state) {
        core.pictScroll_Timer();
        field.repaint();
        f.restore(core);
    }
    field.setHints(HintMode::Off, core.fieldHeight(), true);
}

void startSet(benchmark::State &state, const QString &set, qint64 atLeast)
{
    BenchGame game(builtFolder());
    game.core.wordSet = *WordSet::parse(set);
    const auto words = [&game] { return qint64(game.core.Label1.size()) - 1; };
    game.core.Label3_Click(); // warms caches and fonts: not timed
    if (words() < atLeast) {
        fail(state, QStringLiteral("%1 gave %2 words").arg(set).arg(words()));
        return;
    }
    for (auto _ : state) {
        seams().random.seed(42);
        game.core.Label3_Click();
    }
    state.counters["words"] = double(words());
}

void fieldRepaint(benchmark::State &state)
{
    Field f;
    if (!f.build(state))
        return;
    f.game.core.Label1 = f.labels;
    for (auto _ : state)
        f.game.window.GamePict->repaint();
}

} // namespace trenix::bench
