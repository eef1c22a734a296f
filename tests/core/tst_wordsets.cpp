// SPDX-License-Identifier: GPL-3.0-or-later
// Word sets: the practice list of each kind and the draw over it, the review's rules, own lists from files, the command
// line.
#include "ProgressStats.h"
#include "TestSupport.h"
#include "WordListImport.h"

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
const QList<DictionaryEntry> kHsk{{1, u"一"_s, u"yī"_s, u"yī!"_s, u"1"_s, {}, u"1"_s},
                                  {2, u"二"_s, u"èr"_s, u"èr!"_s, u"2"_s, {}, u"7"_s},
                                  {3, u"三"_s, u"sān"_s, u"sān!"_s, u"1"_s, {}, u"7"_s},
                                  {5, u"五"_s, u"wǔ"_s, u"wǔ!"_s, u"1"_s, {}}};

} // namespace

class TestWordSets : public QObject, GameFixture {
    Q_OBJECT

    QString path() const { return folder->file(QLatin1String(kHistoryFile)); }
    QString rows(const QString &sql) { return firstColumn(GlVexM.storeConn, sql).join(u';'); }
    static constexpr qint64 kDay = 86400000;
    const qint64 m_day0 = FakeWallClock().now;
    // A day per "|", each with a game or none: "word:X" with X L landed, T hit late, Q hit quickly, S still falling
    // at the end.
    void play(const QString &games)
    {
        for (const QString &game : games.split(u'|')) {
            GameRecord g = sampleGame(wallClock.now += kDay);
            g.fieldHeight = 5835;
            for (const QString &w : game.split(u' ', Qt::SkipEmptyParts)) // hit either side of half the field
                g.words.push_back({w.chopped(2), w.back() == u'T' || w.back() == u'Q', w.back() == u'L', 3,
                                   w.back() == u'T' ? 2918 : 2917});
            QVERIFY(game.isEmpty() || history.games.record(g)); // a day without a game
        }
    }

private slots:
    void init()
    {
        start({{2, kHsk}}, 1, 5);
        wallClock.now = m_day0;
        history.file.open(path());
    }
    void cleanup() { stop(); }

    void start_wrongWordsOrOrderOrGameLost_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QString>("expected"); // xh cz py sm of the practice list; empty: a notice and no start
        QStringList many;
        for (int i = 1; i <= 300; ++i)
            many << u"%1 L%1  "_s.arg(i);
        QTest::newRow("level") << u"level:1"_s << u"1 一 yī 1;2 三 sān 1;3 五 wǔ 1"_s;
        QTest::newRow("HSK 3.0 band, by its own column") << u"hsk3:7"_s << u"1 二 èr 2;2 三 sān 1"_s;
        QTest::newRow("list, own pinyin kept") << u"list:课"_s << u"1 五 wǔ 1;2 外 wài ;3 一 yī 1"_s;
        QTest::newRow("list larger than the dictionary, in batches") << u"list:L"_s << many.join(u';');
        QTest::newRow("level without words") << u"level:6"_s << QString();
        QTest::newRow("list gone") << u"list:无"_s << QString();
    }
    void start_wrongWordsOrOrderOrGameLost()
    {
        QFETCH(QString, set);
        QFETCH(QString, expected);
        history.lists.save(u"课"_s, {{u"五"_s, u"x"_s, {}}, {u"外"_s, u"wài"_s, u"out"_s}, {u"一"_s, {}, {}}}, false);
        std::vector<SetWord> many;
        for (int i = 1; i <= 300; ++i)
            many.push_back({u"L%1"_s.arg(i), {}, {}});
        history.lists.save(u"L"_s, many, false);
        core->Label3_Click(); // a range game is running
        const QString first = core->Label1[1].Caption;
        core->wordSet = *WordSet::parse(set);
        core->Label3_Click();
        if (expected.isEmpty()) { // the game goes on, with a notice
            QCOMPARE((QList<bool>{core->running(), core->screen.lbmessageVisible, core->screen.lbmessage.isEmpty(),
                                  core->Label1[1].Caption == first}),
                     (QList<bool>{true, true, false, true}));
            return;
        }
        QCOMPARE(rows(u"select xh||' '||cz||' '||coalesce(py,'')||' '||coalesce(sm,'') from trenix order by xh"_s),
                 expected);
        QStringList drawn = captions(); // every word of the set, each once
        drawn.sort();
        QCOMPARE(drawn.join(u';'), rows(u"select cz from trenix order by cz"_s));
        type(core->Label1[1].Caption);
        core->Label8_Click();
        QCOMPARE(history.games.recent(1).at(0).selection, set);
    }

    // Games a day apart from day 1; at noon of a later day, the words due, most overdue first, what the message
    // line says at launch, and what a review game finding none says.
    void review_wrongWordsDueOrNotice_data()
    {
        QTest::addColumn<QString>("games");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("expected"); // the words due; due today, due this week, learned
        QTest::addColumn<QString>("notice");   // "due N" at launch, "none yet", or when the next word is due
        QTest::newRow("landed: due the next day, not before") << u"a:L"_s << 1 << u"/0 1 0"_s << u"2026-01-03 00:01"_s;
        QTest::newRow("a quick hit does not enter") << u"a:Q"_s << 30 << u"/0 0 0"_s << u"none yet"_s;
        QTest::newRow("a late hit enters") << u"a:T"_s << 3 << u"a/1 1 0"_s << u"due 1"_s;
        QTest::newRow("still falling at the end counts for nothing") << u"a:S"_s << 30 << u"/0 0 0"_s << u"none yet"_s;
        QTest::newRow("good reviews put it off") << u"a:L|a:Q|a:Q"_s << 5 << u"/0 1 0"_s << u"2026-01-08 00:01"_s;
        QTest::newRow("learned: good after long gaps")
            << u"a:L|a:Q|||a:Q||||||||||a:Q"_s << 18 << u"/0 0 1"_s << u"2026-02-09 00:01"_s;
        QTest::newRow("landed, then quick, in one game") << u"a:L|a:L a:Q"_s << 3 << u"a/1 1 0"_s << u"due 1"_s;
        QTest::newRow("quick, then landed, in one game") << u"a:L|a:Q a:L"_s << 3 << u"a/1 1 0"_s << u"due 1"_s;
        QTest::newRow("most overdue first") << u"b:L|a:L|c:T|d:Q"_s << 9 << u"b a c/3 3 0"_s << u"due 3"_s;
        QStringList many;
        for (int i = 1; i <= 150; ++i)
            many << u"w%1"_s.arg(i, 3, 10, QChar(u'0'));
        QTest::newRow("at most 100, all counted")
            << many.join(u":L "_s) + u":L"_s << 3 << many.mid(0, 100).join(u' ') + u"/150 150 0"_s << u"due 150"_s;
    }
    void review_wrongWordsDueOrNotice()
    {
        QFETCH(QString, games);
        QFETCH(int, day);
        QFETCH(QString, notice);
        play(games);
        const qint64 noon = m_day0 + day * kDay + kDay / 2;
        const auto due = [&] {
            QStringList words;
            for (const ReviewWord &w : history.review.due(noon, WordSet::kReviewLimit))
                words << w.word;
            const ReviewSummary sum = reviewSummary(history.review, noon, QTimeZone::utc());
            return words.join(u' ') + u"/%1 %2 %3"_s.arg(sum.dueToday).arg(sum.dueWeek).arg(sum.learned);
        };
        QTEST(due(), "expected");
        QString empty;
        wordsOfSet(*WordSet::parse(u"review"_s), core->practice(), history, 2, noon, &empty);
        QCOMPARE(notice.startsWith(u"due"_s) ? launchNotice(history, noon) : empty,
                 notice.startsWith(u"due"_s) ? text(tid::GLVex_reviewDue).arg(notice.mid(4))
                 : notice == u"none yet"_s   ? text(tid::GLVex_emptyReview)
                                             : text(tid::GLVex_noneDue).arg(notice));
        // An older file's review, built from its games, is the same.
        history.file.store().exec(u"delete from review_words"_s);
        ReviewQueue::rebuild(history.file.store());
        QTEST(due(), "expected");
    }

    // A word missed in one script comes back in another with that dictionary's pinyin and English, in a review
    // game and among the most missed words.
    void acrossScripts_wrongEntryScriptOrGameLost_data()
    {
        QTest::addColumn<int>("playedIn"); // the language of two games
        QTest::addColumn<int>("xh");       // the word they drew
        QTest::addColumn<int>("shownIn");
        QTest::addColumn<QString>("expected"); // word, pinyin, English
        QTest::newRow("simplified, then traditional") << 2 << 1 << 3 << u"長 cháng long 3"_s;
        QTest::newRow("traditional, then simplified") << 3 << 2 << 2 << u"问题 wèn tí question 2"_s;
        QTest::newRow("traditional, then English") << 3 << 1 << 1 << u"长 cháng long 1"_s;
    }
    void acrossScripts_wrongEntryScriptOrGameLost()
    {
        QFETCH(int, playedIn);
        QFETCH(int, xh);
        QFETCH(int, shownIn);
        QFETCH(QString, expected);
        Dictionaries d; // the same two entries in the three dictionaries, each gloss naming its dictionary
        for (int l : {1, 2, 3})
            d[l] = {{1, l == 3 ? u"長"_s : u"长"_s, u"cháng"_s, u"long %1"_s.arg(l), {}, {}, {}, u"长"_s},
                    {2, l == 3 ? u"問題"_s : u"问题"_s, u"wèn tí"_s, u"question %1"_s.arg(l), {}, {}, {}, u"问题"_s}};
        stop();
        start(d, qint16(xh), qint16(xh), qint16(playedIn));
        history.file.setEntryResolver(entriesIn(core->practice()));
        history.file.open(path());
        core->setFieldSize(11625, GameCore::kFallStep); // a word lands at once
        for (int day = 1; day <= 2; ++day) {
            wallClock.now = m_day0 + day * kDay;
            core->Label3_Click();
            type(u"x"_s); // an entry: the game is kept
            core->pictScroll_Timer();
            core->pictScroll_Timer();
            core->recordIfActive();
        }
        wallClock.now = m_day0 + 10 * kDay;
        GlVexM.languageCode = qint16(shownIn);
        core->wordSet = *WordSet::parse(u"review"_s);
        core->Label3_Click();
        QCOMPARE(rows(u"select cz||' '||coalesce(py,'')||' '||coalesce(yw,'') from trenix"_s), expected);
        const ProgressReport report =
            buildReport(history.games, &core->practice(), shownIn, wallClock.now, QTimeZone::utc());
        QStringList missed;
        for (const MissedWord &m : report.missed)
            missed << u"%1 %2 %3 %4"_s.arg(m.word, m.pinyin, m.english).arg(m.landed);
        QCOMPARE(missed << QString::number(report.recent.size()),
                 (QStringList{expected + u" 2"_s, u"2"_s})); // both games
    }

    // The list 课 renamed to "to" (empty: deleted) in the lists dialog: the chosen set follows it, no other set does.
    void listChange_setNotFollowing_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("expected"); // whether it followed, and the set then
        QTest::newRow("renamed") << u"list:课"_s << u"新"_s << u"1 list:新"_s;
        QTest::newRow("deleted") << u"list:课"_s << QString() << u"1 range"_s;
        QTest::newRow("another list") << u"list:别"_s << u"新"_s << u"0 list:别"_s;
        QTest::newRow("no level 7 in HSK 2.0: no set") << u"level:7"_s << u"新"_s << u"0 range"_s;
    }
    void listChange_setNotFollowing()
    {
        QFETCH(QString, set);
        WordSet chosen = WordSet::parse(set).value_or(WordSet());
        QFETCH(QString, to);
        const bool followed = followListChange(chosen, u"课"_s, to);
        QTEST(u"%1 %2"_s.arg(followed).arg(chosen.value()), "expected");
    }

    void import_wrongWordsOrStoredAnyway_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // word|pinyin|English ..., or !what the refusal names
        QTest::newRow("BOM, CRLF, comments, blank lines")
            << "\xEF\xBB\xBF# 第一课\r\n你好\r\n\r\n  # note\r\n一\r\n"_ba << u"你好 一|yī|yī!"_s;
        QTest::newRow("duplicates: the first kept") << "甲\tjiǎ\n乙\n甲\tX\n"_ba << u"甲|jiǎ| 乙"_s;
        QTest::newRow("tabs missing") << "二\t\tmine\n三\tmy py\n"_ba << u"二|èr|mine 三|my py|sān!"_s;
        const QByteArray extB("\xF0\xA0\x80\x80"); // one character, two UTF-16 units
        QTest::newRow("16 characters beyond the BMP") << extB.repeated(16) << QString::fromUtf8(extB.repeated(16));
        QTest::newRow("invalid UTF-8") << "好\n\xE4\xBD\n"_ba << u"!in.txt:2"_s;
        QTest::newRow("unit separator") << "a\x1f b\n"_ba << u"!in.txt:1"_s;
        QTest::newRow("C1 control") << "a\xC2\x9F\n"_ba << u"!in.txt:1"_s;
        QTest::newRow("four fields") << "a\n\nb\tp\te\tx\n"_ba << u"!in.txt:3"_s;
        QTest::newRow("no word before the TAB") << "\tpy\ten\n"_ba << u"!in.txt:1"_s;
        QTest::newRow("no words") << "# only a comment\n"_ba << u"!in.txt"_s;
        QTest::newRow("over 4 MiB") << QByteArray(kMaxListFileBytes - 2, '#') + "\na\n" << u"!in.txt"_s;
    }
    void import_wrongWordsOrStoredAnyway()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        history.lists.save(u"L"_s, {{u"旧"_s, {}, {}}}, false);
        folder->writeFile(u"in.txt"_s, file);
        try {
            importWordList(folder->file(u"in.txt"_s), u"L"_s, true, &core->practice(), 2, history.lists);
        } catch (const Error &e) {
            QVERIFY2(expected.startsWith(u'!'), qPrintable(e.message()));
            QVERIFY2(e.message().contains(expected.mid(1)), qPrintable(e.message()));
            expected = u"旧"_s; // the list as it was
        }
        const QString sql =
            u"select word || case pinyin || english when '' then '' else '|' || pinyin || '|' || english end"
            " from list_words order by position"_s;
        const QStringList words = firstColumn(history.file.store(), sql);
        QCOMPARE(words.join(u' '), expected);
    }

    // The real program in a folder of its own, with a home of its own.
    void commandLine_wrongStatusOrOutput()
    {
        history.file.close();
        folder->copyFromBuild({QLatin1String(kStoreFile), QLatin1String(kSettingsFile)});
        QVERIFY(QFile::copy(QStringLiteral(TRENIX_BIN_DIR "/trenix"), folder->file(u"trenix"_s)));
        folder->writeFile(u"w.txt"_s, "中国\n火星人\thuǒ xīng rén\tMartian\n甲乙丙丁\n");
        { // kept by an earlier Trenix: the first command brings it forward with the program's dictionaries
            Store v2(path(), {}, Store::Mode::Create);
            migrateHistory(v2, {}, 2);
            v2.exec(u"insert into games values (1, 0, 60000, 0, 60, 3, 'zidian3', 'range:1-9', 1, 9, 8, 9, 1, 0, 0, 0,"
                    " 1, 5835); insert into game_words values (1, '中國', 0, 1, 9, 5190);"
                    "insert into word_lists values (1, 'x' || char(27) || '[2J', 0)"_s); // no import lets it in
        }
        QProcess process;
        process.setWorkingDirectory(folder->path());
        // Arguments as a shell reads them: a name may hold any byte.
        const QList<std::tuple<QString, int, QString>> steps{
            {u"--list-words"_s, 0, u"x\\x1b[2J\t0\n"_s},
            {u"--import-words w.txt --list 课本"_s, 0,
             u"3 words imported into the list \"课本\": 1 found in the dictionary, 1 without pinyin"_s},
            {u"--import-words w.txt --list 课本"_s, 1, u"A word list named 课本 exists already. Give --replace"_s},
            {u"--import-words w.txt --list 课本 --replace"_s, 0, u"3 words imported"_s},
            {u"--import-words none.txt --list x"_s, 1, u"none.txt cannot be read: there is no such file"_s},
            {u"--import-words /dev/zero --list x"_s, 1, u"/dev/zero cannot be read: it is not a plain file"_s},
            {u"--import-words w.txt --list \"$(printf 'L\\377')\""_s, 1, u"(\"L\\xff\") is not valid UTF-8"_s},
            {u"--import-words w.txt --list \"$(printf 'a\\033[2Jb')\""_s, 1, u"\"a\\x1b[2Jb\" cannot name a list"_s},
            {u"--list-words"_s, 0, u"课本\t3\n"_s},
        };
        for (const auto &[args, status, said] : steps) { // in a home of its own
            process.start(u"sh"_s,
                          {u"-c"_s, u"HOME=\"$PWD/home\" \"$0\" "_s + args + u" 2>&1"_s, folder->file(u"trenix"_s)});
            const QString out = process.waitForFinished(30000) ? QString::fromUtf8(process.readAll()) : u"no end"_s;
            QCOMPARE(u"%1: %2"_s.arg(args).arg(process.exitCode()), u"%1: %2"_s.arg(args).arg(status));
            QVERIFY2(out.contains(said), qPrintable(args + u" -> "_s + out));
        }
        Store kept(path(), {}, Store::Mode::ReadWrite);
        QCOMPARE(firstColumn(kept, u"select entry from game_words union all select word from missed_words union all"
                                   " select word from review_words"_s), // by entry, built anew
                 QStringList(3, u"中国"_s));
        kept.exec(u"pragma user_version=99"_s); // a history from a newer Trenix
        QCOMPARE(listWordsCommand(path(), QString()), 1);
    }
};

QTEST_GUILESS_MAIN(TestWordSets)
#include "tst_wordsets.moc"
