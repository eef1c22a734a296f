// The game's rules, played through the same entry points as the main window,
// with a clock, random draws and answers that the test controls.
#include "GameCore.h"
#include "NumberFormat.h"
#include "TestSupport.h"

#include <QTest>
#include <set>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
constexpr qint64 kWordWidth = 900; // every test word is this wide

struct FallRow {
    QList<QList<qint64>> pile; // left, top, width of landed words
    qint64 startTop;
    int ticks; // until it lands
    qint64 restTop;
    bool ends;
};

struct Recorder : GameView {
    int focusCalls = 0;
    int wordRedraws = 0;
    GameCore *core = nullptr;
    QStringList log; // what the window was asked to do, in order
    QList<EntryVerdict> verdicts;
    QStringList shown;         // the message line and the word pointed out, for each verdict
    bool readFeedback = false; // every feedback is read at once
    void focusTyping() override { ++focusCalls; }
    void wordsChanged() override { ++wordRedraws; }
    void settleInput() override { log << QStringLiteral("settle"); }
    void screenChanged() override { log << (core->screen.lblPauseVisible ? QStringLiteral("paused") : QStringLiteral("screen")); }
    void entryJudged(const EntryVerdict &v) override
    {
        verdicts << v;
        if (!readFeedback)
            return;
        shown << core->screen.feedback + u'|' + core->Label1.at(v.coverIndex).Caption;
        core->feedbackExpired();
    }
};
} // namespace

Q_DECLARE_METATYPE(FallRow)

class tst_Game : public QObject, GameFixture {
    Q_OBJECT

    Recorder view;

    void setUpGame(const QMap<int, QList<DictionaryEntry>> &dicts, qint16 from, qint16 to, qint16 lang = 2)
    {
        view = Recorder();
        start(dicts, from, to, lang, &view);
        view.core = core.get();
    }

    // Puts a landed word straight into the pile, as a landing would.
    void landed(const QString &cz, qint64 left, qint64 top, qint64 width = kWordWidth)
    {
        Statement st = GlVexM.storeConn.prepare(QStringLiteral(
            "insert into trenix(xh, cz, flag, ishold, lleft, ltop, lwidth) values (0, ?1, 1, 1, ?2, ?3, ?4)"));
        st.bind(1, cz).bind(2, left).bind(3, top).bind(4, width).run();
    }

    size_t addLabel(const QString &caption, qint64 left, qint64 top, bool isLanded, qint64 width = kWordWidth)
    {
        core->Label1.push_back({caption, true, isLanded ? QStringLiteral("1") : QString(), left, top, width,
                                GameCore::kFallStep});
        return core->Label1.size() - 1;
    }

    void runningWithoutWords()
    {
        core->pictScroll.Enabled = core->CreatWord.Enabled = core->GaTime.Enabled = true;
    }

    qint64 count(const QString &sql)
    {
        Statement st = GlVexM.storeConn.prepare(sql);
        return st.next() ? st.integer(0) : -1;
    }

    void type(const QString &text)
    {
        core->screen.TxT = text;
        core->TxT_KeyUp(GameCore::kKeyEnter, 0);
    }

private slots:
    void cleanup() { stop(); }

    void numberPatternsGiveTheTableResults_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("speed 40") << "####.##" << 40.0 << "40.";
        QTest::newRow("speed rounds") << "####.##" << 12.3456 << "12.35";
        QTest::newRow("speed half up") << "####.##" << 0.125 << ".13";
        QTest::newRow("accuracy all") << "###.##%" << 1.0 << "100.%";
        QTest::newRow("accuracy 2/3") << "###.##%" << 2.0 / 3.0 << "66.67%";
        QTest::newRow("accuracy double") << "###.##%" << 2.0 << "200.%";
        QTest::newRow("final speed rounds half up") << "##0" << 37.5 << "38";
        QTest::newRow("clock reset") << "000" << 0.0 << "000";
        QTest::newRow("carry into new digit") << "##0" << 999.5 << "1000";
    }
    void numberPatternsGiveTheTableResults()
    {
        QFETCH(QString, pattern);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(formatNumber(value, pattern), expected);
    }

    void oneColumnHoldsNineWordsAndTheTenthEndsTheGame()
    {
        setUpGame({{2, numberedEntries(10)}}, 1, 10);
        core->Label3_Click();
        // Line every word up in one column, whatever the draw gave.
        for (size_t i = 1; i < core->Label1.size(); ++i)
            core->Label1[i].Left = 4000;
        QList<qint64> landings;
        std::set<size_t> seen;
        for (int tick = 0; tick < 200 && dialogs.questions.isEmpty(); ++tick) {
            core->pictScroll_Timer();
            for (size_t i = 1; i < core->Label1.size(); ++i) {
                if (core->Label1[i].landed() && !seen.count(i)) {
                    seen.insert(i);
                    landings << core->Label1[i].Top;
                }
            }
        }
        QCOMPARE(landings, (QList<qint64>{5190, 4545, 3900, 3255, 2610, 1965, 1320, 675, 30, -615}));
        QCOMPARE(dialogs.questions.size(), 1);
        QVERIFY(!core->running());
    }

    // A falling word from 1500 to 2640 (1140 wide) over a pile, driven by the
    // fall tick until it lands: where it rests, what the store records, and
    // whether its landing ends the game.
    void fall_wrongFloorStepOrRecord_data()
    {
        QTest::addColumn<FallRow>("r");
        const auto row = [](const char *name, const QList<QList<qint64>> &pile, qint64 top, int ticks, qint64 rest, bool ends = false) {
            QTest::newRow(name) << FallRow{pile, top, ticks, rest, ends};
        };
        row("no pile: the bottom", {}, 3870, 3, 5190);
        row("under the left edge only", {{600, 5190, 901}}, 3225, 3, 4545);
        row("under the right edge only", {{2640, 5190, 900}}, 3225, 3, 4545);
        row("touching the left edge counts", {{600, 5190, 900}}, 3225, 3, 4545);
        row("just short of the left edge", {{599, 5190, 900}}, 3870, 3, 5190);
        row("wholly between the edges: passed over", {{1600, 5190, 900}}, 3870, 3, 5190);
        row("the higher of two floors", {{1000, 5190, 900}, {2000, 4545, 900}}, 2580, 3, 3900);
        row("a step that ends on the floor still steps", {{1000, 3000, 900}}, 1710, 2, 2355);
        row("bottom below the floor moves up onto it", {{1000, 3000, 900}}, 2700, 1, 2355);
        row("lands at 30: goes on", {{1000, 675, 900}}, 0, 1, 30);
        row("lands at 0: game over", {{1000, 645, 900}}, 0, 1, 0, true);
        row("lands above the top: game over", {{1000, 300, 900}}, 0, 1, -345, true);
    }
    void fall_wrongFloorStepOrRecord()
    {
        QFETCH(FallRow, r);
        setUpGame({{2, numberedEntries(3)}}, 1, 3);
        core->Label3_Click();
        for (size_t k = 1; k < core->Label1.size(); ++k)
            core->Label1[k].Visible = false; // only the word under test falls
        int n = 0;
        for (const auto &p : r.pile)
            landed(QStringLiteral("p%1").arg(++n), p[0], p[1], p[2]);
        const QString word = std::exchange(core->Label1[1].Caption, QString());
        const size_t i = addLabel(word, 1500, r.startTop, false, 1140);
        for (int t = 1; t <= r.ticks; ++t) {
            core->pictScroll_Timer();
            QVERIFY2(core->Label1[i].landed() == (t == r.ticks), qPrintable(QStringLiteral("tick %1 at %2").arg(t).arg(core->Label1[i].Top)));
            QCOMPARE(core->Label1[i].Top, t == r.ticks ? r.restTop : r.startTop + t * GameCore::kFallStep);
        }
        Statement row = GlVexM.storeConn.prepare(QStringLiteral("select ishold, lleft, ltop, lwidth from trenix where cz=?1"));
        QVERIFY(row.bind(1, word).next());
        QCOMPARE((QList<qint64>{row.integer(0), row.integer(1), row.integer(2), row.integer(3)}), (QList<qint64>{1, 1500, r.restTop, 1140}));
        QCOMPARE(dialogs.questions.size(), r.ends ? 1 : 0);
        QCOMPARE(core->running(), !r.ends);
    }

    void tickEndsOnceItsGameIsOver_data()
    {
        QTest::addColumn<bool>("playAgain");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }
    void tickEndsOnceItsGameIsOver()
    {
        QFETCH(bool, playAgain);
        setUpGame({{2, numberedEntries(5)}}, 1, 5);
        core->Label3_Click();
        dialogs.answers = {playAgain, false};
        // Two words at the top over a full column: the first ends the game.
        landed(QStringLiteral("floor"), 1000, 645);
        for (size_t i = 1; i < core->Label1.size(); ++i)
            core->Label1[i].Visible = false;
        addLabel(QStringLiteral("x"), 1000, 0, false);
        addLabel(QStringLiteral("y"), 1000, 0, false);
        core->pictScroll_Timer();
        QCOMPARE(dialogs.questions.size(), 1); // no second question in the same tick
        int visible = 0;
        for (size_t i = 1; i < core->Label1.size(); ++i)
            visible += core->Label1[i].Visible ? 1 : 0;
        if (playAgain) {
            QCOMPARE(visible, 1); // the new game shows exactly its first word
            QVERIFY(core->running());
        } else {
            QCOMPARE(visible, 2); // "x" that ended the game and "y", which neither moved nor landed; none released
            QCOMPARE(core->Label1.back().Top, qint64(0));
            QVERIFY(!core->Label1.back().landed());
        }
    }

    void buriedLandedWordStaysUncoveredOneGoes_data()
    {
        QTest::addColumn<qint64>("otherLeft");
        QTest::addColumn<qint64>("otherTop");
        QTest::addColumn<qint64>("otherWidth");
        QTest::addColumn<bool>("removed");
        QTest::newRow("left edge covered from above") << qint64(500) << qint64(4545) << qint64(900) << false;
        QTest::newRow("right edge covered from above") << qint64(1800) << qint64(4545) << qint64(900) << false;
        QTest::newRow("narrower word on top inside the span") << qint64(1100) << qint64(4545) << qint64(500) << true;
        QTest::newRow("neighbour at the same height") << qint64(1900) << qint64(5190) << qint64(900) << true;
    }
    void buriedLandedWordStaysUncoveredOneGoes()
    {
        QFETCH(qint64, otherLeft);
        QFETCH(qint64, otherTop);
        QFETCH(qint64, otherWidth);
        QFETCH(bool, removed);
        setUpGame({{2, numberedEntries(3)}}, 1, 3);
        runningWithoutWords();
        landed(QStringLiteral("low"), 1000, 5190);
        landed(QStringLiteral("other"), otherLeft, otherTop, otherWidth);
        const size_t low = addLabel(QStringLiteral("low"), 1000, 5190, true);
        type(QStringLiteral("low"));
        QCOMPARE(core->Label1[low].Visible, !removed);
        QCOMPARE(core->rightCount, qint64(removed ? 1 : 0));
        QCOMPARE(core->inputCount, qint64(1));
        QCOMPARE(count(QStringLiteral("select count(*) from trenix where cz='low' and ishold=1")),
                 qint64(removed ? 0 : 1));
    }

    void oneEntryHitsEveryVisibleWordWithItsText()
    {
        setUpGame({{2, numberedEntries(3)}}, 1, 3);
        runningWithoutWords();
        const size_t a = addLabel(QStringLiteral("同"), 1000, 645, false);
        const size_t b = addLabel(QStringLiteral("同"), 5000, 1290, false);
        WordLabel waiting;
        waiting.Caption = QStringLiteral("同");
        core->Label1.push_back(waiting); // not yet released: never hit
        type(QStringLiteral("同"));
        QVERIFY(!core->Label1[a].Visible && !core->Label1[b].Visible);
        QCOMPARE(core->Label1.back().Caption, QStringLiteral("同"));
        QCOMPARE(core->rightCount, qint64(2));
        QCOMPARE(core->inputCount, qint64(1));
        QVERIFY(core->screen.TxT.isEmpty());
    }

    void enterCountsOnlyWhileRunningWithText_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("inputs");
        QTest::newRow("empty box") << "running" << "" << 0;
        QTest::newRow("miss") << "running" << "nothing" << 1;
        QTest::newRow("blank around the word") << "running" << " a" << 1;
        QTest::newRow("paused") << "paused" << "a" << 0;
        QTest::newRow("before the first game") << "stopped" << "a" << 0;
    }
    void enterCountsOnlyWhileRunningWithText()
    {
        QFETCH(QString, state);
        QFETCH(QString, text);
        QFETCH(int, inputs);
        setUpGame({{2, numberedEntries(3)}}, 1, 3);
        if (state != QLatin1String("stopped"))
            runningWithoutWords();
        core->Label3_Click();
        const size_t a = addLabel(QStringLiteral("a"), 1000, 645, false);
        if (state == QLatin1String("stopped"))
            core->pictScroll.Enabled = core->CreatWord.Enabled = core->GaTime.Enabled = false;
        if (state == QLatin1String("paused"))
            core->Label7_Click();
        core->inputCount = 0;
        type(text);
        QCOMPARE(core->inputCount, qint64(inputs));
        QVERIFY(core->Label1[a].Visible);
        QCOMPARE(core->screen.TxT, inputs ? QString() : text); // a refused entry stays in the box
    }

    void spaceResumesOnlyAPausedGame()
    {
        setUpGame({{2, numberedEntries(3)}}, 1, 3);
        core->Label3_Click();
        core->screen.TxT = QStringLiteral("a ");
        core->TxT_KeyUp(GameCore::kKeySpace, 0);
        QCOMPARE(core->screen.TxT, QStringLiteral("a ")); // an ordinary character while running
        core->Label7_Click();
        QVERIFY(GlVexM.isPaused && !core->running() && core->screen.lblPauseVisible);
        QVERIFY(!core->screen.lbmessage.isEmpty());
        core->screen.TxT = QStringLiteral("xyz ");
        clock.advance(5000);
        QVERIFY(!core->screen.speedStatusVisible && !core->screen.correctStatusVisible);
        core->TxT_KeyUp(GameCore::kKeySpace, 0);
        QVERIFY(!GlVexM.isPaused && core->running() && !core->screen.lblPauseVisible);
        QVERIFY(core->screen.speedStatusVisible && core->screen.correctStatusVisible);
        QVERIFY(core->screen.TxT.isEmpty() && !core->screen.lbmessageVisible);
        QCOMPARE(core->startTick, clock.now);
    }

    void pausedAndHeldTimeAddUp()
    {
        setUpGame({{2, numberedEntries(3)}}, 1, 3);
        core->Label3_Click();
        clock.advance(10700);
        core->Label7_Click();
        QCOMPARE(core->playedSeconds, qint64(10));
        clock.advance(60000); // paused: not counted
        core->TxT_KeyUp(GameCore::kKeySpace, 0);
        clock.advance(5600);
        QVERIFY(core->holdIfRunning()); // the settings dialog holds the game: still counted
        clock.advance(20000);
        core->restartTimers();
        core->GaTime_Timer();
        QCOMPARE(core->screen.timeDisplay, QStringLiteral("35"));
        dialogs.answers = {false};
        core->Label8_Click();
        QCOMPARE(core->playedSeconds, qint64(35));
        QVERIFY(dialogs.questions.first().contains(QStringLiteral(":35")));
    }

    // The end command in each state: the seconds it reports, the window it
    // leaves, and that the composition is settled before the result question.
    void end_wrongTimeStateOrWindow_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::newRow("running") << false;
        QTest::newRow("paused") << true;
    }
    void end_wrongTimeStateOrWindow()
    {
        QFETCH(bool, paused);
        setUpGame({{2, numberedEntries(3)}}, 1, 3);
        core->Label8_Click(); // before the first game: nothing to end
        QVERIFY(dialogs.questions.isEmpty());
        core->Label3_Click();
        clock.advance(12400);
        if (paused)
            core->Label7_Click();
        clock.advance(paused ? 100000 : 0); // a pause is not counted again
        view.log.clear();
        dialogs.onAsk = [this] { view.log << QStringLiteral("ask"); };
        core->screen.TxT = QStringLiteral("半");
        core->Label8_Click();
        QCOMPARE(core->playedSeconds, qint64(12));
        const qsizetype ask = view.log.indexOf(QStringLiteral("ask"));
        QVERIFY2(ask > 0 && view.log.indexOf(QStringLiteral("settle")) < ask, qPrintable(view.log.join(u' ')));
        QVERIFY2(!paused || view.log.mid(0, ask).contains(QStringLiteral("screen")), qPrintable(view.log.join(u' ')));
        QCOMPARE(view.log.last(), QStringLiteral("screen"));
        QVERIFY(core->screen.TxT.isEmpty() && !GlVexM.isPaused && !core->screen.lblPauseVisible && !core->screen.lbmessageVisible);
        QVERIFY(core->screen.speedStatusVisible && core->screen.correctStatusVisible);
        core->TxT_KeyUp(GameCore::kKeySpace, 0);
        QVERIFY(!core->running()); // Space does not revive the ended game
        core->Label8_Click(); // after the game: nothing to end
        QCOMPARE(dialogs.questions.size(), 1);
    }

    // The figures every second and the result at the end, with misses among the entries.
    void figures_wrongLiveOrFinal_data()
    {
        QTest::addColumn<int>("hits");
        QTest::addColumn<int>("misses");
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QStringList>("live");  // time, speed, accuracy, score
        QTest::addColumn<QStringList>("final"); // seconds, speed, accuracy
        QTest::newRow("3 of 4 in 50.9 s") << 3 << 1 << qint64(50900) << QStringList{"50", "3.6", "75.%", "3"} << QStringList{"50", "4", "75.%"};
        QTest::newRow("37 of 40 in 95 s") << 37 << 3 << qint64(95000) << QStringList{"95", "23.37", "92.5%", "37"} << QStringList{"95", "23", "92.5%"};
        QTest::newRow("misses only") << 0 << 2 << qint64(3000) << QStringList{"3", ".", ".%", "0"} << QStringList{"3", "0", ".%"};
        QTest::newRow("nothing typed within a second") << 0 << 0 << qint64(999) << QStringList{"0", "0", "0", "0"} << QStringList{"0", "0", ""};
    }
    void figures_wrongLiveOrFinal()
    {
        QFETCH(int, hits);
        QFETCH(int, misses);
        QFETCH(qint64, ms);
        QFETCH(QStringList, live);
        QFETCH(QStringList, final);
        setUpGame({{2, numberedEntries(3)}}, 1, 3);
        core->Label3_Click();
        QCOMPARE(core->screen.timeDisplay, QStringLiteral("000"));
        for (int h = 0; h < hits; ++h)
            type(core->Label1[addLabel(QStringLiteral("h%1").arg(h), 1000, 645, false)].Caption);
        for (int m = 0; m < misses; ++m)
            type(QStringLiteral("miss"));
        clock.advance(ms);
        core->GaTime_Timer();
        const GameScreen &sc = core->screen;
        QCOMPARE((QStringList{sc.timeDisplay, sc.lbsd, sc.lbzql, sc.lbfs}), live);
        core->Label8_Click();
        const auto t = [](const char *id) { return lookupText(QLatin1String(id)); };
        const QString cr(QChar(13));
        QCOMPARE(dialogs.questions, QStringList{t("NDCJ") + u'|' + t("ZSJ") + u':' + final[0] + t("M") + cr + t("SD") + u':' + final[1]
                                               + t("CFZ") + cr + t("ZQL") + u':' + final[2] + cr + t("LXYXYJJSSFCXKS")});
    }

    void drawGivesEveryRowOfTheRangeExactlyOnce_data()
    {
        QTest::addColumn<int>("dictionary");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("default range") << 999 << 1 << 999;
        QTest::newRow("small range in a large dictionary") << 5000 << 1 << 999;
        QTest::newRow("range high in the dictionary") << 999 << 900 << 999;
        QTest::newRow("one entry") << 50 << 7 << 7;
    }
    void drawGivesEveryRowOfTheRangeExactlyOnce()
    {
        QFETCH(int, dictionary);
        QFETCH(int, from);
        QFETCH(int, to);
        setUpGame({{2, numberedEntries(dictionary)}}, qint16(from), qint16(to));
        QStringList ahead; // measured in idle time before the start: its very words, and nothing written
        GameCore(GlVexM.storeConn, [&](const QString &w) { ahead << w; return kWordWidth; }).prepareNextStart();
        QCOMPARE(count(QStringLiteral("select count(*) from trenix")), qint64(0));
        core->Label3_Click();
        QStringList words;
        for (size_t i = 1; i < core->Label1.size(); ++i)
            words << core->Label1[i].Caption;
        const int expected = std::min(to, dictionary) - from + 1;
        QCOMPARE(int(words.size()), expected);
        QCOMPARE(QSet<QString>(words.begin(), words.end()), QSet<QString>(ahead.begin(), ahead.end()));
        QCOMPARE(int(QSet<QString>(words.begin(), words.end()).size()), expected);
        QVERIFY(!words.contains(QString()));
        QCOMPARE(count(QStringLiteral("select count(*) from trenix where flag=0")), qint64(0));
        QVERIFY(core->Label1[1].Visible); // the first word shows at once
        for (size_t i = 1; i < core->Label1.size(); ++i)
            QVERIFY(core->Label1[i].Left >= 500);
    }

    // Nothing to draw: no game starts, and the message line says why.
    void startWithoutWordsStaysStoppedAndSaysWhy_data()
    {
        QTest::addColumn<qint16>("language");
        QTest::addColumn<QString>("notice");
        QTest::newRow("range without entries") << qint16(2) << "50";
        QTest::newRow("language without a dictionary") << qint16(7) << "zidian7";
    }
    void startWithoutWordsStaysStoppedAndSaysWhy()
    {
        QFETCH(qint16, language);
        QFETCH(QString, notice);
        setUpGame({{2, numberedEntries(10)}}, 1, 10);
        core->Label3_Click();
        const qint64 before = count(QStringLiteral("select count(*) from trenix"));
        GlVexM.languageCode = language;
        if (language == 2)
            GlVexM.wordFrom = GlVexM.wordTo = 50;
        view.wordRedraws = 0;
        core->Label3_Click();
        QCOMPARE(core->Label1.size(), size_t(1));
        QVERIFY2(view.wordRedraws > 0, "the old game's words stay drawn");
        QCOMPARE(count(QStringLiteral("select count(*) from trenix")), before); // the list is left alone
        QVERIFY(!core->running() && !core->gameActive());
        QVERIFY(core->screen.lbmessageVisible);
        QVERIFY2(core->screen.lbmessage.contains(notice), qPrintable(core->screen.lbmessage));
        core->Label8_Click(); // no game to end
        QVERIFY(dialogs.questions.isEmpty());
    }

    void startResetsARunningOrPausedGame_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::newRow("running") << false;
        QTest::newRow("paused") << true;
    }
    void startResetsARunningOrPausedGame()
    {
        QFETCH(bool, paused);
        setUpGame({{2, numberedEntries(30)}}, 1, 30);
        core->Label3_Click();
        for (int i = 0; i < 12; ++i)
            core->pictScroll_Timer();
        type(core->Label1[1].Caption);
        if (paused)
            core->Label7_Click();
        clock.advance(7000);
        core->Label3_Click();
        QCOMPARE(core->Label1.size(), size_t(31));
        QCOMPARE(core->rightCount + core->inputCount + core->playedSeconds, qint64(0));
        QCOMPARE(core->startTick, clock.now);
        QVERIFY(!GlVexM.isPaused && !core->screen.lblPauseVisible && core->screen.speedStatusVisible);
        QCOMPARE(count(QStringLiteral("select count(*) from trenix where ishold=1")), qint64(0));
        QCOMPARE(view.focusCalls, 2); // each start gives the typing box the focus
        core->TxT_KeyUp(GameCore::kKeySpace, 0);
        QCOMPARE(core->startTick, clock.now);
    }

    // The same game with its feedback read by a view and with no view at all:
    // every figure, the result and every row of the practice list come out alike.
    void feedbackChangesFiguresOrStore()
    {
        QList<QStringList> runs;
        QSet<int> kinds;
        for (bool withView : {true, false}) {
            view = Recorder();
            start({{2, numberedEntries(40)}}, 1, 40, 2, withView ? &view : nullptr);
            view.core = core.get();
            view.readFeedback = true;
            core->setFieldSize(6000, 5835); // a narrow field piles up words that cover each other
            dialogs.answers = {false};
            core->Label3_Click();
            for (int tick = 0; tick < 80 && core->running(); ++tick) {
                clock.advance(8000);
                core->pictScroll_Timer();
                core->GaTime_Timer();
                type(QStringLiteral("typo"));
                const WordLabel *pick = nullptr; // the top of the pile every third tick, else its bottom
                for (size_t i = 1; i < core->Label1.size(); ++i) {
                    const WordLabel &w = core->Label1[i];
                    if (w.Visible && w.landed() && (!pick || (tick % 3 == 0 ? w.Top < pick->Top : w.Top > pick->Top)))
                        pick = &w;
                }
                if (pick)
                    type(pick->Caption);
            }
            core->Label8_Click();
            QStringList run{QString::number(core->inputCount), QString::number(core->rightCount), core->screen.lbsd,
                            core->screen.timeDisplay, core->screen.lbzql, core->screen.lbfs, dialogs.questions.join(u'#')};
            Statement rows = GlVexM.storeConn.prepare(QStringLiteral("select * from trenix order by xh"));
            while (rows.next())
                for (int c = 0; c < 12; ++c)
                    run << rows.text(c);
            runs << run;
            for (qsizetype i = 0; i < view.verdicts.size(); ++i) {
                const EntryVerdict &v = view.verdicts[i];
                kinds << int(v.kind);
                const QString expected = v.kind == EntryVerdict::Kind::Hit ? u"|"_s
                    : v.kind == EntryVerdict::Kind::Buried ? u"《%1》被《%2》压住了，请先打掉它|%2"_s.arg(v.entry, v.cover)
                                                           : u"《%1》不在游戏区中|"_s.arg(v.entry);
                QCOMPARE(view.shown[i], expected);
            }
            stop();
        }
        QCOMPARE(kinds.size(), 3); // fixture: hits, typos and buried words all came
        QCOMPARE(runs[0], runs[1]);
    }

    void lastWordTypedAwayEndsTheGame()
    {
        setUpGame({{2, numberedEntries(2)}}, 1, 2);
        core->Label3_Click();
        for (int i = 0; i < 12; ++i)
            core->pictScroll_Timer(); // both words land
        clock.advance(9500);
        type(QStringLiteral("typo"));
        core->Label7_Click(); // the pause notice wins over the feedback
        QVERIFY(core->screen.feedback.isEmpty() && core->screen.lbmessageVisible);
        core->TxT_KeyUp(GameCore::kKeySpace, 0);
        type(core->Label1[1].Caption);
        QVERIFY2(dialogs.questions.isEmpty() && core->running(), "the game ended with a word still on the field");
        type(core->Label1[2].Caption);
        QCOMPARE(dialogs.questions.size(), 1);
        QVERIFY(dialogs.questions.first().contains(QStringLiteral(":9")) && !core->gameActive());
    }
};

QTEST_GUILESS_MAIN(tst_Game)
#include "tst_game.moc"
