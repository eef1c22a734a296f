// SPDX-License-Identifier: GPL-3.0-or-later
// Word sets: the practice list of each kind and the draw over it, the review's rules, own lists from files, the command
// line.
#include "History.h"
#include "TestSupport.h"
#include "WordListImport.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
const QList<DictionaryEntry> kHsk{{1, u"一"_s, u"yī"_s, u"yī!"_s, u"1"_s, {}},
                                  {2, u"二"_s, u"èr"_s, u"èr!"_s, u"2"_s, {}},
                                  {3, u"三"_s, u"sān"_s, u"sān!"_s, u"1"_s, {}},
                                  {5, u"五"_s, u"wǔ"_s, u"wǔ!"_s, u"1"_s, {}}};

QString joined(const std::vector<QString> &words) { return QStringList(words.begin(), words.end()).join(u' '); }
QString joined(const std::vector<SetWord> &words)
{
    QStringList out;
    for (const SetWord &w : words)
        out << w.word + (w.pinyin.isEmpty() && w.english.isEmpty() ? QString() : u'|' + w.pinyin + u'|' + w.english);
    return out.join(u' ');
}
} // namespace

class TestWordSets : public QObject, GameFixture {
    Q_OBJECT

    QString path() const { return folder->file(QLatin1String(kHistoryFile)); }
    QString rows(const QString &sql) { return firstColumn(GlVexM.storeConn, sql).join(u';'); }
    static constexpr qint64 kDay = 86400000;
    const qint64 m_day0 = FakeWallClock().now;
    // One game per "|", a day after the one before: "word:X" with X L landed, T hit late, Q hit quickly, S still
    // falling at the end.
    void play(const QString &games)
    {
        for (const QString &game : games.split(u'|', Qt::SkipEmptyParts)) {
            GameRecord g = sampleGame(wallClock.now += kDay);
            g.fieldHeight = 5835;
            for (const QString &w : game.split(u' ')) {
                const QChar how = w.back();
                g.words.push_back({w.chopped(2), how == u'T' || how == u'Q', how == u'L', 3,
                                   how == u'T' ? 2918 : 2917}); // either side of half the field
            }
            QVERIFY(history.games.record(g));
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
        QTest::addColumn<QString>("troubled"); // games recorded before
        QTest::addColumn<QString>("expected"); // xh cz py sm of the practice list; empty: a notice and no start
        QStringList many;
        for (int i = 1; i <= 300; ++i)
            many << u"%1 L%1  "_s.arg(i);
        QTest::newRow("level") << u"level:1"_s << QString() << u"1 一 yī 1;2 三 sān 1;3 五 wǔ 1"_s;
        QTest::newRow("list, own word keeps its pinyin")
            << u"list:课"_s << QString() << u"1 五 wǔ 1;2 外 wài ;3 一 yī 1"_s;
        QTest::newRow("list larger than the dictionary, in batches") << u"list:L"_s << QString() << many.join(u';');
        QTest::newRow("review, most overdue first") << u"review"_s << u"三:L|外:T|二:Q"_s << u"1 三 sān 1;2 外  "_s;
        QTest::newRow("level without words") << u"level:6"_s << QString() << QString();
        QTest::newRow("list gone") << u"list:无"_s << QString() << QString();
        QTest::newRow("nothing to review") << u"review"_s << u"二:Q"_s << QString();
    }
    void start_wrongWordsOrOrderOrGameLost()
    {
        QFETCH(QString, set);
        QFETCH(QString, troubled);
        QFETCH(QString, expected);
        history.lists.save(u"课"_s, {{u"五"_s, u"x"_s, {}}, {u"外"_s, u"wài"_s, u"out"_s}, {u"一"_s, {}, {}}}, false);
        std::vector<SetWord> many;
        for (int i = 1; i <= 300; ++i)
            many.push_back({u"L%1"_s.arg(i), {}, {}});
        history.lists.save(u"L"_s, many, false);
        play(troubled);
        wallClock.now += 2 * kDay; // what the games put into review is due
        core->Label3_Click(); // a range game is running
        const QString first = core->Label1[1].Caption;
        core->wordSet = *WordSet::parse(set);
        core->Label3_Click();
        if (expected.isEmpty()) {
            QVERIFY2(core->running() && core->Label1[1].Caption == first && core->screen.lbmessageVisible
                         && !core->screen.lbmessage.isEmpty(),
                     "an empty set stopped the game, or no notice");
            return;
        }
        QCOMPARE(rows(u"select xh||' '||cz||' '||coalesce(py,'')||' '||coalesce(sm,'') from trenix order by xh"_s),
                 expected);
        QStringList drawn; // every word of the set, each once
        for (size_t i = 1; i < core->Label1.size(); ++i)
            drawn << core->Label1[i].Caption;
        drawn.sort();
        QCOMPARE(drawn.join(u';'), rows(u"select cz from trenix order by cz"_s));
        core->screen.TxT = core->Label1[1].Caption;
        core->TxT_KeyUp(GameCore::kKeyEnter, 0);
        core->Label8_Click();
        QCOMPARE(history.games.recent(1).at(0).selection, set);
    }

    // Games a day apart from day 1; the words due at noon of a later day, most overdue first.
    void review_wrongWordsDue_data()
    {
        QTest::addColumn<QString>("games");
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("expected");
        QTest::newRow("landed: due the next day, not before") << u"a:L"_s << 1 << QString();
        QTest::newRow("landed, a day later") << u"a:L"_s << 2 << u"a"_s;
        QTest::newRow("a quick hit does not enter") << u"a:Q"_s << 30 << QString();
        QTest::newRow("a late hit enters") << u"a:T"_s << 3 << u"a"_s;
        QTest::newRow("still falling at the end counts for nothing") << u"a:S"_s << 30 << QString();
        QTest::newRow("good reviews put it off") << u"a:L|a:Q|a:Q"_s << 5 << QString();
        QTest::newRow("... until it is due again") << u"a:L|a:Q|a:Q"_s << 40 << u"a"_s;
        QTest::newRow("landed and quick in one game: the landing counts") << u"a:L|a:L a:Q"_s << 3 << u"a"_s;
        QTest::newRow("most overdue first") << u"b:L|a:L|c:T|d:Q"_s << 9 << u"b a c"_s;
        QStringList many;
        for (int i = 1; i <= 150; ++i)
            many << u"w%1"_s.arg(i, 3, 10, QChar(u'0'));
        QTest::newRow("at most 100") << many.join(u":L "_s) + u":L"_s << 3 << many.mid(0, 100).join(u' ');
    }
    void review_wrongWordsDue()
    {
        QFETCH(QString, games);
        QFETCH(int, day);
        play(games);
        const auto due = [&] {
            QStringList words;
            for (const ReviewWord &w : history.review.due(m_day0 + day * kDay + kDay / 2, WordSet::kReviewLimit))
                words << w.word;
            return words.join(u' ');
        };
        QTEST(due(), "expected");
        // An older file's review, built from its games, is the same.
        history.file.store().exec(u"delete from review_words"_s);
        ReviewQueue::rebuild(history.file.store());
        QTEST(due(), "expected");
    }

    void import_wrongWordsOrStoredAnyway_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // word|pinyin|English ..., #count, or !what the refusal names
        QTest::newRow("BOM, CRLF, comments, blank lines")
            << "\xEF\xBB\xBF# 第一课\r\n你好\r\n\r\n  # note\r\n一\r\n"_ba << u"你好 一|yī|yī!"_s;
        QTest::newRow("duplicates: the first kept") << "甲\tjiǎ\n乙\n甲\tX\n"_ba << u"甲|jiǎ| 乙"_s;
        QTest::newRow("tabs missing") << "二\t\tmine\n三\tmy py\n"_ba << u"二|èr|mine 三|my py|sān!"_s;
        const QByteArray extB("\xF0\xA0\x80\x80"); // one character, two UTF-16 units
        QTest::newRow("16 characters beyond the BMP") << extB.repeated(16) << QString::fromUtf8(extB.repeated(16));
        QTest::newRow("17 characters") << extB.repeated(17) << u"!in.txt:1"_s;
        QTest::newRow("invalid UTF-8") << "好\n\xE4\xBD\n"_ba << u"!in.txt:2"_s;
        QTest::newRow("unit separator") << "a\x1f b\n"_ba << u"!in.txt:1"_s;
        QTest::newRow("C1 control") << "a\xC2\x9F\n"_ba << u"!in.txt:1"_s;
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
        history.lists.save(u"L"_s, {{u"旧"_s, {}, {}}}, false);
        folder->writeFile(u"in.txt"_s, file);
        try {
            importWordList(folder->file(u"in.txt"_s), u"L"_s, true, &core->practice(), 2, history.lists);
            QVERIFY2(!expected.startsWith(u'!'), "the file was taken");
        } catch (const Error &e) {
            QVERIFY2(expected.startsWith(u'!') && e.message().contains(expected.mid(1)), qPrintable(e.message()));
            QCOMPARE(joined(history.lists.words(u"L"_s).value()), u"旧"_s);
            return;
        }
        const std::vector<SetWord> words = history.lists.words(u"L"_s).value();
        QCOMPARE(expected.startsWith(u'#') ? u'#' + QString::number(words.size()) : joined(words), expected);
    }

    // The real program in a folder of its own, with a home of its own.
    void commandLine_wrongStatusOrOutput()
    {
        history.file.close();
        folder->copyFromBuild({QLatin1String(kStoreFile), QLatin1String(kSettingsFile)});
        QVERIFY(QFile::copy(QStringLiteral(TRENIX_BIN_DIR "/trenix"), folder->file(u"trenix"_s)));
        folder->writeFile(u"w.txt"_s, "中国\n火星人\thuǒ xīng rén\tMartian\n甲乙丙丁\n");
        QVERIFY(QDir().mkpath(folder->file(u"home/.config/trenix"_s))); // an empty choice: the program's file decides
        folder->writeFile(u"home/.config/trenix/config.dat"_s, "[config]\nlanguage=\n");
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, folder->file(u"home"_s));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(folder->path());
        process.setProcessChannelMode(QProcess::MergedChannels);
        const struct {
            const char *args;
            int status;
            const char *out;
        } steps[] = {
            // Arguments as a shell reads them: a name may hold any byte.
            {"--import-words w.txt --list 课本", 0,
             "3 words imported into the list \"课本\": 1 found in the dictionary, 1 without pinyin"},
            {"--import-words w.txt --list 课本", 1, "A word list named 课本 exists already. Give --replace"}, // English
            {"--import-words w.txt --list 课本 --replace", 0, "3 words imported"},
            {"--list x", 1, "needs --list"},
            {"--import-words none.txt --list x", 1, "none.txt cannot be read: there is no such file"},
            {"--import-words /dev/zero --list x", 1, "/dev/zero cannot be read: it is not a plain file"},
            {"--import-words w.txt --list \"$(printf 'L\\377')\"", 1, "(\"L\\xff\") is not valid UTF-8"},
            {"--import-words w.txt --list \"$(printf 'a\\033[2Jb')\"", 1, "\"a\\x1b[2Jb\" cannot name a list"},
            {"--list-words", 0, "课本\t3\n"},
        };
        for (const auto &step : steps) {
            process.start(u"sh"_s,
                          {u"-c"_s, u"exec \"$0\" "_s + QString::fromUtf8(step.args), folder->file(u"trenix"_s)});
            const QString out = process.waitForFinished(30000) ? QString::fromUtf8(process.readAll()) : u"no end"_s;
            QVERIFY2(process.exitCode() == step.status && out.contains(QString::fromUtf8(step.out)),
                     qPrintable(QString::fromUtf8(step.args) + u" -> "_s + QString::number(process.exitCode()) + u' '
                                + out));
        }
        Store(path(), {}, Store::Mode::ReadWrite) // a name no import lets in, from another program
            .exec(u"insert into word_lists(name, imported_utc) values ('x' || char(27) || '[2J', 0)"_s);
        process.start(folder->file(u"trenix"_s), {u"--list-words"_s});
        QVERIFY(process.waitForFinished(30000));
        QVERIFY(process.readAll().contains("x\\x1b[2J\t0\n"));
        Store(path(), {}, Store::Mode::ReadWrite).exec(u"pragma user_version=99"_s); // a history from a newer Trenix
        QCOMPARE(listWordsCommand(path()), 1);
    }
};

QTEST_GUILESS_MAIN(TestWordSets)
#include "tst_wordsets.moc"
