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
    qint64 startTop, restTop;
    int ticks; // until it lands; resting at 0 or above ends the game
};

struct EntryRow {
    QString typed;
    int inputs, hits;
    QList<qint64> other = {}; // left, top, width of a landed word near "low"
};

struct PinyinRow {
    AnswerMode mode; // with late hints
    ToneRule tones;
    QString typed, message; // the message line after the entry
    QStringList hit;
    bool bare = false; // no word of the dictionary has pinyin
};

struct StartRow {
    int dictionary, from, to;
    bool paused; // else the game it replaces is running
    QString notice = {};
    qint16 language = 2;
};

QSet<QString> asSet(const QStringList &words) { return {words.begin(), words.end()}; }

struct Recorder : GameView {
    explicit Recorder(std::unique_ptr<GameCore> &game) : core(game) {}
    std::unique_ptr<GameCore> &core;
    QStringList log;      // what the window was asked to do, in order
    QStringList outlined; // for each entry judged, the word pointed out
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
        outlined << core->Label1.at(v.coverIndex).Caption;
        if (readFeedback)
            core->feedbackExpired();
    }
};
} // namespace

class tst_Game : public QObject, GameFixture {
    Q_OBJECT

    std::optional<Recorder> view;

    // A started game with every drawn word released; or, with HIDE, every one waiting unseen: only the test's
    // own labels play, and no hit empties the field.
    void play(int words, qint16 to = 3, bool hide = false)
    {
        start({{2, numberedEntries(words)}}, 1, to, 2, &*view);
        core->Label3_Click();
        for (size_t k = 1; k < core->Label1.size(); ++k)
            core->Label1[k].Visible = !hide;
    }

    // Puts a landed word straight into the pile and onto the field, as a landing would.
    void landed(const QString &cz, qint64 left, qint64 top, qint64 width = kWordWidth)
    {
        const QString sql = u"insert into trenix(xh, cz, flag, ishold, lleft, ltop, lwidth) "
                            "values (0, ?1, 1, 1, ?2, ?3, ?4)"_s;
        GlVexM.storeConn.prepare(sql).bind(1, cz).bind(2, left).bind(3, top).bind(4, width).run();
        addLabel(cz, left, top, true, width);
    }

    size_t addLabel(const QString &caption, qint64 left, qint64 top, bool isLanded, qint64 width = kWordWidth)
    {
        core->Label1.push_back({caption, true, isLanded ? u"1"_s : QString(), left, top, width, GameCore::kFallStep});
        return core->Label1.size() - 1;
    }

    qint64 count(const QString &sql) { return firstColumn(GlVexM.storeConn, sql).value(0, u"-1"_s).toLongLong(); }

    // Paused, running, a game on; the pause bar, the message line, the speed and the accuracy shown.
    QList<bool> state() const
    {
        const GameScreen &s = core->screen;
        return {GlVexM.isPaused,    core->running(),      core->gameActive(),    s.lblPauseVisible,
                s.lbmessageVisible, s.speedStatusVisible, s.correctStatusVisible};
    }

private slots:
    void init() { view.emplace(core); }
    void cleanup() { stop(); }

    // A word from 1500 to 2640 falls by the tick onto a pile: where it rests, its pile row, whether the game ends.
    void fall_wrongFloorStepOrRecord_data()
    {
        QTest::addColumn<FallRow>("r");
        QTest::newRow("no pile: the bottom") << FallRow{{}, 3870, 5190, 3};
        QTest::newRow("under the right edge only") << FallRow{{{2640, 5190, 900}}, 3225, 4545, 3};
        QTest::newRow("touching the left edge counts") << FallRow{{{600, 5190, 900}}, 3225, 4545, 3};
        QTest::newRow("just short of the left edge") << FallRow{{{599, 5190, 900}}, 3870, 5190, 3};
        QTest::newRow("wholly between the edges: passed over") << FallRow{{{1600, 5190, 900}}, 3870, 5190, 3};
        QTest::newRow("the higher of two floors") << FallRow{{{1000, 5190, 900}, {2000, 4545, 900}}, 2580, 3900, 3};
        QTest::newRow("a step that ends on the floor still steps") << FallRow{{{1000, 3000, 900}}, 1710, 2355, 2};
        QTest::newRow("lands at 30: goes on") << FallRow{{{1000, 675, 900}}, 0, 30, 1};
        QTest::newRow("lands at 0: game over") << FallRow{{{1000, 645, 900}}, 0, 0, 1};
    }
    void fall_wrongFloorStepOrRecord()
    {
        QFETCH(FallRow, r);
        play(3, 3, true);
        for (const auto &p : r.pile)
            landed(u"pile"_s, p[0], p[1], p[2]);
        const QString word = std::exchange(core->Label1[1].Caption, QString());
        const size_t i = addLabel(word, 1500, r.startTop, false, 1140);
        for (int t = 1; t <= r.ticks; ++t) {
            core->pictScroll_Timer();
            QCOMPARE(core->Label1[i].landed(), t == r.ticks);
            QCOMPARE(core->Label1[i].Top, t == r.ticks ? r.restTop : r.startTop + t * GameCore::kFallStep);
        }
        const QString pile = u"select ishold||' '||lleft||' '||ltop||' '||lwidth from trenix where cz='%1'"_s;
        QCOMPARE(firstColumn(GlVexM.storeConn, pile.arg(word)), QStringList{u"1 1500 %1 1140"_s.arg(r.restTop)});
        QCOMPARE(view->sounds, QList<GameSound>{r.restTop <= 0 ? GameSound::GameOver : GameSound::Landing});
    }

    // Two words land at the top in one tick: one question; the tick goes on into the game started by Yes, whose
    // first two words show at the top. (After No, a landing after the end is caught by the fall's sounds.)
    void tickEndsOnceItsGameIsOver()
    {
        play(5, 5, true);
        dialogs.answers = {true, false};
        landed(u"floor"_s, 1000, 645);
        addLabel(u"x"_s, 1000, 0, false);
        addLabel(u"y"_s, 1000, 0, false);
        core->pictScroll_Timer();
        // One question; the new game's first two words.
        QCOMPARE((QList<qsizetype>{dialogs.questions.size(), captions(true).size()}), (QList<qsizetype>{1, 2}));
        QCOMPARE((QList<qint64>{core->Label1[2].Top, core->Label1[2].landed()}), (QList<qint64>{0, false})); // unmoved
    }

    // Enter over a landed word, covered or not, two falling words and a waiting one of one text; or while paused.
    void entry_wrongHitOrCount_data()
    {
        QTest::addColumn<EntryRow>("r");
        QTest::newRow("empty box") << EntryRow{QString(), 0, 0};
        QTest::newRow("miss") << EntryRow{u"nothing"_s, 1, 0};
        QTest::newRow("paused") << EntryRow{u"low"_s, 0, 0}; // typed, yet not counted
        QTest::newRow("landed, nothing above") << EntryRow{u"low"_s, 1, 1};
        QTest::newRow("left edge covered from above") << EntryRow{u"low"_s, 1, 0, {500, 4545, 900}};
        QTest::newRow("right edge covered from above") << EntryRow{u"low"_s, 1, 0, {1800, 4545, 900}};
        QTest::newRow("narrower word on top inside the span") << EntryRow{u"low"_s, 1, 1, {1100, 4545, 500}};
        QTest::newRow("neighbour at the same height") << EntryRow{u"low"_s, 1, 1, {1900, 5190, 900}};
        QTest::newRow("one entry hits every released word with its text") << EntryRow{u"同"_s, 1, 2};
    }
    void entry_wrongHitOrCount()
    {
        QFETCH(EntryRow, r);
        play(3, 3, true);
        view->readFeedback = true; // at once: reading it changes nothing else
        if (!r.other.isEmpty())    // its label is the one outlined when it covers "low"
            landed(u"other"_s, r.other[0], r.other[1], r.other[2]);
        landed(u"low"_s, 1000, 5190);
        addLabel(u"同"_s, 1000, 645, false);
        addLabel(u"同"_s, 5000, 1290, false);
        core->Label1[addLabel(u"同"_s, 0, 0, false)].Visible = false; // not yet released
        if (!r.typed.isEmpty() && r.inputs == 0)
            core->Label7_Click();
        type(r.typed);
        QCOMPARE((QList<qint64>{core->inputCount, core->rightCount}), (QList<qint64>{r.inputs, r.hits}));
        QCOMPARE(view->sounds, QList<GameSound>(r.inputs, r.hits ? GameSound::Hit : GameSound::Miss));
        QStringList onField{u"other"_s, u"low"_s, u"同"_s, u"同"_s};
        onField.removeAll(r.hits ? r.typed : QString());
        const QStringList field = r.other.isEmpty() ? onField.mid(1) : onField;
        QCOMPARE(captions(true), field);
        QCOMPARE(count(u"select count(*) from trenix where ishold=1"_s), qint64(field.size() - field.count(u"同"_s)));
        QCOMPARE(view->outlined, QStringList(r.inputs, r.other.size() && !r.hits ? u"other"_s : QString()));
        QCOMPARE(core->screen.TxT, r.inputs ? QString() : r.typed); // a refused entry stays in the box
        QCOMPARE(core->screen.feedback, QString());
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
        play(3);
        clock.advance(10700);
        type(u"typo"_s);
        core->Label7_Click();
        QCOMPARE(view->line, text(tid::YXZTZAKGJJX)); // the pause notice wins over the feedback
        QCOMPARE(state(), (QList<bool>{true, false, true, true, true, false, false}));
        clock.advance(60000);
        core->screen.TxT = u"xyz "_s;
        core->TxT_KeyUp(GameCore::kKeySpace, 0);
        QCOMPARE(state(), (QList<bool>{false, true, true, false, false, true, true}));
        QCOMPARE(core->screen.TxT, QString()); // the Space would spoil the next entry
        clock.advance(5600);
        QVERIFY(core->holdIfRunning());
        clock.advance(20000);
        core->restartTimers();
        type(u"typo"_s); // its feedback must not stand behind the result
        if (paused)
            core->Label7_Click(); // the time from here is not counted again
        clock.advance(paused ? 100000 : 0);
        view->log.clear();
        dialogs.onAsk = [&] { view->log << u"ask:"_s + view->line; }; // with what the message line shows
        core->screen.TxT = u"半"_s;
        if (end == "typed"_L1)
            for (const QString &word : captions())
                type(word);
        else
            core->Label8_Click();
        QVERIFY2(dialogs.questions.value(0).contains(u":35"_s), qPrintable(dialogs.questions.value(0)));
        QCOMPARE(core->rightCount, qint64(end == "typed"_L1 ? 3 : 0)); // not over before the last word
        QCOMPARE(view->log.mid(view->log.size() - 4), (QStringList{u"settle"_s, u"screen"_s, u"ask:"_s, u"screen"_s}));
        QCOMPARE(core->screen.TxT, QString());
        QCOMPARE(state(), (QList<bool>{false, false, false, false, false, true, true})); // no pause for Space to revive
    }

    // The figures every second and the result at the end, with misses among the entries.
    void figures_wrongLiveOrFinal_data()
    {
        QTest::addColumn<QList<int>>("played"); // hits, misses, milliseconds
        QTest::addColumn<QStringList>("live");  // time, speed, accuracy, score
        QTest::addColumn<QStringList>("final"); // seconds, speed, accuracy
        const auto row = [](const char *name, QList<int> played, const char *live, const char *final) {
            QTest::newRow(name) << played << QString(live).split(u' ') << QString(final).split(u' ');
        };
        row("1 of 3 in 480 s: decimal half up", {1, 2, 480000}, "480 .13 33.33% 1", "480 0 33.33%");
        row("5 of 6 in 8 s: final half up", {5, 1, 8000}, "8 37.5 83.33% 5", "8 38 83.33%");
        row("5 of 5 in 31.9 s: carry past the nines", {5, 0, 31900}, "31 9.68 100.% 5", "31 10 100.%");
        row("misses only", {0, 2, 3000}, "3 . .% 0", "3 0 .%");
        row("546 of 546 in 33306 s, past 16 bits", {546, 0, 33306000}, "33306 .98 100.% 546", "33306 1 100.%");
        row("nothing typed within a second", {0, 0, 999}, "0 0 0 0", "0 0 ");
    }
    void figures_wrongLiveOrFinal()
    {
        QFETCH(QList<int>, played);
        clock.now = (qint64(1) << 32) - 600'000; // the milliseconds cross 32 bits in a long game
        play(3);
        for (int h = 0; h < played[0]; ++h)
            type(core->Label1[addLabel(u"h%1"_s.arg(h), 1000, 645, false)].Caption);
        for (int m = 0; m < played[1]; ++m)
            type(u"miss"_s);
        clock.advance(played[2]);
        core->GaTime_Timer();
        const GameScreen &s = core->screen;
        QTEST((QStringList{s.timeDisplay, s.lbsd, s.lbzql, s.lbfs}), "live");
        core->Label8_Click();
        QFETCH(QStringList, final);
        QCOMPARE(dialogs.questions,
                 QStringList{u"%1|%2:%3%4\r%5:%6%7\r%8:%9\r%10"_s.arg(
                     text(tid::NDCJ), text(tid::ZSJ), final[0], text(tid::M), text(tid::SD), final[1], text(tid::CFZ),
                     text(tid::ZQL), final[2], text(tid::LXYXYJJSSFCXKS))});
    }

    // A start over a game: the range's words once each, as measured ahead; or no game, the old list kept, and why.
    void start_wrongWordsResetOrNotice_data()
    {
        QTest::addColumn<StartRow>("r");
        QTest::newRow("default range") << StartRow{999, 1, 999, false};
        // Two words of a large dictionary: with these draws the first one comes last, found by the retry.
        QTest::newRow("small range in a large dictionary, over a paused game") << StartRow{5000, 1, 2, true};
        QTest::newRow("one entry") << StartRow{50, 7, 7, true};
        QTest::newRow("range without entries") << StartRow{10, 50, 50, false, u"50"_s};
        QTest::newRow("language without a dictionary") << StartRow{10, 1, 10, true, u"zidian7"_s, 7};
    }
    void start_wrongWordsResetOrNotice()
    {
        QFETCH(StartRow, r);
        play(r.dictionary);
        type(core->Label1[1].Caption);
        landed(u"old"_s, 1000, 5190);
        clock.advance(7000);
        if (r.paused)
            core->Label7_Click();
        const qint64 before = count(u"select count(*) from trenix"_s);
        std::tie(GlVexM.languageCode, GlVexM.wordFrom, GlVexM.wordTo) = std::tuple(r.language, r.from, r.to);
        QStringList ahead; // measured in idle time before the start: its very words
        const GameCore::Measure measure = [&](const QString &w) {
            ahead << w;
            return kWordWidth;
        };
        GameCore(GlVexM.storeConn, measure, clock, wallClock, random, dialogs, history).prepareNextStart();
        view->log.clear();
        core->Label3_Click();
        const QStringList words = captions();
        const bool on = r.notice.isEmpty();
        QCOMPARE(asSet(words), asSet(ahead)); // and none twice
        QCOMPARE(int(words.size()), on ? std::min(r.to, r.dictionary) - r.from + 1 : 0);
        const QList<qint64> counts{core->rightCount, core->inputCount, core->playedSeconds, core->startTick};
        QCOMPARE(counts, (QList<qint64>{0, 0, 0, clock.now}));
        QCOMPARE(view->log.filter(QRegularExpression(u"^(focus|words)$"_s)), (QStringList{u"focus"_s, u"words"_s}));
        QCOMPARE(state(), (QList<bool>{false, on, on, false, !on, true, true}));
        QVERIFY2(core->screen.lbmessage.contains(r.notice), qPrintable(core->screen.lbmessage));
        QCOMPARE(count(u"select count(*) from trenix"_s), on ? qint64(words.size()) : before); // or the old list kept
        if (on) // every row of a new list is drawn, none held
            QCOMPARE(count(u"select count(*) from trenix where flag=0 or ishold=1"_s), qint64(0));
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
        // The pile's rows (the word's alone), then both dictionaries, every row with its Nulls.
        const QString sql = u"select (select count(*) from trenix where ishold=1) || '|' || (select group_concat("
                            "quote(xh) || quote(cz) || quote(py) || quote(yw), ',') from (select * from zidian2 "
                            "union all select * from zidian3))"_s;
        const auto rows = [&sql] { return firstColumn(GlVexM.storeConn, sql).value(0); };
        const QString dictionaries = rows().section(u'|', 1);
        core->Label3_Click();
        for (int i = 0; i < 20 && !core->Label1[1].landed(); ++i)
            core->pictScroll_Timer();
        QCOMPARE(rows(), u"1|"_s + dictionaries); // the word itself landed
        type(typed);
        QCOMPARE(rows(), (word == typed ? u"0|"_s : u"1|"_s) + dictionaries);
    }

    // A pinyin game over words without pinyin, homophones and tones, or a characters game with hints: the words
    // typed away and the message line after the entry, which names the reading of a wrong tone. Kept as played.
    void pinyinGame_wrongWordsCountsOrMessage_data()
    {
        QTest::addColumn<PinyinRow>("r");
        const auto row = [](const char *name, ToneRule tones, const QString &typed, const QStringList &hit,
                            const QString &message = {}, AnswerMode mode = AnswerMode::Pinyin, bool bare = false) {
            QTest::newRow(name) << PinyinRow{mode, tones, typed, message, hit, bare};
        };
        row("toneless: every homophone", ToneRule::Optional, u"shi"_s, {u"是"_s, u"事"_s});
        row("wrong tone: the word's reading named", ToneRule::Optional, u"ni2hao3"_s, {}, u"《你好》读作 nǐ hǎo"_s);
        row("required tones, none typed", ToneRule::Required, u"nihao"_s, {}, u"《你好》读作 nǐ hǎo"_s);
        row("hints in a characters game: no word left out", ToneRule::Optional, u"外星"_s, {u"外星"_s}, {},
            AnswerMode::Characters);
        const QString nonePinyin = u"这 6 个词组都没有拼音，无法用拼音作答：请换一组词，或改用汉字作答"_s;
        row("no word with pinyin: no game", ToneRule::Optional, u"ni3"_s, {}, nonePinyin, AnswerMode::Pinyin, true);
    }
    void pinyinGame_wrongWordsCountsOrMessage()
    {
        QFETCH(PinyinRow, r);
        QList<DictionaryEntry> words;
        for (const QString &w : u"你好|nǐ hǎo,是|shì,外星|,事|shì,哪儿|nǎ r,吗|ma"_s.split(u','))
            words.append(
                {words.size() + 1, w.section(u'|', 0, 0), r.bare ? QString() : w.section(u'|', 1), {}, {}, {}});
        start({{2, words}}, 1, 6, 2, &*view);
        history.file.open(folder->file(u"progress.db"_s));
        core->answer = {r.mode, r.tones, HintMode::Late, true};
        core->Label3_Click();
        const bool pinyin = r.mode == AnswerMode::Pinyin;
        const QString leftOut = pinyin ? u"有 1 个词组没有拼音，本局不出现"_s : QString();
        QCOMPARE(core->screen.lbmessage, r.bare ? r.message : leftOut);
        const auto keyed = std::ranges::count_if(core->Label1, [](const WordLabel &w) { return !w.Pinyin.isEmpty(); });
        QCOMPARE(keyed, r.bare ? 0 : 5); // the hints' keys, for every word with pinyin
        for (size_t i = 1; i < core->Label1.size(); ++i)
            core->Label1[i].Visible = true; // all falling
        type(r.typed);
        QCOMPARE(core->screen.feedback, r.bare ? QString() : r.message);
        const QSet<QString> withPinyin{u"你好"_s, u"是"_s, u"事"_s, u"哪儿"_s, u"吗"_s};
        QCOMPARE(asSet(captions(true)), r.bare ? QSet<QString>() : withPinyin - asSet(r.hit));
        core->Label8_Click();
        QStringList kept;
        const qsizetype mode = GameHistory::csvHeader().indexOf(u"answer_mode"_s);
        history.games.forEachCsvRow([&](const QStringList &game) { kept << game.mid(mode, 3).join(u' '); });
        const QString tones = r.tones == ToneRule::Required ? u"required"_s : u"optional"_s;
        QCOMPARE(kept, QStringList(r.bare ? 0 : 1, (pinyin ? u"pinyin "_s : u"characters "_s) + tones + u" late"_s));
    }
};

QTEST_GUILESS_MAIN(tst_Game)
#include "tst_game.moc"
