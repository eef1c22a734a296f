// SPDX-License-Identifier: GPL-3.0-or-later
// The game's rules through the main window's entry points, with a clock, draws and answers the test controls.
#include "NumberFormat.h"
#include "TestSupport.h"

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

struct EntryRow {
    bool paused;
    QString typed;
    int inputs;
    int hits;
    QList<qint64> other; // left, top, width of a landed word near "low"
};

struct PinyinRow {
    bool bare; // no word of the dictionary has pinyin
    ToneRule tones;
    QStringList typed;
    int inputs, hits;
    QString message;    // the message line after the last entry
    QStringList fallen; // the words still on the field, in draw order
};

struct StartRow {
    int dictionary;
    qint16 from, to;
    bool paused; // else the game it replaces is running
    QString notice;
    qint16 language;
};

struct Recorder : GameView {
    GameCore *core = nullptr;
    QStringList log; // what the window was asked to do, in order
    QList<EntryVerdict> verdicts;
    QStringList shown;         // the message line and the word pointed out, for each verdict
    QList<GameSound> sounds;
    bool readFeedback = false; // every feedback is read at once
    QString line;              // what the message line shows since the last redraw
    void focusTyping() override { log << u"focus"_s; }
    void wordsChanged() override { log << u"words"_s; }
    void settleInput() override { log << u"settle"_s; }
    void screenChanged() override
    {
        log << (core->screen.lblPauseVisible ? u"paused"_s : u"screen"_s);
        const GameScreen &s = core->screen;
        line = !s.feedback.isEmpty() ? s.feedback : s.lbmessageVisible ? s.lbmessage : QString();
    }
    void sound(GameSound s) override { sounds << s; }
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
Q_DECLARE_METATYPE(EntryRow)
Q_DECLARE_METATYPE(StartRow)
Q_DECLARE_METATYPE(PinyinRow)

class tst_Game : public QObject, GameFixture {
    Q_OBJECT

    Recorder view;

    void setUpGame(int words, qint16 from, qint16 to)
    {
        view = Recorder();
        start({{2, numberedEntries(words)}}, from, to, 2, &view);
        view.core = core.get();
    }

    // Puts a landed word straight into the pile, as a landing would.
    void landed(const QString &cz, qint64 left, qint64 top, qint64 width = kWordWidth)
    {
        GlVexM.storeConn
            .prepare(
                u"insert into trenix(xh, cz, flag, ishold, lleft, ltop, lwidth) values (0, ?1, 1, 1, ?2, ?3, ?4)"_s)
            .bind(1, cz)
            .bind(2, left)
            .bind(3, top)
            .bind(4, width)
            .run();
    }

    size_t addLabel(const QString &caption, qint64 left, qint64 top, bool isLanded, qint64 width = kWordWidth)
    {
        core->Label1.push_back({caption, true, isLanded ? u"1"_s : QString(), left, top, width, GameCore::kFallStep});
        return core->Label1.size() - 1;
    }

    // The drawn words wait, unseen: only the test's own labels play, and no hit empties the field.
    void hideDrawn()
    {
        for (size_t k = 1; k < core->Label1.size(); ++k)
            core->Label1[k].Visible = false;
    }

    qint64 count(const QString &sql) { return firstColumn(GlVexM.storeConn, sql).value(0, u"-1"_s).toLongLong(); }

    // Paused, running; the pause bar, the message line, the speed and the accuracy shown.
    QList<bool> state() const
    {
        const GameScreen &s = core->screen;
        return {GlVexM.isPaused,    core->running(),      s.lblPauseVisible,
                s.lbmessageVisible, s.speedStatusVisible, s.correctStatusVisible};
    }

private slots:
    void cleanup() { stop(); }

    // A word from 1500 to 2640 falls by the tick onto a pile: where it rests, its pile row, whether the game ends.
    void fall_wrongFloorStepOrRecord_data()
    {
        QTest::addColumn<FallRow>("r");
        const auto row = [](const char *name, const QList<QList<qint64>> &pile, qint64 top, int ticks, qint64 rest,
                            bool ends = false) {
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
        row("lands at 30: goes on", {{1000, 675, 900}}, 0, 1, 30);
        row("lands at 0: game over", {{1000, 645, 900}}, 0, 1, 0, true);
        row("lands above the top: game over", {{1000, 300, 900}}, 0, 1, -345, true);
    }
    void fall_wrongFloorStepOrRecord()
    {
        QFETCH(FallRow, r);
        setUpGame(3, 1, 3);
        core->Label3_Click();
        hideDrawn();
        for (const auto &p : r.pile)
            landed(u"pile"_s, p[0], p[1], p[2]);
        const QString word = std::exchange(core->Label1[1].Caption, QString());
        const size_t i = addLabel(word, 1500, r.startTop, false, 1140);
        for (int t = 1; t <= r.ticks; ++t) {
            core->pictScroll_Timer();
            QVERIFY2(core->Label1[i].landed() == (t == r.ticks),
                     qPrintable(u"tick %1 at %2"_s.arg(t).arg(core->Label1[i].Top)));
            QCOMPARE(core->Label1[i].Top, t == r.ticks ? r.restTop : r.startTop + t * GameCore::kFallStep);
        }
        Statement row = GlVexM.storeConn.prepare(u"select ishold, lleft, ltop, lwidth from trenix where cz=?1"_s);
        QVERIFY(row.bind(1, word).next());
        QCOMPARE((QList<qint64>{row.integer(0), row.integer(1), row.integer(2), row.integer(3)}),
                 (QList<qint64>{1, 1500, r.restTop, 1140}));
        QCOMPARE(dialogs.questions.size(), r.ends ? 1 : 0);
        QCOMPARE(core->running(), !r.ends);
        QCOMPARE(view.sounds, QList<GameSound>{r.ends ? GameSound::GameOver : GameSound::Landing});
    }

    // Two words land at the top in one tick: one question; the tick goes on into a game started by Yes, whose
    // first two words show at the top.
    void tickEndsOnceItsGameIsOver_data()
    {
        QTest::addColumn<bool>("playAgain");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }
    void tickEndsOnceItsGameIsOver()
    {
        QFETCH(bool, playAgain);
        setUpGame(5, 1, 5);
        core->Label3_Click();
        dialogs.answers = {playAgain, false};
        landed(u"floor"_s, 1000, 645);
        hideDrawn();
        addLabel(u"x"_s, 1000, 0, false);
        addLabel(u"y"_s, 1000, 0, false);
        core->pictScroll_Timer();
        QCOMPARE(dialogs.questions.size(), 1);
        QCOMPARE(captions(true).size(), 2); // "x" and "y", or the new game's first two words
        const WordLabel &last = playAgain ? core->Label1[2] : core->Label1.back(); // shown at the top, unmoved
        QCOMPARE((QList<qint64>{last.Visible, last.Top, last.landed()}), (QList<qint64>{true, 0, false}));
    }

    // Enter over a landed word, covered or not, two falling words and a waiting one of one text; or while paused.
    void entry_wrongHitOrCount_data()
    {
        QTest::addColumn<EntryRow>("r");
        const auto row = [](const char *name, const QString &typed, int inputs, int hits,
                            const QList<qint64> &other = {}, bool paused = false) {
            QTest::newRow(name) << EntryRow{paused, typed, inputs, hits, other};
        };
        row("empty box", QString(), 0, 0);
        row("miss", u"nothing"_s, 1, 0);
        row("blank around the word", u" low"_s, 1, 0);
        row("paused", u"low"_s, 0, 0, {}, true);
        row("landed, nothing above", u"low"_s, 1, 1);
        row("left edge covered from above", u"low"_s, 1, 0, {500, 4545, 900});
        row("right edge covered from above", u"low"_s, 1, 0, {1800, 4545, 900});
        row("narrower word on top inside the span", u"low"_s, 1, 1, {1100, 4545, 500});
        row("neighbour at the same height", u"low"_s, 1, 1, {1900, 5190, 900});
        row("one entry hits every released word with its text", u"同"_s, 1, 2);
    }
    void entry_wrongHitOrCount()
    {
        QFETCH(EntryRow, r);
        setUpGame(3, 1, 3);
        core->Label3_Click();
        hideDrawn();
        landed(u"low"_s, 1000, 5190);
        if (!r.other.isEmpty())
            landed(u"other"_s, r.other[0], r.other[1], r.other[2]);
        const size_t low = addLabel(u"low"_s, 1000, 5190, true);
        addLabel(u"同"_s, 1000, 645, false);
        addLabel(u"同"_s, 5000, 1290, false);
        core->Label1[addLabel(u"同"_s, 0, 0, false)].Visible = false; // not yet released
        if (r.paused)
            core->Label7_Click();
        type(r.typed);
        QCOMPARE(core->inputCount, qint64(r.inputs));
        QCOMPARE(core->rightCount, qint64(r.hits));
        QCOMPARE(view.sounds, !r.inputs ? QList<GameSound>()
                              : r.hits  ? QList<GameSound>{GameSound::Hit}
                                        : QList<GameSound>{GameSound::Miss});
        QStringList seen, expected{u"low"_s, u"同"_s, u"同"_s, u"-同"_s}; // "-": hidden
        for (size_t k = low; k < core->Label1.size(); ++k)
            seen << (core->Label1[k].Visible ? QString() : u"-"_s) + core->Label1[k].Caption;
        for (QString &e : expected)
            e = r.hits && e == r.typed ? u"-"_s : e;
        QCOMPARE(seen, expected);
        QCOMPARE(count(u"select count(*) from trenix where cz='low' and ishold=1"_s),
                 qint64(expected[0] == u"-"_s ? 0 : 1));
        QCOMPARE(core->screen.TxT, r.inputs ? QString() : r.typed); // a refused entry stays in the box
    }

    // Paused time is not counted, held time is; however the game ends, the composition is settled before the question.
    void pauseAndEnd_wrongTimeStateOrWindow_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("end command while running") << "running";
        QTest::newRow("end command while paused") << "paused";
        QTest::newRow("last word typed away") << "typed";
    }
    void pauseAndEnd_wrongTimeStateOrWindow()
    {
        QFETCH(QString, end);
        const bool paused = end == "paused"_L1;
        setUpGame(3, 1, 3);
        core->Label3_Click();
        core->screen.TxT = u"a "_s;
        core->TxT_KeyUp(GameCore::kKeySpace, 0);
        QCOMPARE(core->screen.TxT, u"a "_s); // an ordinary character while running
        clock.advance(10700);
        type(u"typo"_s);
        core->Label7_Click();
        QCOMPARE(core->screen.feedback, QString()); // the pause notice wins over the feedback
        QCOMPARE(core->screen.lbmessage, text(tid::YXZTZAKGJJX));
        QCOMPARE(state(), (QList<bool>{true, false, true, true, false, false}));
        clock.advance(60000);
        core->screen.TxT = u"xyz "_s;
        core->TxT_KeyUp(GameCore::kKeySpace, 0);
        QCOMPARE(state(), (QList<bool>{false, true, false, false, true, true}));
        QCOMPARE(core->screen.TxT, QString());
        QCOMPARE(core->startTick, clock.now);
        clock.advance(5600);
        QVERIFY(core->holdIfRunning());
        clock.advance(20000);
        core->restartTimers();
        if (paused)
            core->Label7_Click();
        clock.advance(paused ? 100000 : 0); // a pause is not counted again
        if (!paused)
            type(u"typo"_s); // its feedback must not stand behind the result
        view.log.clear();
        QString shownAtAsk = u"(not asked)"_s;
        dialogs.onAsk = [&] {
            view.log << u"ask"_s;
            shownAtAsk = view.line;
        };
        core->screen.TxT = u"半"_s;
        if (end == "typed"_L1) {
            for (int t = 0; t < 3; ++t)
                core->pictScroll_Timer(); // every word released
            for (size_t k = 1; k < core->Label1.size(); ++k) {
                QVERIFY2(dialogs.questions.isEmpty(), "the game ended with a word still on the field");
                type(core->Label1[k].Caption);
            }
        } else {
            core->Label8_Click();
        }
        QVERIFY2(dialogs.questions.value(0).contains(u":35"_s), qPrintable(dialogs.questions.value(0)));
        QCOMPARE(shownAtAsk, QString());
        const qsizetype ask = view.log.indexOf(u"ask"_s);
        QVERIFY2(view.log.mid(0, std::max<qsizetype>(ask, 0)).contains(u"settle"_s), qPrintable(view.log.join(u' ')));
        QVERIFY2(!paused || view.log.mid(0, ask).contains(u"screen"_s), qPrintable(view.log.join(u' ')));
        QCOMPARE(view.log.last(), u"screen"_s);
        QCOMPARE(core->screen.TxT, QString());
        QCOMPARE(state(), (QList<bool>{false, false, false, false, true, true}));
        core->TxT_KeyUp(GameCore::kKeySpace, 0);
        QVERIFY(!core->running()); // Space does not revive the ended game
        core->Label8_Click();      // after the game: nothing to end
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
        QTest::newRow("1 of 3 in 480 s: decimal half up")
            << 1 << 2 << qint64(480000) << QStringList{"480", ".13", "33.33%", "1"}
            << QStringList{"480", "0", "33.33%"};
        QTest::newRow("5 of 6 in 8 s: final half up")
            << 5 << 1 << qint64(8000) << QStringList{"8", "37.5", "83.33%", "5"} << QStringList{"8", "38", "83.33%"};
        QTest::newRow("5 of 5 in 31.9 s: carry past the nines")
            << 5 << 0 << qint64(31900) << QStringList{"31", "9.68", "100.%", "5"} << QStringList{"31", "10", "100.%"};
        QTest::newRow("37 of 40 in 95 s") << 37 << 3 << qint64(95000) << QStringList{"95", "23.37", "92.5%", "37"}
                                          << QStringList{"95", "23", "92.5%"};
        QTest::newRow("misses only") << 0 << 2 << qint64(3000) << QStringList{"3", ".", ".%", "0"}
                                     << QStringList{"3", "0", ".%"};
        QTest::newRow("546 of 546 in 33306 s, past 16 bits")
            << 546 << 0 << qint64(33306000) << QStringList{"33306", ".98", "100.%", "546"}
            << QStringList{"33306", "1", "100.%"};
        QTest::newRow("nothing typed within a second")
            << 0 << 0 << qint64(999) << QStringList{"0", "0", "0", "0"} << QStringList{"0", "0", ""};
    }
    void figures_wrongLiveOrFinal()
    {
        QFETCH(int, hits);
        QFETCH(int, misses);
        QFETCH(QStringList, final);
        setUpGame(3, 1, 3);
        clock.now = (qint64(1) << 32) - 600'000; // the milliseconds cross 32 bits in a long game
        core->Label3_Click();
        QCOMPARE(core->screen.timeDisplay, u"000"_s);
        for (int h = 0; h < hits; ++h)
            type(core->Label1[addLabel(u"h%1"_s.arg(h), 1000, 645, false)].Caption);
        for (int m = 0; m < misses; ++m)
            type(u"miss"_s);
        QFETCH(qint64, ms);
        clock.advance(ms);
        core->GaTime_Timer();
        QTEST((QStringList{core->screen.timeDisplay, core->screen.lbsd, core->screen.lbzql, core->screen.lbfs}),
              "live");
        core->Label8_Click();
        const auto t = [](TextId id) { return text(id); };
        const QString cr(QChar(13));
        QCOMPARE(dialogs.questions, QStringList{t(tid::NDCJ) + u'|' + t(tid::ZSJ) + u':' + final[0] + t(tid::M) + cr
                                                + t(tid::SD) + u':' + final[1] + t(tid::CFZ) + cr + t(tid::ZQL) + u':'
                                                + final[2] + cr + t(tid::LXYXYJJSSFCXKS)});
    }

    // A start over a game: the range's words once each, as measured ahead; or no game, the old list kept, and why.
    void start_wrongWordsResetOrNotice_data()
    {
        QTest::addColumn<StartRow>("r");
        const auto row = [](const char *name, int dictionary, qint16 from, qint16 to, bool paused,
                            const char *notice = "", qint16 lang = 2) {
            QTest::newRow(name) << StartRow{dictionary, from, to, paused, QLatin1String(notice), lang};
        };
        row("default range", 999, 1, 999, false);
        row("small range in a large dictionary, over a paused game", 5000, 1, 999, true);
        row("range high in the dictionary", 999, 900, 999, false);
        row("one entry", 50, 7, 7, true);
        row("range without entries", 10, 50, 50, false, "50");
        row("language without a dictionary", 10, 1, 10, true, "zidian7", 7);
    }
    void start_wrongWordsResetOrNotice()
    {
        QFETCH(StartRow, r);
        setUpGame(r.dictionary, 1, 3);
        core->Label3_Click();
        type(core->Label1[1].Caption);
        landed(u"old"_s, 1000, 5190);
        clock.advance(7000);
        if (r.paused)
            core->Label7_Click();
        const qint64 before = count(u"select count(*) from trenix"_s);
        GlVexM.languageCode = r.language;
        GlVexM.wordFrom = r.from;
        GlVexM.wordTo = r.to;
        QStringList ahead; // measured in idle time before the start: its very words, and nothing written
        GameCore(
            GlVexM.storeConn,
            [&](const QString &w) {
                ahead << w;
                return kWordWidth;
            },
            clock, wallClock, random, dialogs, history)
            .prepareNextStart();
        QCOMPARE(count(u"select count(*) from trenix"_s), before);
        view.log.clear();
        core->Label3_Click();
        const QStringList words = captions();
        for (size_t i = 1; i < core->Label1.size(); ++i)
            QVERIFY(core->Label1[i].Left >= 500);
        const auto drawn = QSet<QString>(words.begin(), words.end());
        QCOMPARE(drawn, QSet<QString>(ahead.begin(), ahead.end()));
        QCOMPARE(int(words.size()), r.notice.isEmpty() ? std::min<int>(r.to, r.dictionary) - r.from + 1 : 0);
        QCOMPARE(drawn.size(), words.size());
        QCOMPARE(core->rightCount + core->inputCount + core->playedSeconds, qint64(0));
        QCOMPARE(core->startTick, clock.now);
        QCOMPARE((QList<qsizetype>{view.log.count(u"focus"_s), view.log.count(u"words"_s)}), (QList<qsizetype>{1, 1}));
        QCOMPARE(state(), (QList<bool>{false, r.notice.isEmpty(), false, !r.notice.isEmpty(), true, true}));
        QCOMPARE(core->gameActive(), r.notice.isEmpty());
        QVERIFY2(core->screen.lbmessage.contains(r.notice), qPrintable(core->screen.lbmessage));
        QCOMPARE(count(u"select count(*) from trenix"_s),
                 r.notice.isEmpty() ? qint64(words.size()) : before); // or the old list is kept
        if (r.notice.isEmpty()) // the first word shows at once; every row of a new list is drawn, none held
            QCOMPARE((QList<qint64>{core->Label1[1].Visible,
                                    count(u"select count(*) from trenix where flag=0 or ishold=1"_s)}),
                     (QList<qint64>{true, 0}));
        core->Label8_Click();
        QCOMPARE(dialogs.questions.size(), r.notice.isEmpty() ? 1 : 0);
    }

    // Words that look like SQL or lie outside the BMP fall, land and are hit by exactly their text; both
    // dictionaries stay as they were.
    void strangeWord_runAsSqlOrMismatched_data()
    {
        QTest::addColumn<QString>("word"); // the dictionary's one word
        QTest::addColumn<QString>("typed");
        const QString sql = u"他's\"引\"号反\\斜\\\\杠\\百%分_之' or 1=1 --"_s, emoji = u"笑😀𠀀𪚥"_s;
        QTest::newRow("SQL-special characters") << sql << sql;
        QTest::newRow("emoji and CJK extension B") << emoji << emoji;
        QTest::newRow("percent typed is no wildcard") << u"百分比"_s << u"百%"_s;
        QTest::newRow("injection typed at a plain word") << u"中国"_s << u"中国' or '1'='1"_s;
    }
    void strangeWord_runAsSqlOrMismatched()
    {
        QFETCH(QString, word);
        QFETCH(QString, typed);
        start({{2, {{1, word, u"py'%\\"_s, u"en \"x\""_s, QString(), QString()}}}, {3, numberedEntries(5)}}, 1, 1);
        const auto rows = [&word] { // the word's rows in the pile, then both dictionaries, every row with its Nulls
            Statement st = GlVexM.storeConn.prepare(
                u"select (select count(*) from trenix where ishold=1 and cz=?1) || '|' || (select group_concat("
                "quote(xh) || quote(cz) || quote(py) || quote(yw), ',') from (select * from zidian2 union all "
                "select * from zidian3))"_s);
            return st.bind(1, word).next() ? st.text(0) : QString();
        };
        const QString dictionaries = rows().section(u'|', 1);
        core->Label3_Click();
        for (int i = 0; i < 20 && !core->Label1[1].landed(); ++i)
            core->pictScroll_Timer();
        QCOMPARE(rows(), u"1|"_s + dictionaries); // the word itself landed
        type(typed);
        QCOMPARE(rows(), (word == typed ? u"0|"_s : u"1|"_s) + dictionaries);
    }

    // A pinyin game over words without pinyin, homophones, erhua and tones; the words typed away and the
    // message line after the last entry, which names the reading of a wrong tone. Kept as a pinyin game.
    void pinyinGame_wrongWordsCountsOrMessage_data()
    {
        QTest::addColumn<PinyinRow>("r");
        const QStringList all{u"你好"_s, u"是"_s, u"事"_s, u"哪儿"_s, u"吗"_s};
        const auto row = [&](const char *name, ToneRule tones, const QStringList &typed, int inputs,
                             const QStringList &hit, const QString &message = {}) {
            QStringList fallen = all;
            for (const QString &w : hit)
                fallen.removeOne(w);
            QTest::newRow(name) << PinyinRow{false, tones, typed, inputs, int(hit.size()), message, fallen};
        };
        const ToneRule optional = ToneRule::Optional, required = ToneRule::Required;
        row("toneless: every homophone", optional, {u"shi"_s}, 1, {u"是"_s, u"事"_s});
        row("numbers, erhua with its tone after the r", optional, {u"Ni3 hao3"_s, u"nar3"_s}, 2,
            {u"你好"_s, u"哪儿"_s});
        row("wrong tone: the word's reading named", optional, {u"ni2hao3"_s}, 1, {}, u"《你好》读作 nǐ hǎo"_s);
        row("required tones, none typed", required, {u"nihao"_s}, 1, {}, u"《你好》读作 nǐ hǎo"_s);
        row("required tones, neutral untyped", required, {u"shi4"_s, u"ma"_s}, 2, {u"是"_s, u"事"_s, u"吗"_s});
        row("characters are no pinyin", optional, {u"你好"_s}, 1, {}, u"《你好》不在游戏区中"_s);
        const QString nonePinyin = u"这 6 个词组都没有拼音，无法用拼音作答：请换一组词，或改用汉字作答"_s;
        QTest::newRow("no word with pinyin: no game") << PinyinRow{true, optional, {u"ni3"_s}, 0, 0, nonePinyin, {}};
    }
    void pinyinGame_wrongWordsCountsOrMessage()
    {
        QFETCH(PinyinRow, r);
        QList<DictionaryEntry> words;
        for (const char *w : {"你好|nǐ hǎo", "是|shì", "外星|", "事|shì", "哪儿|nǎ r", "吗|ma"}) {
            const QStringList parts = QString::fromUtf8(w).split(u'|');
            words.append({words.size() + 1, parts[0], r.bare ? QString() : parts[1], {}, {}, {}});
        }
        view = Recorder();
        start({{2, words}}, 1, 6, 2, &view);
        view.core = core.get();
        history.file.open(folder->file(u"progress.db"_s));
        core->answer = {AnswerMode::Pinyin, r.tones, HintMode::Late, true};
        core->Label3_Click();
        QCOMPARE(core->screen.lbmessage, r.bare ? r.message : u"有 1 个词组没有拼音，本局不出现"_s);
        QCOMPARE(count(u"select count(*) from trenix where cz='外星'"_s), qint64(0));
        for (size_t i = 1; i < core->Label1.size(); ++i)
            core->Label1[i].Visible = true; // all falling
        for (const QString &typed : r.typed)
            type(typed);
        QCOMPARE(core->inputCount, qint64(r.inputs));
        QCOMPARE(core->rightCount, qint64(r.hits));
        if (!r.bare)
            QCOMPARE(core->screen.feedback, r.message);
        QStringList fallen = captions(true);
        fallen.sort();
        QStringList expected = r.fallen;
        expected.sort();
        QCOMPARE(fallen, expected);
        core->Label8_Click();
        QStringList kept;
        const qsizetype mode = GameHistory::csvHeader().indexOf(u"answer_mode"_s);
        history.games.forEachCsvRow([&](const QStringList &game) { kept << game.mid(mode, 3).join(u' '); });
        const QString tones = r.tones == ToneRule::Required ? u"required"_s : u"optional"_s;
        QCOMPARE(kept, r.bare ? QStringList() : QStringList{u"pinyin "_s + tones + u" late"_s});
    }

    // The same game with its feedback read by a view and with no view, with pinyin hints and without (a word
    // without pinyin among them): figures, result and practice list alike.
    void feedbackOrHintsChangeFiguresOrStore()
    {
        QList<QStringList> runs;
        QSet<int> kinds;
        const QString buried = u"《%1》被《%2》压住了，请先打掉它|%2"_s, notOnField = u"《%1》不在游戏区中|"_s;
        QList<DictionaryEntry> words = numberedEntries(40);
        words[5].py.clear();
        for (const HintMode hints : {HintMode::Off, HintMode::Always, HintMode::Late}) {
            const bool withView = hints == HintMode::Off;
            view = Recorder();
            start({{2, words}}, 1, 40, 2, withView ? &view : nullptr);
            core->answer.hints = hints;
            view.core = core.get();
            view.readFeedback = true;
            core->setFieldSize(6000, 5835); // a narrow field piles up words that cover each other
            core->Label3_Click();
            const auto keyed = std::count_if(core->Label1.begin(), core->Label1.end(),
                                             [](const WordLabel &w) { return !w.Pinyin.isEmpty(); });
            QCOMPARE(keyed, hints == HintMode::Off ? 0 : 39); // hints need the words' pinyin
            for (int tick = 0; tick < 80 && core->running(); ++tick) {
                clock.advance(8000);
                core->pictScroll_Timer();
                core->GaTime_Timer();
                type(u"typo"_s);
                const WordLabel *pick = nullptr; // the top of the pile every third tick, else its bottom
                for (const WordLabel &w : core->Label1)
                    if (w.Visible && w.landed() && (!pick || (tick % 3 == 0 ? w.Top < pick->Top : w.Top > pick->Top)))
                        pick = &w;
                if (pick)
                    type(pick->Caption);
            }
            core->Label8_Click();
            const GameScreen &s = core->screen;
            QStringList run{s.lbsd, s.timeDisplay, s.lbzql, s.lbfs, dialogs.questions.join(u'#')};
            run << QString::number(core->inputCount) << QString::number(core->rightCount);
            for (Statement rows = GlVexM.storeConn.prepare(u"select * from trenix order by xh"_s); rows.next();)
                for (int c = 0; c < 12; ++c)
                    run << rows.text(c);
            runs << run;
            for (qsizetype i = 0; i < view.verdicts.size(); ++i) {
                const EntryVerdict &v = view.verdicts[i];
                kinds << int(v.kind);
                QCOMPARE(view.shown[i], v.kind == EntryVerdict::Kind::Hit      ? u"|"_s
                                        : v.kind == EntryVerdict::Kind::Buried ? buried.arg(v.entry, v.cover)
                                                                               : notOnField.arg(v.entry));
            }
            stop();
        }
        QCOMPARE(kinds.size(), 3); // fixture: hits, typos and buried words all came
        QCOMPARE(runs[1], runs[0]);
        QCOMPARE(runs[2], runs[0]);
    }
};

QTEST_GUILESS_MAIN(tst_Game)
#include "tst_game.moc"
