// Word sets: what each kind puts into the practice list, the draw over it, the
// review's rules over recorded games, own lists from text files, the command line.
#include "ProgressStore.h"
#include "TestSupport.h"
#include "WordListImport.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
DictionaryEntry entry(qint64 xh, const QString &cz, const QString &py, const QString &sm)
{
    return {xh, cz, py, py + u"!"_s, sm, {}};
}
const QList<DictionaryEntry> kHsk{entry(1, u"一"_s, u"yī"_s, u"1"_s), entry(2, u"二"_s, u"èr"_s, u"2"_s),
                                  entry(3, u"三"_s, u"sān"_s, u"1"_s), entry(4, u"四"_s, u"sì"_s, {}),
                                  entry(5, u"五"_s, u"wǔ"_s, u"1"_s)};

QString joined(const std::vector<QString> &words) { return QStringList(words.begin(), words.end()).join(u' '); }
} // namespace

class TestWordSets : public QObject, GameFixture {
    Q_OBJECT

    ProgressStore progress;
    QString path() const { return folder->file(QLatin1String(kProgressFile)); }
    QString rows(const QString &sql)
    {
        QStringList out;
        for (Statement st = GlVexM.storeConn.prepare(sql); st.next();)
            out << st.text(0);
        return out.join(u';');
    }
    // One game per "|": "word:X" with X L landed, T hit late, Q hit quickly, S still falling at the end.
    void play(const QString &games)
    {
        for (const QString &game : games.split(u'|', Qt::SkipEmptyParts)) {
            GameRecord g = sampleGame(wallClock.now += 60000);
            g.fieldHeight = 5835;
            for (const QString &w : game.split(u' ')) {
                const QChar how = w.back();
                g.words.push_back({w.chopped(2), how == u'T' || how == u'Q', how == u'L', 3, how == u'T' ? 4000 : 645});
            }
            QVERIFY(progress.record(g));
        }
    }

private slots:
    void init()
    {
        start({{2, kHsk}}, 1, 5);
        progress.open(path());
        GlVexM.progress = &progress;
    }
    void cleanup()
    {
        progress.close();
        stop();
    }

    void start_wrongWordsOrOrderOrGameLost_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QString>("troubled"); // games recorded before
        QTest::addColumn<QString>("expected"); // xh cz py sm of the practice list; empty: a notice and no start
        QTest::newRow("level") << u"level:1"_s << QString() << u"1 一 yī 1;2 三 sān 1;3 五 wǔ 1"_s;
        QTest::newRow("list, own word keeps its pinyin") << u"list:课"_s << QString() << u"1 五 wǔ 1;2 外 wài ;3 一 yī 1"_s;
        QTest::newRow("review, newest trouble first") << u"review"_s << u"三:L|外:T|二:Q"_s << u"1 外  ;2 三 sān 1"_s;
        QTest::newRow("level without words") << u"level:6"_s << QString() << QString();
        QTest::newRow("list gone") << u"list:无"_s << QString() << QString();
        QTest::newRow("nothing to review") << u"review"_s << u"二:Q"_s << QString();
        QTest::newRow("history from a newer Trenix") << u"review"_s << u"三:L|newer"_s << QString();
    }
    void start_wrongWordsOrOrderOrGameLost()
    {
        QFETCH(QString, set);
        QFETCH(QString, troubled);
        QFETCH(QString, expected);
        progress.saveList(u"课"_s, {{u"五"_s, u"x"_s, {}}, {u"外"_s, u"wài"_s, u"out"_s}, {u"一"_s, {}, {}}}, false);
        play(QString(troubled).remove(u"|newer"_s));
        if (troubled.endsWith(u"newer"_s)) {
            progress.close();
            Store(path(), {}, Store::Mode::ReadWrite).exec(u"pragma user_version=99"_s);
            progress.open(path());
        }
        core->Label3_Click(); // a range game is running
        const QString first = core->Label1[1].Caption;
        GlVexM.wordSet = *WordSet::parse(set);
        core->Label3_Click();
        if (expected.isEmpty()) {
            QVERIFY2(core->running() && core->Label1[1].Caption == first, "an empty set stopped the game");
            QVERIFY2(core->screen.lbmessageVisible && !core->screen.lbmessage.isEmpty(), "no notice");
            return;
        }
        QCOMPARE(rows(u"select xh||' '||cz||' '||coalesce(py,'')||' '||coalesce(sm,'') from trenix order by xh"_s), expected);
        core->screen.TxT = core->Label1[1].Caption;
        core->TxT_KeyUp(GameCore::kKeyEnter, 0);
        core->Label8_Click();
        Store kept(path(), {}, Store::Mode::ReadOnly);
        Statement game = kept.prepare(u"select selection, word_from is null from games order by id desc"_s);
        QVERIFY(game.next() && game.text(0) == set && game.integer(1) == 1);
    }

    void draw_wordTwiceOrMissing_data()
    {
        QTest::addColumn<int>("words");
        QTest::addColumn<int>("dictionary");
        QTest::newRow("list smaller than the dictionary") << 5 << 50;
        QTest::newRow("list larger than the dictionary") << 300 << 7;
        QTest::newRow("one word, one entry") << 1 << 1;
        QTest::newRow("same size") << 40 << 40;
    }
    void draw_wordTwiceOrMissing()
    {
        QFETCH(int, words);
        QFETCH(int, dictionary);
        start({{2, numberedEntries(dictionary)}}, 1, 1);
        progress.open(path());
        GlVexM.progress = &progress;
        std::vector<SetWord> list;
        QStringList expected;
        for (int i = 1; i <= words; ++i)
            list.push_back({expected.emplace_back(u"L%1"_s.arg(i)), {}, {}});
        progress.saveList(u"L"_s, list, false);
        GlVexM.wordSet = *WordSet::parse(u"list:L"_s);
        core->Label3_Click();
        QStringList drawn;
        for (size_t i = 1; i < core->Label1.size(); ++i)
            drawn << core->Label1[i].Caption;
        drawn.sort();
        expected.sort();
        QCOMPARE(drawn, expected);
        QCOMPARE(rows(u"select count(*) from trenix where flag=0"_s), u"0"_s);
    }

    void review_wrongWords_data()
    {
        QTest::addColumn<QString>("games");
        QTest::addColumn<QString>("expected"); // most recently troubled first
        QTest::newRow("landing enters") << u"a:L"_s << u"a"_s;
        QTest::newRow("late hit enters") << u"a:T"_s << u"a"_s;
        QTest::newRow("quick hit alone does not") << u"a:Q"_s << QString();
        QTest::newRow("one quick game: stays") << u"a:L|a:Q"_s << u"a"_s;
        QTest::newRow("two quick games: leaves") << u"a:L|a:Q|a:Q"_s << QString();
        QTest::newRow("trouble again starts over") << u"a:L|a:Q|a:T|a:Q"_s << u"a"_s;
        QTest::newRow("still falling at the end counts for nothing") << u"a:L|a:Q|a:S|a:Q"_s << QString();
        QTest::newRow("landed and quick in one game") << u"a:L a:Q|a:Q"_s << u"a"_s;
        QTest::newRow("quick games before the trouble") << u"a:Q|a:Q|a:L"_s << u"a"_s;
        QTest::newRow("newest trouble first") << u"a:L|b:T|c:Q|a:Q"_s << u"b a"_s;
        QStringList many, first;
        for (int i = 1; i <= 150; ++i)
            many << u"w%1:L"_s.arg(i, 3, 10, QChar(u'0'));
        for (int i = 1; i <= 100; ++i)
            first << u"w%1"_s.arg(i, 3, 10, QChar(u'0'));
        QTest::newRow("at most 100") << many.join(u' ') << first.join(u' ');
    }
    void review_wrongWords()
    {
        QFETCH(QString, games);
        play(games);
        QTEST(joined(progress.reviewWords(WordSet::kReviewLimit)), "expected");
        // A file kept before lists and review existed gets the same review from its games.
        progress.close();
        Store(path(), {}, Store::Mode::ReadWrite)
            .exec(u"drop table review_words; drop table list_words; drop table word_lists; pragma user_version=1"_s);
        progress.open(path());
        QTEST(joined(progress.reviewWords(WordSet::kReviewLimit)), "expected");
    }

    // Two words land, one is typed at once: the next review game brings back the two.
    void review_playedWordsNotBack()
    {
        core->setFieldSize(11625, 3 * GameCore::kFallStep);
        core->Label3_Click();
        for (size_t i = 1; i < core->Label1.size(); ++i)
            core->Label1[i].Left = qint64(i) * 2000; // side by side
        core->pictScroll_Timer();
        core->pictScroll_Timer();
        core->screen.TxT = core->Label1[3].Caption;
        core->TxT_KeyUp(GameCore::kKeyEnter, 0);
        for (int i = 0; i < 3; ++i)
            core->pictScroll_Timer();
        QVERIFY(core->Label1[1].landed() && core->Label1[2].landed());
        QStringList landed{core->Label1[1].Caption, core->Label1[2].Caption};
        core->Label8_Click();
        GlVexM.wordSet = *WordSet::parse(u"review"_s);
        core->Label3_Click();
        landed.sort();
        QCOMPARE(rows(u"select cz from trenix order by xh"_s), landed.join(u';'));
    }

    void import_wrongWordsOrStoredAnyway_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // word|pinyin|English;... or !what the refusal names
        QTest::newRow("BOM, CRLF, comments, blank lines") << "\xEF\xBB\xBF# 第一课\r\n你好\r\n\r\n  # note\r\n一\r\n"_ba << u"你好||;一|yī|yī!"_s;
        QTest::newRow("duplicates: the first kept") << "甲\tjiǎ\n乙\n甲\tX\n"_ba << u"甲|jiǎ|;乙||"_s;
        QTest::newRow("tabs missing") << "二\t\tmine\n三\tmy py\n"_ba << u"二|èr|mine;三|my py|sān!"_s;
        const QByteArray extB("\xF0\xA0\x80\x80"); // one character, two UTF-16 units
        QTest::newRow("16 characters beyond the BMP") << extB.repeated(16) << QString::fromUtf8(extB.repeated(16)) + u"||"_s;
        QTest::newRow("17 characters") << extB.repeated(17) << u"!in.txt:1"_s;
        QTest::newRow("invalid UTF-8") << "好\n\xE4\xBD\n"_ba << u"!in.txt:2"_s;
        QTest::newRow("overlong UTF-8") << "\xC0\xAF\n"_ba << u"!in.txt:1"_s;
        QTest::newRow("control character") << "a\x1b[31m\n"_ba << u"!in.txt:1"_s;
        QTest::newRow("lone CR") << "a\rb\n"_ba << u"!in.txt:1"_s;
        QTest::newRow("four fields") << "a\n\nb\tp\te\tx\n"_ba << u"!in.txt:3"_s;
        QTest::newRow("no word before the TAB") << "\tpy\ten\n"_ba << u"!in.txt:1"_s;
        QTest::newRow("no words") << "# only a comment\n"_ba << u"!in.txt"_s;
        QByteArray many;
        for (int i = 1; i <= 10001; ++i)
            many += "w" + QByteArray::number(i) + '\n';
        QTest::newRow("10,000 words") << many.left(many.indexOf("w10001")) << u"#10000"_s;
        QTest::newRow("10,001 words") << many << u"!in.txt:10001"_s;
        QTest::newRow("over 4 MiB") << QByteArray(kMaxListFileBytes - 2, '#') + "\na\n" << u"!in.txt"_s;
    }
    void import_wrongWordsOrStoredAnyway()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        progress.saveList(u"L"_s, {{u"旧"_s, {}, {}}}, false);
        folder->writeFile(u"in.txt"_s, file);
        const auto words = [&] {
            QStringList out;
            const auto list = progress.listWords(u"L"_s);
            for (const SetWord &w : list.value())
                out << w.word + u'|' + w.pinyin + u'|' + w.english;
            return out;
        };
        try {
            importWordList(folder->file(u"in.txt"_s), u"L"_s, true, &core->practice(), 2, progress);
            QVERIFY2(!expected.startsWith(u'!'), "the file was taken");
        } catch (const Error &e) {
            QVERIFY2(expected.startsWith(u'!') && e.message().contains(expected.mid(1)), qPrintable(e.message()));
            QCOMPARE(words(), QStringList{u"旧||"_s});
            return;
        }
        if (expected.startsWith(u'#'))
            QCOMPARE(words().size(), expected.mid(1).toInt());
        else
            QCOMPARE(words().join(u';'), expected);
    }

    // The real program, without a display, in a folder of its own.
    void commandLine_wrongStatusOrOutput()
    {
        progress.close();
        folder->copyFromBuild({QLatin1String(kStoreFile), QLatin1String(kSettingsFile)});
        const QString program = folder->file(u"trenix"_s);
        QVERIFY(QFile::copy(QStringLiteral(TRENIX_BIN_DIR "/trenix"), program));
        folder->writeFile(u"w.txt"_s, "中国\n外星人\twài xīng rén\talien\n甲乙丙丁\n");
        folder->writeFile(u"bad.txt"_s, "a\tb\tc\td\n");
        const struct { QStringList args; int status; const char *out; } steps[] = {
            {{u"--list-words"_s}, 0, ""},
            {{u"--import-words"_s, u"w.txt"_s, u"--list"_s, u"课本"_s}, 0, "3 words imported into the list \"课本\": 1 found in the dictionary, 1 without pinyin"},
            {{u"--import-words"_s, u"w.txt"_s, u"--list"_s, u"课本"_s}, 1, ""},
            {{u"--import-words"_s, u"bad.txt"_s, u"--list"_s, u"课本"_s, u"--replace"_s}, 1, ""},
            {{u"--import-words"_s, u"w.txt"_s, u"--list"_s, u"课本"_s, u"--replace"_s}, 0, "3 words imported"},
            {{u"--list"_s, u"x"_s}, 1, ""},
            {{u"--list-words"_s}, 0, "课本\t3\n"},
            {{u"--list-words"_s}, 1, ""}, // from a newer Trenix
        };
        for (const auto &step : steps) {
            if (&step == &steps[std::size(steps) - 1])
                Store(folder->file(QLatin1String(kProgressFile)), {}, Store::Mode::ReadWrite).exec(u"pragma user_version=99"_s);
            QProcess process;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const QString &name : {u"DISPLAY"_s, u"XDG_CONFIG_HOME"_s, u"XDG_DATA_HOME"_s})
                env.remove(name);
            env.insert(u"HOME"_s, folder->file(u"home"_s));
            process.setProcessEnvironment(env);
            process.setWorkingDirectory(folder->path());
            process.start(program, step.args);
            QVERIFY(process.waitForFinished(30000));
            const QString out = QString::fromUtf8(process.readAllStandardOutput());
            QVERIFY2(process.exitCode() == step.status && out.contains(QString::fromUtf8(step.out)),
                     qPrintable(step.args.join(u' ') + u" -> "_s + QString::number(process.exitCode()) + u' ' + out +
                                QString::fromLocal8Bit(process.readAllStandardError())));
        }
    }
};

QTEST_GUILESS_MAIN(TestWordSets)
#include "tst_wordsets.moc"
