// The history of games: what each way of ending a game keeps, the file's
// versions and damage, a kill, failing writes, the CSV, the streak of days and
// the kept settings.
#include "CsvWriter.h"
#include "PlayerSettings.h"
#include "ProgressStats.h"
#include "ProgressStore.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <signal.h>

using namespace trenix;
using namespace trenix::test;

namespace {
enum class End { PileTop, EndCommand, EndWhilePaused, StartOver, ExitOrClose, NoEntry };

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The first column of every row, as text.
QStringList column(const QString &path, const QString &sql)
{
    Store store(path, QByteArray(), Store::Mode::ReadOnly);
    QStringList out;
    for (Statement st = store.prepare(sql); st.next();)
        out << st.text(0);
    return out;
}

qint64 utc(const char *iso) { return QDateTime::fromString(QLatin1String(iso), Qt::ISODate).toMSecsSinceEpoch(); }
} // namespace

Q_DECLARE_METATYPE(End)

class TestProgress : public QObject, GameFixture {
    Q_OBJECT

    ProgressStore progress;
    QString path() const { return folder->file(QLatin1String(kProgressFile)); }
    void openProgress()
    {
        progress.open(path());
        GlVexM.progress = &progress;
    }

private slots:
    void init() { start({{2, numberedEntries(3, QStringLiteral("词"))}}, 1, 3); }
    void cleanup()
    {
        progress.close();
        stop();
    }

    void gameEnd_notKeptOnceOrKeptWrong_data()
    {
        QTest::addColumn<End>("end");
        QTest::newRow("pile reaches the top") << End::PileTop;
        QTest::newRow("end command") << End::EndCommand;
        QTest::newRow("end command while paused") << End::EndWhilePaused;
        QTest::newRow("start over a running game") << End::StartOver;
        QTest::newRow("exit command or close box") << End::ExitOrClose;
        QTest::newRow("no entry, no hit") << End::NoEntry;
    }
    void gameEnd_notKeptOnceOrKeptWrong()
    {
        QFETCH(End, end);
        openProgress();
        if (end == End::PileTop)
            core->setFieldSize(11625, GameCore::kFallStep); // the second word lands at the top
        const qint64 startUtc = wallClock.now;
        core->Label3_Click();
        for (size_t i = 1; i < core->Label1.size(); ++i)
            core->Label1[i].Left = 4000; // one column
        const QString first = core->Label1[1].Caption, second = core->Label1[2].Caption, third = core->Label1[3].Caption;
        clock.advance(10000);
        wallClock.now += 10000;
        if (end != End::NoEntry) {
            for (const QString &entry : {first, QStringLiteral("错")}) {
                core->screen.TxT = entry;
                core->TxT_KeyUp(GameCore::kKeyEnter, 0);
            }
        }
        core->pictScroll_Timer();
        core->pictScroll_Timer();
        switch (end) {
        case End::PileTop: QCOMPARE(dialogs.questions.size(), 1); break;
        case End::EndCommand: case End::NoEntry: core->Label8_Click(); break;
        case End::EndWhilePaused: core->Label7_Click(); clock.advance(5000); core->Label8_Click(); break;
        case End::StartOver: core->Label3_Click(); break;
        case End::ExitOrClose: core->recordIfActive(); break;
        }
        core->recordIfActive(); // a second way out keeps nothing more
        core->Label8_Click();
        QCOMPARE(progress.takeNotice(), QString());
        if (end == End::NoEntry) {
            QVERIFY2(!QFile::exists(path()), "a game without an entry made the file");
            return;
        }
        QCOMPARE(column(path(), QStringLiteral(
                     "select seconds||' '||entries||' '||hits||' '||speed||' '||accuracy||' '||words_landed||' '||"
                     "selection||' '||word_from||' '||word_to||' '||language||' '||dictionary||' '||speed_level||' '||"
                     "words_in_selection||' '||field_height||' '||(end_utc-start_utc)||' '||start_utc from games")),
                 QStringList{QStringLiteral("10 2 1 6.0 0.5 %1 range:1-3 1 3 2 zidian2 8 3 %2 10000 %3")
                                 .arg(end == End::PileTop ? 1 : 0)
                                 .arg(end == End::PileTop ? 645 : 5835)
                                 .arg(startUtc)});
        const QStringList expected = end == End::PileTop
            ? QStringList{first + QStringLiteral(" 1 0 0 0"), second + QStringLiteral(" 0 1 1 0")}
            : QStringList{first + QStringLiteral(" 1 0 0 0"), second + QStringLiteral(" 0 0 1 645"),
                          third + QStringLiteral(" 0 0 0 0")};
        QCOMPARE(column(path(), QStringLiteral(
                     "select word||' '||hit||' '||landed||' '||ticks||' '||top from game_words order by rowid")),
                 expected);
    }

    void open_fileLostTouchedOrWronglyKept_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: none
        QTest::addColumn<QByteArray>("wal");  // beside it, null: none
        QTest::addColumn<int>("version");     // written into a valid file, else 0
        QTest::addColumn<bool>("setAside");
        QByteArray noise(6000, '\0');
        QRandomGenerator(11).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        QTest::newRow("no file") << QByteArray() << QByteArray() << 0 << false;
        QTest::newRow("empty file") << QByteArray("") << QByteArray() << 0 << false;
        QTest::newRow("newer version") << QByteArray() << QByteArray() << 99 << false;
        QTest::newRow("random bytes") << noise << QByteArray() << 0 << true;
        QTest::newRow("random bytes and a journal") << noise << noise.left(3000) << 0 << true;
        QTest::newRow("damaged schema page") << QByteArray("damaged") << QByteArray() << 1 << true;
    }
    void open_fileLostTouchedOrWronglyKept()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, wal);
        QFETCH(int, version);
        QFETCH(bool, setAside);
        if (version > 0) {
            Store made(path(), QByteArray(), Store::Mode::Create);
            made.exec(QStringLiteral("create table games(id integer primary key); pragma user_version=%1").arg(version));
        }
        if (file == "damaged") { // a valid header over a schema page of noise
            QByteArray valid = bytes(path());
            for (qsizetype i = 100; i < valid.size(); ++i)
                valid[i] = char(0xA5);
            file = valid;
        }
        if (!file.isNull())
            folder->writeFile(QLatin1String(kProgressFile), file);
        if (!wal.isNull())
            folder->writeFile(QStringLiteral("progress.db-wal"), wal);
        const QByteArray before = bytes(path());
        wallClock.now = utc("2026-03-04T05:06:07Z");
        openProgress();
        const QString aside = path() + QStringLiteral(".damaged-20260304-050607");
        if (version > 1) {
            QCOMPARE(progress.state(), ProgressStore::State::Newer);
            QVERIFY(progress.takeNotice().contains(QLatin1String(kProgressFile)));
            QVERIFY(!progress.record(sampleGame(wallClock.now)));
            QCOMPARE(progress.takeNotice(), QString()); // told once, at the start
            QCOMPARE(bytes(path()), before);
            QCOMPARE(QDir(folder->path()).entryList({QStringLiteral("progress*")}, QDir::Files), QStringList{QLatin1String(kProgressFile)});
            return;
        }
        QCOMPARE(QFile::exists(aside), setAside);
        if (setAside) {
            QCOMPARE(bytes(aside), before);
            QCOMPARE(bytes(aside + QStringLiteral("-wal")), wal);
            QVERIFY(progress.takeNotice().contains(QFileInfo(aside).fileName()));
        }
        QVERIFY(progress.record(sampleGame(wallClock.now, 0, {QStringLiteral("词")})));
        QCOMPARE(column(path(), QStringLiteral("pragma user_version")), QStringList{QString::number(ProgressStore::kSchemaVersion)});
        QCOMPARE(column(path(), QStringLiteral("select word from game_words")), QStringList{QStringLiteral("词")});
    }

    // Games end while another process reads; the kill loses at most the game in play.
    void kill_earlierGamesLostOrDamaged()
    {
        folder->copyFromBuild({QLatin1String(kStoreFile)});
        QProcess helper;
        helper.start(QStringLiteral(TRENIX_KILLME), {QStringLiteral("record"), folder->path()});
        QVERIFY(helper.waitForStarted() && helper.waitForReadyRead(60000) && helper.readLine().trimmed() == "ready");
        QStringList seen;
        for (int i = 0; i < 100 && seen.size() < 3; ++i, QThread::msleep(20)) {
            try {
                seen = column(path(), QStringLiteral("select id||' '||hits||' '||start_utc from games order by id"));
            } catch (const Error &) {
                // Not made yet: the main file stays empty until the journal is first copied in.
            }
        }
        QThread::msleep(QRandomGenerator::global()->bounded(200));
        ::kill(pid_t(helper.processId()), SIGKILL);
        QVERIFY(helper.waitForFinished());
        QVERIFY2(seen.size() >= 3, "the helper kept no games");
        QCOMPARE(column(path(), QStringLiteral("pragma integrity_check")), QStringList{QStringLiteral("ok")});
        const QStringList after = column(path(), QStringLiteral("select id||' '||hits||' '||start_utc from games order by id"));
        QCOMPARE(after.mid(0, seen.size()), seen);
        // Each game kept whole: its one hit among its words.
        QCOMPARE(column(path(), QStringLiteral("select count(*) from games g where g.hits <>"
                                               " (select count(*) from game_words w where w.game_id=g.id and w.hit=1)")),
                 QStringList{QStringLiteral("0")});
    }

    void failingWrite_gameStoppedOrHalfWrittenOrUntold_data()
    {
        QTest::addColumn<bool>("diskFull"); // else the file system turns read-only
        QTest::addColumn<QString>("reason");
        QTest::newRow("disk full") << true << QStringLiteral("the disk is full");
        QTest::newRow("read-only") << false << QStringLiteral("read-only");
    }
    void failingWrite_gameStoppedOrHalfWrittenOrUntold()
    {
        QFETCH(bool, diskFull);
        QFETCH(QString, reason);
        QTemporaryDir disk;
        const auto mount = [&](QStringList args) { return QProcess::execute(QStringLiteral("mount"), args << disk.path()) == 0; };
        if (!mount({"-t", "tmpfs", "-o", "size=1m", "tmpfs"}))
            QSKIP("mounting a tmpfs is not permitted here");
        const auto unmount = qScopeGuard([&] {
            progress.close();
            QProcess::execute(QStringLiteral("umount"), {disk.path()});
        });
        const QString file = disk.filePath(QLatin1String(kProgressFile));
        progress.open(file);
        QVERIFY(progress.record(sampleGame(wallClock.now, 0, {QStringLiteral("词")})));
        if (diskFull) { // while the file is open
            QFile filler(disk.filePath(QStringLiteral("filler")));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'f')) == 4096) {}
        } else { // between two runs
            progress.close();
            QVERIFY(mount({"-o", "remount,ro"}));
            progress.open(file);
        }
        GlVexM.progress = &progress;
        core->Label3_Click();
        core->screen.TxT = core->Label1[1].Caption;
        core->TxT_KeyUp(GameCore::kKeyEnter, 0);
        core->Label8_Click();
        QVERIFY2(core->screen.lbmessageVisible && core->screen.lbmessage.contains(reason), qPrintable(core->screen.lbmessage));
        QVERIFY(!progress.record(sampleGame(wallClock.now)));
        core->Label3_Click(); // the game goes on, the notice stays in sight
        QVERIFY(core->running());
        QVERIFY(core->screen.lbmessage.contains(reason));
        progress.close();
        QVERIFY(diskFull ? QFile::remove(disk.filePath(QStringLiteral("filler"))) : mount({"-o", "remount,rw"}));
        QCOMPARE(column(file, QStringLiteral("select count(*) from games")), QStringList{QStringLiteral("1")});
        QCOMPARE(column(file, QStringLiteral("pragma integrity_check")), QStringList{QStringLiteral("ok")});
    }

    // Words with commas, quotes and line breaks, read back by Python's csv module.
    void csv_readBackDifferently()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        openProgress();
        const QStringList words{QStringLiteral("一,二"), QStringLiteral("说\"好\""), QStringLiteral("上\r\n下"),
                                QStringLiteral("左\n右")};
        QVERIFY(progress.record(sampleGame(utc("2026-02-01T23:30:00Z"), 8 * 3600, words)));
        QVERIFY(progress.record(sampleGame(utc("2026-02-02T01:00:00Z"))));
        const QString csv = folder->file(QStringLiteral("history.csv"));
        QCOMPARE(writeHistoryCsv(progress, csv), qint64(2));
        QVERIFY(bytes(csv).startsWith("\xEF\xBB\xBF" "game,"));
        QProcess reader;
        reader.start(python, {QStringLiteral("-c"), QStringLiteral(
            "import csv, json, sys\n"
            "print(json.dumps(list(csv.reader(open(sys.argv[1], encoding='utf-8-sig', newline='')))))"), csv});
        QVERIFY(reader.waitForFinished(30000));
        const QJsonArray rows = QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].toArray().size(), ProgressStore::csvHeader().size());
        const QJsonArray first = rows[1].toArray();
        QCOMPARE(first[3].toString(), QStringLiteral("2026-02-02 07:30:00")); // the player's local time
        QCOMPARE(first[15].toString(), QStringLiteral("75.00"));
        QCOMPARE(first[17].toString(), words.join(u' '));
        QCOMPARE(rows[2].toArray()[17].toString(), QString());
    }

    // The real program, no display; a written export is tried by the end-to-end run.
    void exportCommand_wrongStatusOrFileLeft()
    {
        folder->copyFromBuild({QLatin1String(kStoreFile)});
        openProgress();
        QVERIFY(progress.record(sampleGame(wallClock.now, 0, {QStringLiteral("词")})));
        const QString program = folder->file(QStringLiteral("trenix")); // reads the folder it is in
        QVERIFY(QFile::copy(QStringLiteral(TRENIX_BIN_DIR "/trenix"), program));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment(); // no display, no real home
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("HOME"), folder->file(QStringLiteral("home")));
        process.setProcessEnvironment(env);
        process.start(program, {QStringLiteral("--export-history"), folder->file(QStringLiteral("none/out.csv"))});
        QVERIFY(process.waitForFinished(30000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(err.contains(QStringLiteral("none/out.csv: cannot be written")), qPrintable(err));
        QCOMPARE(QDir(folder->path()).entryList({QStringLiteral("*.csv*")}, QDir::Files | QDir::Dirs), QStringList());
    }

    void streak_wrongDayCount_data()
    {
        QTest::addColumn<QList<qint64>>("starts"); // UTC
        QTest::addColumn<int>("offsetH");          // the player's zone, for the games and for now
        QTest::addColumn<qint64>("now");
        QTest::addColumn<int>("expected");
        const qint64 now = utc("2026-05-10T12:00:00Z");
        QTest::newRow("none") << QList<qint64>{} << 0 << now << 0;
        QTest::newRow("today and the two days before")
            << QList<qint64>{utc("2026-05-08T09:00:00Z"), utc("2026-05-09T09:00:00Z"), utc("2026-05-10T09:00:00Z"),
                             utc("2026-05-10T10:00:00Z")} << 0 << now << 3;
        QTest::newRow("not yet today: yesterday's streak holds")
            << QList<qint64>{utc("2026-05-08T09:00:00Z"), utc("2026-05-09T09:00:00Z")} << 0 << now << 2;
        QTest::newRow("a day missed") << QList<qint64>{utc("2026-05-07T09:00:00Z"), utc("2026-05-09T09:00:00Z")} << 0 << now << 1;
        QTest::newRow("last game two days ago") << QList<qint64>{utc("2026-05-08T09:00:00Z")} << 0 << now << 0;
        // 23:50 and 00:10 in Shanghai: two local days, though one UTC day.
        QTest::newRow("across local midnight, UTC+8")
            << QList<qint64>{utc("2026-05-09T15:50:00Z"), utc("2026-05-09T16:10:00Z")} << 8 << utc("2026-05-09T16:20:00Z") << 2;
        // 20:00 and 22:00 in New York are one local day, though two UTC days.
        QTest::newRow("one local day over UTC midnight, UTC-5")
            << QList<qint64>{utc("2026-05-10T01:00:00Z"), utc("2026-05-10T03:00:00Z")} << -5 << utc("2026-05-10T04:00:00Z") << 1;
    }
    void streak_wrongDayCount()
    {
        QFETCH(QList<qint64>, starts);
        QFETCH(int, offsetH);
        QFETCH(qint64, now);
        openProgress();
        const QTimeZone zone(offsetH * 3600);
        for (qint64 start : starts)
            QVERIFY(progress.record(sampleGame(start, utcOffsetAt(start, zone))));
        QTEST(progress.summary(localToday(now, zone)).streakDays, "expected");
    }

    void keptSettings_wrongValueOrSilentFallback_data()
    {
        QTest::addColumn<QByteArray>("ini"); // null: no file
        QTest::addColumn<QList<int>>("expected"); // speed, from, to
        QTest::addColumn<int>("warnings");
        QTest::addColumn<QString>("set"); // in force after start-up, the list 课本 existing
        QTest::newRow("no file") << QByteArray() << QList<int>{8, 1, 999} << 0 << QStringLiteral("range");
        QTest::newRow("kept") << QByteArray("[practice]\nspeedLevel=2\nrangeFrom=5\nrangeTo=5\n") << QList<int>{2, 5, 5} << 0 << QStringLiteral("range");
        QTest::newRow("speed not a level") << QByteArray("[practice]\nspeedLevel=7\nrangeFrom=3\nrangeTo=9\n") << QList<int>{8, 3, 9} << 1 << QStringLiteral("range");
        QTest::newRow("range reversed") << QByteArray("[practice]\nspeedLevel=4\nrangeFrom=9\nrangeTo=3\n") << QList<int>{4, 1, 999} << 1 << QStringLiteral("range");
        QTest::newRow("letters") << QByteArray("[practice]\nspeedLevel=x\nrangeFrom=abc\nrangeTo=5\n") << QList<int>{8, 1, 999} << 2 << QStringLiteral("range");
        QTest::newRow("beyond 16 bits") << QByteArray("[practice]\nrangeFrom=-30000\nrangeTo=40000\n") << QList<int>{8, 1, 999} << 1 << QStringLiteral("range");
        QTest::newRow("other group only") << QByteArray("[config]\nspeedLevel=2\n") << QList<int>{8, 1, 999} << 0 << QStringLiteral("range");
        QTest::newRow("cannot be written") << QByteArray("a file where the folder should be") << QList<int>{8, 1, 999} << 0 << QStringLiteral("range");
        QTest::newRow("word set kept") << QByteArray("[practice]\nwordSet=level:3\n") << QList<int>{8, 1, 999} << 0 << QStringLiteral("level:3");
        QTest::newRow("level 7") << QByteArray("[practice]\nwordSet=level:7\n") << QList<int>{8, 1, 999} << 1 << QStringLiteral("range");
        QTest::newRow("list without a name") << QByteArray("[practice]\nwordSet=list:\n") << QList<int>{8, 1, 999} << 1 << QStringLiteral("range");
        QTest::newRow("own list kept") << QByteArray("[practice]\nwordSet=list:课本\n") << QList<int>{8, 1, 999} << 0 << QStringLiteral("list:课本");
        QTest::newRow("own list gone") << QByteArray("[practice]\nwordSet=list:旧\n") << QList<int>{8, 1, 999} << 0 << QStringLiteral("range");
    }
    void keptSettings_wrongValueOrSilentFallback()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QList<int>, expected);
        QFETCH(int, warnings);
        QFETCH(QString, set);
        openProgress();
        progress.saveList(QStringLiteral("课本"), {{QStringLiteral("词"), {}, {}}}, false);
        const QString file = folder->file(QStringLiteral("config/trenix.conf"));
        const bool writable = !ini.startsWith("a file");
        if (!writable) {
            folder->writeFile(QStringLiteral("config"), ini);
        } else if (!ini.isNull()) {
            QDir().mkpath(QFileInfo(file).path());
            folder->writeFile(QStringLiteral("config/trenix.conf"), ini);
        }
        QStringList lines;
        const PracticeChoices read = PlayerSettings(file).read({8, 1, 999, {}}, &lines);
        QCOMPARE((QList<int>{read.speedLevel, read.wordFrom, read.wordTo}), expected);
        QCOMPARE(lines.size(), warnings);
        // Start-up takes them over the window's defaults; OK keeps what is in force.
        GlVexM.keptSettingsFile = file;
        GlVexM.wordFrom = 1;
        GlVexM.wordTo = 999;
        applyKeptSettings(*core);
        QCOMPARE((QList<int>{GlVexM.speedLevel, GlVexM.wordFrom, GlVexM.wordTo, core->pictScroll.Interval}),
                 (QList<int>{expected[0], expected[1], expected[2], expected[0] * 1000}));
        QCOMPARE(GlVexM.wordSet.value(), set);
        GlVexM.speedLevel = 10;
        GlVexM.wordSet = *WordSet::parse(QStringLiteral("list:课 本"));
        GlVexM.wordTo = 1234;
        QCOMPARE(keepCurrentSettings().contains(file), !writable);
        if (!writable)
            return;
        QCOMPARE(PlayerSettings(file).read({}, &lines).wordTo, qint16(1234));
        QCOMPARE(PlayerSettings(file).read({}, &lines).speedLevel, qint16(10));
        QCOMPARE(PlayerSettings(file).read({}, &lines).wordSet.value(), QStringLiteral("list:课 本"));
    }
};

QTEST_GUILESS_MAIN(TestProgress)
#include "tst_progress.moc"
