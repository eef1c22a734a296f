// SPDX-License-Identifier: GPL-3.0-or-later
// The history of games: what each way of ending a game keeps, the file's
// versions and damage, failing writes, the CSV, the streak of days and the
// kept settings.
#include "CsvWriter.h"
#include "PlayerSettings.h"
#include "ProgressStats.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
using Steps = QList<void (GameCore::*)()>; // what ends the game, 5 s apart
// sql: run over our tables in a new file first; file: bytes written over it, "damaged" its header over a schema page
// of noise; wal: a journal beside it.
struct OpenRow {
    bool newer, setAside;
    QString sql = {};
    QByteArray file = {}, wal = {};
};
// ini null: no file, else written under [practice]; kept: speed, from, to.
struct KeptRow {
    QByteArray ini;
    int warnings;
    QList<int> kept = {8, 1, 999};
    QString set = QStringLiteral("range");
    QString answer = QStringLiteral("characters optional off true");
}; // set, answer: in force after start-up

QStringList column(const QString &path, const QString &sql)
{
    Store store(path, QByteArray(), Store::Mode::ReadOnly);
    return firstColumn(store, sql);
}

qint64 utc(const char *iso) { return QDateTime::fromString(QLatin1String(iso), Qt::ISODate).toMSecsSinceEpoch(); }

// The message of the Error it throws; empty when it throws none.
template <typename F> QString errorOf(F f)
{
    try {
        f();
    } catch (const Error &e) {
        return e.message();
    }
    return QString();
}
} // namespace

Q_DECLARE_METATYPE(Steps)
Q_DECLARE_METATYPE(OpenRow)
Q_DECLARE_METATYPE(KeptRow)
Q_DECLARE_METATYPE(CsvNaming)
Q_DECLARE_METATYPE(GamePoint)

class TestProgress : public QObject, GameFixture {
    Q_OBJECT

    QString path() const { return folder->file(QLatin1String(kHistoryFile)); }

private slots:
    void init()
    {
        start({{2, numberedEntries(3, u"词"_s)}}, 1, 999);
        history.file.open(path()); // makes nothing before the first kept game
    }
    void cleanup() { stop(); } // the history file closes at the next opening

    void gameEnd_notKeptOnceOrKeptWrong_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::newRow("pile reaches the top") << Steps{};
        QTest::newRow("end command") << Steps{&GameCore::Label8_Click};
        QTest::newRow("end command while paused") << Steps{&GameCore::Label7_Click, &GameCore::Label8_Click};
        // The next game, without an entry, is not kept.
        QTest::newRow("start over a running game") << Steps{&GameCore::Label3_Click};
        QTest::newRow("exit command or close box") << Steps{&GameCore::recordIfActive};
    }
    void gameEnd_notKeptOnceOrKeptWrong()
    {
        QFETCH(Steps, steps);
        const bool pile = steps.isEmpty();
        if (pile)
            core->setFieldSize(11625, GameCore::kFallStep); // the second word lands at the top
        core->Label3_Click();
        for (size_t i = 1; i < core->Label1.size(); ++i)
            core->Label1[i].Left = 4000; // one column
        const QStringList words = captions();
        clock.advance(10000);
        wallClock.now += 10000;
        type(words[0]);
        type(u"错"_s);
        core->pictScroll_Timer();
        core->pictScroll_Timer();
        for (const auto step : steps) {
            (core.get()->*step)();
            clock.advance(5000);
        }
        core->recordIfActive(); // a second way out keeps nothing more
        core->Label8_Click();
        QCOMPARE(dialogs.questions.size(), 1); // the result, once
        // The third word never shows before the pile's end, and the landed word is the one to review.
        const QString game = u"10 2 1 6.0 0.5 %1 range:1-999 1 999 2 zidian2 8 3 %2 10000 %3"_s.arg(
            QString::number(pile), QString::number(pile ? 645 : 5835), QString::number(wallClock.now - 10000));
        QCOMPARE(column(path(), u"select seconds||' '||entries||' '||hits||' '||speed||' '||accuracy||' '||"
                                "words_landed||' '||selection||' '||word_from||' '||word_to||' '||language||' '||"
                                "dictionary||' '||speed_level||' '||words_in_selection||' '||field_height||' '||"
                                "(end_utc-start_utc)||' '||start_utc from games union all select word||' '||hit||"
                                "' '||landed||' '||ticks||' '||top from game_words union all select word||' '||reps||"
                                "' '||lapses||' '||state from review_words"_s),
                 (QStringList{game, words[0] + u" 1 0 0 0"_s, words[1] + (pile ? u" 0 1 1 0"_s : u" 0 0 1 645"_s),
                              pile ? words[1] + u" 1 0 2"_s : words[2] + u" 0 0 0 0"_s}));
    }

    void open_fileLostTouchedOrWronglyKept_data()
    {
        QTest::addColumn<OpenRow>("row");
        QByteArray noise(6000, '\0');
        QRandomGenerator(11).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        QTest::newRow("no file") << OpenRow{false, false};
        QTest::newRow("empty file") << OpenRow{false, false, {}, ""};
        QTest::newRow("newer version") << OpenRow{true, false, u"pragma user_version=99"_s};
        QTest::newRow("random bytes and a journal") << OpenRow{false, true, {}, noise, noise.left(3000)};
        QTest::newRow("damaged schema page") << OpenRow{false, true, u"select 1"_s, "damaged"};
        QTest::newRow("tables not ours at our version") << OpenRow{false, true, u"create table theirs(id)"_s};
        QTest::newRow("newer version on a write-ahead journal")
            << OpenRow{true, false, u"pragma journal_mode=wal; pragma user_version=99"_s};
        // As a game ends, the trigger would count without end.
        QTest::newRow("our tables and a trigger that never ends") << OpenRow{
            false, true,
            u"create view forever as with recursive n(i) as (select 1 union all select i + 1 from n)"
            " select i from n; create trigger stall after insert on games begin select count(*) from forever;"
            " end"_s};
    }
    void open_fileLostTouchedOrWronglyKept()
    {
        QFETCH(OpenRow, row);
        if (!row.sql.isEmpty()) {
            Store made(path(), QByteArray(), Store::Mode::Create);
            migrateHistory(made);
            made.exec(row.sql);
        }
        if (row.file == "damaged")
            row.file = fileBytes(path()).left(100).leftJustified(fileBytes(path()).size(), char(0xA5));
        if (!row.file.isNull())
            folder->writeFile(QLatin1String(kHistoryFile), row.file);
        if (!row.wal.isNull())
            folder->writeFile(u"progress.db-wal"_s, row.wal);
        const QByteArray before = fileBytes(path());
        const QString earlier = path() + u".damaged-20260304-050607"_s; // set aside before, in the same second
        folder->writeFile(QFileInfo(earlier).fileName(), "earlier");
        wallClock.now = utc("2026-03-04T05:06:07Z");
        history.file.open(path());
        const QString aside = earlier + u"-2"_s, told = describeHistoryNotice(history.file.takeNotice());
        QCOMPARE(fileBytes(earlier), "earlier"_ba);
        QCOMPARE(fileBytes(aside) + fileBytes(aside + u"-wal"_s),
                 row.setAside ? before + row.wal : QByteArray()); // byte for byte
        QVERIFY2(row.setAside ? told.contains(QFileInfo(aside).fileName())
                              : told.contains(QLatin1String(kHistoryFile)) == row.newer,
                 qPrintable(told));
        QCOMPARE(history.games.record(sampleGame(wallClock.now, 0, {u"词"_s})), !row.newer);
        QVERIFY(history.file.takeNotice().isNone());      // told once, at the start
        QCOMPARE(fileBytes(path()) == before, row.newer); // a newer file left as it is, with nothing beside it
        if (row.newer)
            QCOMPARE(QDir(folder->path()).entryList({u"progress*"_s}, QDir::Files),
                     (QStringList{QLatin1String(kHistoryFile), QFileInfo(earlier).fileName()}));
        QCOMPARE(
            column(path(), u"pragma user_version"_s) + column(path(), u"select word from game_words"_s),
            (row.newer ? QStringList{u"99"_s} : QStringList{QString::number(HistoryFile::kSchemaVersion), u"词"_s}));
    }

    void failingWrite_gameStoppedOrHalfWrittenOrUntold_data()
    {
        QTest::addColumn<bool>("diskFull"); // else the file system turns read-only
        QTest::newRow("disk full") << true;
        QTest::newRow("read-only") << false;
    }
    void failingWrite_gameStoppedOrHalfWrittenOrUntold()
    {
        QFETCH(bool, diskFull);
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP("mounting a tmpfs is not permitted here");
        const QString file = disk.filePath(QLatin1String(kHistoryFile)), csv = disk.filePath(u"out.csv"_s),
                      reason = text(diskFull ? tid::Progress_diskFull : tid::Progress_readOnly)
                                   .arg(QLatin1String(kHistoryFile));
        history.file.open(file);
        history.games.record(sampleGame(wallClock.now, 0, {u"词"_s}));
        ProgramFolder::writeFileAt(csv, "old");
        history.file.close(); // read-only from the next run on; a disk full while the file is open
        QVERIFY(diskFull || disk.mount({u"-o"_s, u"remount,ro"_s}));
        history.file.open(file);
        if (diskFull)
            disk.fill();
        core->Label3_Click();
        type(core->Label1[1].Caption);
        core->Label8_Click();
        QVERIFY2(core->screen.lbmessage.contains(reason), qPrintable(core->screen.lbmessage));
        core->Label3_Click(); // the game goes on, the notice stays in sight
        QCOMPARE((QList<bool>{core->running(), core->screen.lbmessageVisible}), (QList<bool>{true, true}));
        QVERIFY2(core->screen.lbmessage.contains(reason), qPrintable(core->screen.lbmessage));
        // An export onto that disk keeps the file it would have replaced.
        const QString refused = errorOf([&] { writeHistoryCsv(history.games, csv); });
        QVERIFY2(refused.contains(diskFull ? u"No space left on device"_s : u"is not writable"_s), qPrintable(refused));
        QCOMPARE(fileBytes(csv), "old"_ba);
        history.file.close();
        disk.emptyAgain();
        QVERIFY(diskFull || disk.mount({u"-o"_s, u"remount,rw"_s}));
        QCOMPARE(column(file, u"select count(*) from games"_s) + column(file, u"pragma integrity_check"_s),
                 (QStringList{u"1"_s, u"ok"_s}));
    }

    // Words with commas, quotes and line breaks quoted, the start in
    // the player's time, the codes with their names in the language asked for, the player's name from
    // the game or, for a game kept without one or with --player, the name given; a game whose write is
    // refused half-way keeps nothing.
    void csv_writtenWrongOrHalfAGameKept_data()
    {
        QTest::addColumn<CsvNaming>("naming");
        QTest::addColumn<QString>("games"); // each game's speed level | its last five columns
        QTest::newRow("English") << CsvNaming{1, u"Ann"_s, false}
                                 << u"8|王小明,简体中文,dictionary of the 简体中文 interface,Word range 1–5,Slow (8 s)|"
                                    "4|Ann,繁體中文,dictionary of the 繁體中文 interface,List: 饮料,Fast (4 s)"_s;
        QTest::newRow("--player, pipe") << CsvNaming{3, u"Ann"_s, true}
                                        << u"10|Ann,简体中文,简体中文介面的詞典,詞組範圍 1–5,慢速（10秒）|"
                                           "6|Ann,繁體中文,繁體中文介面的詞典,詞組表：饮料,普通（6秒）"_s;
    }
    void csv_writtenWrongOrHalfAGameKept()
    {
        QFETCH(CsvNaming, naming);
        const bool pipe = naming.everyRow; // the command line's export, into a named pipe
        QFETCH(QString, games);
        const QStringList g = games.split(u'|');
        GameRecord first =
            sampleGame(utc("2026-02-01T23:30:00Z"), 8 * 3600, {u"一,二"_s, u"说\"好\""_s, u"上\r\n下"_s});
        GameRecord second = sampleGame(utc("2026-02-01T23:40:00Z"), 8 * 3600);
        std::tie(first.language, first.dictionary, first.speedLevel, first.player) =
            std::tuple(2, u"zidian2"_s, g[0].toInt(), u"王小明"_s);
        std::tie(second.language, second.dictionary, second.speedLevel, second.selection) =
            std::tuple(3, u"zidian3"_s, g[2].toInt(), u"list:饮料"_s);
        history.games.record(first);
        history.games.record(second);
        Store(path(), QByteArray(), Store::Mode::ReadWrite)
            .exec(u"create trigger refuse before insert on game_words begin select raise(abort, 'refused'); end"_s);
        QVERIFY(!history.games.record(sampleGame(utc("2026-02-02T01:00:00Z"), 0, {u"词"_s})));
        QVERIFY(describeHistoryNotice(history.file.takeNotice()).contains(u"refused"_s)); // the game not kept told
        const QString csv = folder->file(u"history.csv"_s);
        QVERIFY(!pipe || ::mkfifo(QFile::encodeName(csv).constData(), 0600) == 0);
        // Opened before the export, so that it need not wait.
        const int reader = pipe ? ::open(QFile::encodeName(csv).constData(), O_RDONLY | O_NONBLOCK) : -1;
        const auto closeReader = qScopeGuard([reader] { ::close(reader); });
        QCOMPARE(writeHistoryCsv(history.games, csv, naming), qint64(2));
        QByteArray received(1 << 16, 0); // the export is one write, which the pipe holds
        received.resize(qMax(::read(reader, received.data(), received.size()), ssize_t(0)));
        const QString expected =
            u"%1\r\n1,2026-02-01T23:30:00Z,2026-02-01T23:31:00Z,2026-02-02 07:30:00,60,2,zidian2,range:1-5,,,%2,0,4,3,"
            "3.00,75.00,3,\"一,二 说\"\"好\"\" 上\r\n下\",3,0,characters,optional,off,%3\r\n"
            "2,2026-02-01T23:40:00Z,2026-02-01T23:41:00Z,2026-02-02 "
            "07:40:00,60,3,zidian3,list:饮料,,,%4,0,4,3,3.00,75.00,"
            "0,,0,0,characters,optional,off,%5\r\n"_s.arg(GameHistory::csvHeader().join(u','), g[0], g[1], g[2], g[3]);
        QCOMPARE(pipe ? received : fileBytes(csv), "\xEF\xBB\xBF" + expected.toUtf8()); // byte for byte: RFC 4180
        // Each pupil's file under their own name, with nothing a file name cannot hold.
        QCOMPARE(defaultCsvName(u" 王 小明/../3b. "_s, QDate(2026, 2, 1)), u"trenix-王-小明-3b-20260201.csv"_s);
    }

    // A device named as the CSV (as /dev/full) is refused, never replaced by a plain file.
    void csvTarget_replacedEmptiedOrFailureHidden()
    {
        const QString csv = folder->file(u"out.csv"_s);
        if (::mknod(QFile::encodeName(csv).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
            QSKIP("making a device node is not permitted here");
        const QString refused = errorOf([&] { writeHistoryCsv(history.games, csv); });
        QVERIFY2(refused.contains(u"is not a plain file"_s), qPrintable(refused));
        QCOMPARE(QFileInfo(csv).isFile(), false);
    }

    // The summary: the streak of local days up to today or yesterday, the games, their seconds (60 each), the
    // best speed and the mean of the ten newest; the chart by day: each local day once, in calendar order, with
    // its games' mean and best speed and the mean accuracy of those that had an entry.
    void days_wrongStreakOrFigure_data()
    {
        QTest::addColumn<QList<GamePoint>>("games"); // the player's zone now: the last game's
        QTest::addColumn<qint64>("now");
        // Streak, games, seconds, best and mean speed; then each day: MM-dd, games, mean and best speed, accuracy.
        QTest::addColumn<QString>("expected");
        const auto at = [](double h) { return utc("2026-05-09T09:00:00Z") + qint64(h * 3600000); };
        const auto g = [&](double h, double speed, std::optional<double> accuracy = 1.0, int zoneH = 0) {
            return GamePoint{at(h), speed, accuracy, zoneH * 3600};
        };
        // Ten minutes apart, the second and third at once: of the two, the newer by its id is among the ten newest.
        QList<GamePoint> twelve;
        for (int i = 0; i < 12; ++i)
            twelve << g((i == 1 ? 2 : i) / 6.0, 10 + i, 0.5 + i / 100.0);
        QTest::newRow("today and the two days before, a day missed before them")
            << QList<GamePoint>{g(-72, 2), g(-24, 4), g(0, 20, 0.9), g(24, 3, 0.5), g(25, 5)} << at(27)
            << u"3 5 300 20 6.8; 05-06 1 2 2 1; 05-08 1 4 4 1; 05-09 1 20 20 0.9; 05-10 2 4 5 0.75"_s;
        QTest::newRow("not yet today, the day before played abroad")
            << QList<GamePoint>{g(0, 10), g(1, 20, 1.0, -12)} << at(27)
            << u"2 2 120 20 15; 05-08 1 20 20 1; 05-09 1 10 10 1"_s;
        // 23:30 and 00:30 in Shanghai: two local days, though one UTC day.
        QTest::newRow("across local midnight, UTC+8")
            << QList<GamePoint>{g(6.5, 10, 1.0, 8), g(7.5, 30, 0.5, 8)} << at(8)
            << u"2 2 120 30 20; 05-09 1 10 10 1; 05-10 1 30 30 0.5"_s;
        QTest::newRow("twelve games of one day") << twelve << at(2) << u"1 12 720 21 16.5; 05-09 12 15.5 21 0.555"_s;
        QTest::newRow("games and a day without an entry")
            << QList<GamePoint>{g(-24, 0, std::nullopt), g(0, 0, std::nullopt), g(1, 12, 0.5)} << at(2)
            << u"2 3 180 12 4; 05-08 1 0 0 -; 05-09 2 6 12 0.5"_s;
    }
    void days_wrongStreakOrFigure()
    {
        QFETCH(QList<GamePoint>, games);
        QFETCH(qint64, now);
        for (const GamePoint &p : games) {
            GameRecord g = sampleGame(p.startUtcMs, p.utcOffsetS);
            std::tie(g.speed, g.accuracy) = std::tuple(p.speed, p.accuracy);
            history.games.record(g);
        }
        const ProgressSummary s =
            history.games.summary(localToday(now, QTimeZone(games.isEmpty() ? 0 : games.last().utcOffsetS)));
        const auto n = [](std::optional<double> v) { return v ? QString::number(*v) : u"-"_s; };
        QStringList got{
            QStringList{n(s.streakDays), n(s.games), n(s.seconds), n(s.bestSpeed), n(s.averageLast10)}.join(u' ')};
        for (const DayPoint &d : byDay(history.games.points(0)))
            got << QDate(1970, 1, 1).addDays(d.day).toString(u"MM-dd "_s)
                       + QStringList{n(d.games), n(d.meanSpeed), n(d.bestSpeed), n(d.meanAccuracy)}.join(u' ');
        QTEST(got.join(u"; "_s), "expected");
    }

    // Read at the start over the window's defaults; OK keeps what is in force.
    void keptSettings_wrongValueOrSilentFallback_data()
    {
        QTest::addColumn<KeptRow>("row");
        QTest::newRow("kept") << KeptRow{"speedLevel=2\nrangeFrom=5\nrangeTo=5\n", 0, {2, 5, 5}};
        QTest::newRow("speed not a level, other group")
            << KeptRow{"speedLevel=7\nrangeFrom=3\nrangeTo=9\n[config]\nspeedLevel=2\n", 1, {8, 3, 9}};
        QTest::newRow("range reversed") << KeptRow{"speedLevel=4\nrangeFrom=9\nrangeTo=3\n", 1, {4, 1, 999}};
        QTest::newRow("letters, level 7") << KeptRow{"speedLevel=x\nrangeFrom=abc\nrangeTo=5\nwordSet=level:7", 3};
        QTest::newRow("beyond 16 bits, hsk3:8") << KeptRow{"rangeFrom=-30000\nrangeTo=40000\nwordSet=hsk3:8", 2};
        QTest::newRow("one end only, a list without a name") << KeptRow{"rangeTo=5\nwordSet=list:\n", 2};
        QTest::newRow("cannot be written") << KeptRow{"under a file", 0};
        // With the list 课本 in the history.
        QTest::newRow("own list kept") << KeptRow{"wordSet=list:课本\n", 0, {8, 1, 999}, u"list:课本"_s};
        QTest::newRow("own list gone") << KeptRow{"wordSet=list:旧\n", 0};
        // Read no further than config.dat is, and never rewritten.
        QTest::newRow("larger than 1 MiB") << KeptRow{"speedLevel=2\nsound=true\n"_ba + QByteArray(1 << 20, ';'), 1};
        const QByteArray answer = "answer=Pinyin\ntones=required\nhints=late\ntoneColours=false\n";
        QTest::newRow("answer kept") << KeptRow{answer, 0, {8, 1, 999}, u"range"_s, u"pinyin required late false"_s};
        QTest::newRow("answer misspelt") << KeptRow{"answer=pin yin\ntones=yes\nhints=1\ntoneColours=no\n", 4};
    }
    void keptSettings_wrongValueOrSilentFallback()
    {
        QFETCH(KeptRow, row);
        history.lists.save(u"课本"_s, {{u"词"_s, {}, {}}}, false);
        const bool inFolder = row.ini != "under a file", writable = inFolder && row.ini.size() <= 1024 * 1024;
        const QString file = folder->file(inFolder ? u"trenix.conf"_s : QLatin1String(kStoreFile) + u"/trenix.conf"_s);
        if (inFolder && !row.ini.isNull())
            folder->writeFile(u"trenix.conf"_s, "[practice]\n" + row.ini);
        const PlayerSettings settings(file);
        QStringList lines;
        settings.read({}, &lines);
        QCOMPARE(lines.size(), row.warnings);
        applyKeptSettings(*core, settings, history.lists);
        QCOMPARE(core->playerName, settings.playerName()); // the account's name here
        QCOMPARE((QList<int>{GlVexM.speedLevel, GlVexM.wordFrom, GlVexM.wordTo, core->pictScroll.Interval}),
                 row.kept + QList<int>{row.kept[0] * 1000});
        const auto inForce = [](const WordSet &set, const AnswerSettings &a) {
            const QStringList words{set.value(), a.modeName(), a.tonesName(), a.hintsName()};
            return words.join(u' ') + u' ' + QVariant(a.toneColours).toString();
        };
        QCOMPARE(inForce(core->wordSet, core->answer), row.set + u' ' + row.answer);
        std::tie(GlVexM.speedLevel, GlVexM.wordTo) = std::tuple(10, 1234);
        // What an INI file could read as a list or a comment.
        const WordSet listSet = *WordSet::parse(u"list:课 本, \"二\";三\\"_s);
        const AnswerSettings chosen{AnswerMode::Pinyin, ToneRule::Required, HintMode::Always, false};
        // Each kept beside the rest, which stays; a file over 1 MiB is not read, and none is rewritten.
        const QStringList told{keepCurrentSettings(settings, listSet, chosen),
                               errorOf([&] { settings.keepSound(true); }),
                               errorOf([&] { settings.keepPlayerName(u" Wang, Ming "_s); })};
        QCOMPARE(told.filter(file).filter(inFolder ? u"larger than 1 MiB"_s : u"cannot be made"_s),
                 writable ? QStringList() : told);
        const PracticeChoices kept = settings.read({}, nullptr);
        QCOMPARE((QList<int>{kept.speedLevel, kept.wordTo}), (writable ? QList<int>{10, 1234} : QList<int>{8, 999}));
        QCOMPARE(inForce(kept.wordSet, kept.answer), writable ? inForce(listSet, chosen) : inForce(WordSet(), {}));
        QCOMPARE((QStringList{settings.playerName(), settings.soundOn() ? u"on"_s : u"off"_s}),
                 writable ? (QStringList{u"Wang, Ming"_s, u"on"_s}) : (QStringList{accountFullName(), u"off"_s}));
        errorOf([&] { settings.keepPlayerName(QString()); }); // an emptied box gives the account's name back
        QCOMPARE(settings.playerName(), accountFullName());
    }
};

QTEST_GUILESS_MAIN(TestProgress)
#include "tst_progress.moc"
