// SPDX-License-Identifier: GPL-3.0-or-later
// The history of games: what each way of ending a game keeps, the file's
// versions and damage, a kill, failing writes, the CSV, the streak of days and
// the kept settings.
#include "CsvWriter.h"
#include "PlayerSettings.h"
#include "ProgressStats.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QThread>

#include <fcntl.h>
#include <optional>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
enum class End { PileTop, EndCommand, EndWhilePaused, StartOver, ExitOrClose };
// file null: none, "damaged": a valid header over a schema page of noise; wal beside it; version written first, else 0.
struct OpenRow {
    QByteArray file, wal;
    int version;
    bool setAside;
};
// Game starts in UTC; the player's zone, for the games and for now.
struct StreakRow {
    QList<qint64> starts;
    int offsetH;
    qint64 now;
    int days;
};
// ini null: no file; kept: speed, from, to.
struct KeptRow {
    QByteArray ini;
    QList<int> kept;
    int warnings;
    QString set = QStringLiteral("range");
    QString answer = QStringLiteral("characters optional off true");
}; // set, answer: in force after start-up

QStringList column(const QString &path, const QString &sql)
{
    Store store(path, QByteArray(), Store::Mode::ReadOnly);
    return firstColumn(store, sql);
}

qint64 utc(const char *iso) { return QDateTime::fromString(QLatin1String(iso), Qt::ISODate).toMSecsSinceEpoch(); }
} // namespace

Q_DECLARE_METATYPE(End)
Q_DECLARE_METATYPE(OpenRow)
Q_DECLARE_METATYPE(StreakRow)
Q_DECLARE_METATYPE(KeptRow)
Q_DECLARE_METATYPE(CsvNaming)
Q_DECLARE_METATYPE(GamePoint)

class TestProgress : public QObject, GameFixture {
    Q_OBJECT

    QString path() const { return folder->file(QLatin1String(kHistoryFile)); }
    QString notice() { return describeHistoryNotice(history.file.takeNotice()); }

private slots:
    void init()
    {
        start({{2, numberedEntries(3, u"词"_s)}}, 1, 999);
        history.file.open(path()); // makes nothing before the first kept game
    }
    void cleanup() { stop(); } // the history file closes at the next opening

    void gameEnd_notKeptOnceOrKeptWrong_data()
    {
        QTest::addColumn<End>("end");
        QTest::newRow("pile reaches the top") << End::PileTop;
        QTest::newRow("end command") << End::EndCommand;
        QTest::newRow("end command while paused") << End::EndWhilePaused;
        QTest::newRow("start over a running game") << End::StartOver;
        QTest::newRow("exit command or close box") << End::ExitOrClose;
    }
    void gameEnd_notKeptOnceOrKeptWrong()
    {
        QFETCH(End, end);
        const bool pile = end == End::PileTop;
        if (pile)
            core->setFieldSize(11625, GameCore::kFallStep); // the second word lands at the top
        core->Label3_Click();
        QStringList words;
        for (size_t i = 1; i < core->Label1.size(); ++i) {
            core->Label1[i].Left = 4000; // one column
            words << core->Label1[i].Caption;
        }
        clock.advance(10000);
        wallClock.now += 10000;
        for (const QString &entry : {words[0], u"错"_s}) {
            type(entry);
        }
        core->pictScroll_Timer();
        core->pictScroll_Timer();
        switch (end) {
        case End::PileTop: break;
        case End::EndCommand: core->Label8_Click(); break;
        case End::EndWhilePaused:
            core->Label7_Click();
            clock.advance(5000);
            core->Label8_Click();
            break;
        case End::StartOver: core->Label3_Click(); break; // the next game, without an entry, is not kept
        case End::ExitOrClose: core->recordIfActive(); break;
        }
        core->recordIfActive(); // a second way out keeps nothing more
        core->Label8_Click();
        QCOMPARE(dialogs.questions.size(), 1); // the result, once
        QCOMPARE(
            column(path(),
                   u"select seconds||' '||entries||' '||hits||' '||speed||' '||accuracy||' '||words_landed||' '||"
                   "selection||' '||word_from||' '||word_to||' '||language||' '||dictionary||' '||speed_level||' '||"
                   "words_in_selection||' '||field_height||' '||(end_utc-start_utc)||' '||start_utc from games"_s),
            QStringList{u"10 2 1 6.0 0.5 %1 range:1-999 1 999 2 zidian2 8 3 %2 10000 %3"_s.arg(pile)
                            .arg(pile ? 645 : 5835)
                            .arg(wallClock.now - 10000)});
        const QStringList kept{words[0] + u" 1 0 0 0"_s, words[1] + (pile ? u" 0 1 1 0"_s : u" 0 0 1 645"_s),
                               words[2] + u" 0 0 0 0"_s};
        QCOMPARE(column(path(),
                        u"select word||' '||hit||' '||landed||' '||ticks||' '||top from game_words order by rowid"_s),
                 kept.mid(0, pile ? 2 : 3)); // the third word never showed before the pile's end
    }

    void open_fileLostTouchedOrWronglyKept_data()
    {
        QTest::addColumn<OpenRow>("row");
        QByteArray noise(6000, '\0');
        QRandomGenerator(11).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        QTest::newRow("no file") << OpenRow{{}, {}, 0, false};
        QTest::newRow("empty file") << OpenRow{"", {}, 0, false};
        QTest::newRow("newer version") << OpenRow{{}, {}, 99, false};
        QTest::newRow("random bytes") << OpenRow{noise, {}, 0, true};
        QTest::newRow("random bytes and a journal") << OpenRow{noise, noise.left(3000), 0, true};
        QTest::newRow("damaged schema page") << OpenRow{"damaged", {}, 1, true};
        QTest::newRow("tables not ours at our version") << OpenRow{{}, {}, HistoryFile::kSchemaVersion, true};
        QTest::newRow("newer version on a write-ahead journal") << OpenRow{"wal", {}, 99, false};
        QTest::newRow("our tables and a trigger that never ends") << OpenRow{"endless", {}, 0, true};
    }
    void open_fileLostTouchedOrWronglyKept()
    {
        QFETCH(OpenRow, row);
        if (row.file == "endless") { // as a game ends, the trigger would count without end
            Store made(path(), QByteArray(), Store::Mode::Create);
            migrateHistory(made);
            made.exec(u"create view forever as with recursive n(i) as (select 1 union all select i + 1 from n)"
                      " select i from n;"
                      "create trigger stall after insert on games begin select count(*) from forever; end"_s);
            row.file = {};
        } else if (row.version > 0) {
            Store made(path(), QByteArray(), Store::Mode::Create);
            made.exec(u"%1create table games(id integer primary key); pragma user_version=%2"_s
                          .arg(row.file == "wal" ? u"pragma journal_mode=wal; "_s : QString())
                          .arg(row.version));
            if (row.file == "wal")
                row.file = {};
        }
        if (row.file == "damaged")
            row.file = fileBytes(path()).left(100).leftJustified(fileBytes(path()).size(), char(0xA5));
        if (!row.file.isNull())
            folder->writeFile(QLatin1String(kHistoryFile), row.file);
        if (!row.wal.isNull())
            folder->writeFile(u"progress.db-wal"_s, row.wal);
        const QByteArray before = fileBytes(path());
        const QString earlier = path() + u".damaged-20260304-050607"_s; // set aside before, in the same second
        if (row.setAside)
            folder->writeFile(QFileInfo(earlier).fileName(), "earlier");
        wallClock.now = utc("2026-03-04T05:06:07Z");
        history.file.open(path());
        const QString aside = earlier + u"-2"_s, told = notice();
        QCOMPARE(fileBytes(earlier), row.setAside ? "earlier"_ba : QByteArray());
        const bool newer = row.version > HistoryFile::kSchemaVersion; // told, and left as it is
        QCOMPARE(fileBytes(aside) + fileBytes(aside + u"-wal"_s),
                 row.setAside ? before + row.wal : QByteArray()); // byte for byte
        QVERIFY2(row.setAside ? told.contains(QFileInfo(aside).fileName())
                              : told.contains(QLatin1String(kHistoryFile)) == newer,
                 qPrintable(told));
        QCOMPARE(history.games.record(sampleGame(wallClock.now, 0, {u"词"_s})), !newer);
        QVERIFY(history.file.takeNotice().isNone()); // told once, at the start
        if (newer) {
            QCOMPARE(fileBytes(path()), before);
            QCOMPARE(QDir(folder->path()).entryList({u"progress*"_s}, QDir::Files),
                     QStringList{QLatin1String(kHistoryFile)});
            return;
        }
        QCOMPARE(column(path(), u"pragma user_version"_s) + column(path(), u"select word from game_words"_s),
                 (QStringList{QString::number(HistoryFile::kSchemaVersion), u"词"_s}));
    }

    // Games end while another process reads; the kill loses at most the game in play.
    void kill_earlierGamesLostOrDamaged()
    {
        folder->copyFromBuild({QLatin1String(kStoreFile)});
        const QString games = u"select id||' '||hits||' '||start_utc from games order by id"_s;
        QProcess helper;
        QCOMPARE(startKillme(helper, u"record"_s, folder->path()), QString());
        QStringList seen;
        for (int i = 0; i < 100 && seen.size() < 3; ++i, QThread::msleep(20)) {
            try {
                seen = column(path(), games);
            } catch (const Error &) {
                // Not made yet: the main file stays empty until the journal is first copied in.
            }
        }
        QThread::msleep(QRandomGenerator::global()->bounded(200));
        ::kill(pid_t(helper.processId()), SIGKILL);
        QVERIFY(helper.waitForFinished());
        QVERIFY2(seen.size() >= 3, "the helper kept no games");
        QCOMPARE(column(path(), u"pragma integrity_check"_s), QStringList{u"ok"_s});
        QCOMPARE(column(path(), games).mid(0, seen.size()), seen);
        // Each game kept whole: its one hit among its words.
        QCOMPARE(column(path(), u"select count(*) from games g where g.hits <>"
                                " (select count(*) from game_words w where w.game_id=g.id and w.hit=1)"_s),
                 QStringList{u"0"_s});
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
        const QString file = disk.filePath(QLatin1String(kHistoryFile)),
                      reason = text(diskFull ? tid::Progress_diskFull : tid::Progress_readOnly)
                                   .arg(QLatin1String(kHistoryFile));
        history.file.open(file);
        QVERIFY(history.games.record(sampleGame(wallClock.now, 0, {u"词"_s})));
        if (diskFull) { // while the file is open
            disk.fill();
        } else { // between two runs
            history.file.close();
            QVERIFY(disk.mount({u"-o"_s, u"remount,ro"_s}));
            history.file.open(file);
        }
        core->Label3_Click();
        type(core->Label1[1].Caption);
        core->Label8_Click();
        QVERIFY2(core->screen.lbmessage.contains(reason), qPrintable(core->screen.lbmessage));
        core->Label3_Click(); // the game goes on, the notice stays in sight
        QCOMPARE((QList<bool>{core->running(), core->screen.lbmessageVisible}), (QList<bool>{true, true}));
        QVERIFY2(core->screen.lbmessage.contains(reason), qPrintable(core->screen.lbmessage));
        history.file.close();
        if (diskFull)
            disk.emptyAgain();
        QVERIFY(diskFull || disk.mount({u"-o"_s, u"remount,rw"_s}));
        QCOMPARE(column(file, u"select count(*) from games"_s) + column(file, u"pragma integrity_check"_s),
                 (QStringList{u"1"_s, u"ok"_s}));
    }

    // Words with commas, quotes and line breaks come back whole through a real CSV reader, the start in
    // the player's time, the codes with their names in the language asked for, the player's name from
    // the game or, for a game kept without one or with --player, the name given; a game whose write is
    // refused half-way keeps nothing.
    void csv_writtenWrongOrHalfAGameKept_data()
    {
        QTest::addColumn<CsvNaming>("naming");
        QTest::addColumn<QList<int>>("speeds"); // the two games' speed levels
        QTest::addColumn<QStringList>("names"); // their last five columns
        QTest::newRow("English names, the game's own player")
            << CsvNaming{1, u"Ann"_s, false} << QList<int>{8, 4}
            << QStringList{u"王小明|简体中文|dictionary of the 简体中文 interface|Word range 1–5|Slow (8 s)"_s,
                           u"Ann|繁體中文|dictionary of the 繁體中文 interface|List: 饮料|Fast (4 s)"_s};
        QTest::newRow("--player in every row, traditional names")
            << CsvNaming{3, u"Ann"_s, true} << QList<int>{10, 6}
            << QStringList{u"Ann|简体中文|简体中文介面的詞典|詞組範圍 1–5|慢速（10秒）"_s,
                           u"Ann|繁體中文|繁體中文介面的詞典|詞組表：饮料|普通（6秒）"_s};
        QTest::newRow("simplified names")
            << CsvNaming{2, u"Ann"_s, false} << QList<int>{2, 2}
            << QStringList{u"王小明|简体中文|简体中文界面的词典|词组范围 1–5|快速（2秒）"_s,
                           u"Ann|繁體中文|繁體中文界面的词典|词组表：饮料|快速（2秒）"_s};
    }
    void csv_writtenWrongOrHalfAGameKept()
    {
        QFETCH(CsvNaming, naming);
        QFETCH(QList<int>, speeds);
        QFETCH(QStringList, names);
        GameRecord first =
            sampleGame(utc("2026-02-01T23:30:00Z"), 8 * 3600, {u"一,二"_s, u"说\"好\""_s, u"上\r\n下"_s});
        first.language = 2;
        first.dictionary = u"zidian2"_s;
        first.speedLevel = speeds[0];
        first.player = u"王小明"_s;
        GameRecord second = sampleGame(utc("2026-02-01T23:40:00Z"), 8 * 3600);
        second.language = 3;
        second.dictionary = u"zidian3"_s;
        second.selection = u"list:饮料"_s;
        second.speedLevel = speeds[1];
        QVERIFY(history.games.record(first));
        QVERIFY(history.games.record(second));
        Store(path(), QByteArray(), Store::Mode::ReadWrite)
            .exec(u"create trigger refuse before insert on game_words begin select raise(abort, 'refused'); end"_s);
        QVERIFY(!history.games.record(sampleGame(utc("2026-02-02T01:00:00Z"), 0, {u"词"_s})));
        QVERIFY2(notice().contains(u"refused"_s), "the game not kept is not told");
        const QString csv = folder->file(u"history.csv"_s);
        QCOMPARE(writeHistoryCsv(history.games, csv, naming), qint64(2));
        QVERIFY(fileBytes(csv).startsWith("\xEF\xBB\xBF"
                                          "game,start_utc,"));
        QProcess reader; // read back as a spreadsheet would, by Python's csv module
        reader.start(u"python3"_s, {u"-c"_s,
                                    u"import csv, json, sys\nprint(json.dumps(list(csv.reader("
                                    "open(sys.argv[1], encoding='utf-8-sig', newline='')))))"_s,
                                    csv});
        QVERIFY(reader.waitForFinished(30000));
        QStringList rows;
        for (const QJsonValue &r : QJsonDocument::fromJson(reader.readAllStandardOutput()).array())
            rows << QVariant(r.toArray().toVariantList()).toStringList().join(u'|');
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], GameHistory::csvHeader().join(u'|'));
        QCOMPARE(rows[1].section(u'|', 0, -6), u"1|2026-02-01T23:30:00Z|2026-02-01T23:31:00Z|2026-02-02 "
                                               u"07:30:00|60|2|zidian2|range:1-5|||%1|0|4|3|3.00|75.00|3|"
                                               "一,二 说\"好\" 上\r\n下|3|0|characters|optional|off"_s.arg(speeds[0]));
        QCOMPARE((QStringList{rows[1].section(u'|', -5), rows[2].section(u'|', -5)}), names);
        // Each pupil's file under their own name, with nothing a file name cannot hold.
        QCOMPARE(defaultCsvName(u" 王 小明/../3b. "_s, QDate(2026, 2, 1)), u"trenix-王-小明-3b-20260201.csv"_s);
    }

    // Where the CSV goes: a file on a full disk keeps what it held, a pipe is written through, a device is left alone.
    void csvTarget_replacedEmptiedOrFailureHidden_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("a file, disk full") << u"file"_s;
        QTest::newRow("a named pipe") << u"pipe"_s;
        QTest::newRow("a device node") << u"device"_s;
    }
    void csvTarget_replacedEmptiedOrFailureHidden()
    {
        QFETCH(QString, target);
        QVERIFY(history.games.record(sampleGame(wallClock.now)));
        const QString plain = folder->file(u"plain.csv"_s);
        QCOMPARE(writeHistoryCsv(history.games, plain), qint64(1));
        std::optional<SmallDisk> disk;
        QString csv = folder->file(u"out.csv"_s);
        const QByteArray native = QFile::encodeName(csv);
        int reader = -1;
        if (target == "file"_L1) {
            if (!disk.emplace().mounted())
                QSKIP("mounting a tmpfs is not permitted here");
            csv = disk->filePath(u"out.csv"_s);
            ProgramFolder::writeFileAt(csv, "old");
            disk->fill();
        } else if (target == "pipe"_L1) {
            QVERIFY(::mkfifo(native.constData(), 0600) == 0);
            reader = ::open(native.constData(), O_RDONLY | O_NONBLOCK); // so that the export need not wait
        } else if (::mknod(native.constData(), S_IFCHR | 0600, makedev(1, 7)) != 0) { // as /dev/full
            QSKIP("making a device node is not permitted here");
        }
        const auto closeReader = qScopeGuard([reader] { ::close(reader); });
        QString refused;
        try {
            writeHistoryCsv(history.games, csv);
        } catch (const Error &e) {
            refused = e.message();
        }
        QVERIFY2(refused.isEmpty() == (target == "pipe"_L1), qPrintable(refused));
        QVERIFY2(target != "file"_L1 || refused.contains(u"No space left on device"_s), qPrintable(refused));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(csv).constData(), &st), 0);
        QCOMPARE(int(st.st_mode & S_IFMT), target == "file"_L1 ? S_IFREG : target == "pipe"_L1 ? S_IFIFO : S_IFCHR);
        QByteArray received;
        char buffer[4096];
        for (qint64 n; reader >= 0 && (n = ::read(reader, buffer, sizeof buffer)) > 0;)
            received.append(buffer, n);
        const QByteArray expected = target == "pipe"_L1 ? fileBytes(plain) : QByteArray(); // a device: nothing
        QCOMPARE(target == "file"_L1 ? fileBytes(csv) : received, target == "file"_L1 ? "old"_ba : expected);
    }

    void streak_wrongDayCount_data()
    {
        QTest::addColumn<StreakRow>("row");
        const qint64 now = utc("2026-05-10T12:00:00Z"), day = 86400000, may9 = utc("2026-05-09T09:00:00Z");
        QTest::newRow("none") << StreakRow{{}, 0, now, 0};
        QTest::newRow("today and the two days before")
            << StreakRow{{may9 - day, may9, may9 + day, may9 + day + 3600000}, 0, now, 3};
        QTest::newRow("not yet today: yesterday's streak holds") << StreakRow{{may9 - day, may9}, 0, now, 2};
        QTest::newRow("a day missed") << StreakRow{{may9 - 2 * day, may9}, 0, now, 1};
        // 23:50 and 00:10 in Shanghai: two local days, though one UTC day.
        QTest::newRow("across local midnight, UTC+8")
            << StreakRow{{utc("2026-05-09T15:50:00Z"), utc("2026-05-09T16:10:00Z")}, 8, utc("2026-05-09T16:20:00Z"), 2};
        // 20:00 and 22:00 in New York are one local day, though two UTC days.
        QTest::newRow("one local day over UTC midnight, UTC-5") << StreakRow{
            {utc("2026-05-10T01:00:00Z"), utc("2026-05-10T03:00:00Z")}, -5, utc("2026-05-10T04:00:00Z"), 1};
    }
    void streak_wrongDayCount()
    {
        QFETCH(StreakRow, row);
        const QTimeZone zone(row.offsetH * 3600);
        for (qint64 start : row.starts)
            QVERIFY(history.games.record(sampleGame(start, utcOffsetAt(start, zone))));
        const ProgressSummary sum = history.games.summary(localToday(row.now, zone));
        QCOMPARE(sum.streakDays, row.days);
        // Every game 60 s at speed 3 with 3 hits of 4 entries: the totals and each game's accuracy.
        const double n = double(row.starts.size());
        QCOMPARE((QList<double>{double(sum.games), double(sum.seconds), sum.bestSpeed, sum.averageLast10.value_or(-1)}),
                 (QList<double>{n, 60 * n, n ? 3 : 0, n ? 3 : -1}));
        for (const GamePoint &p : history.games.points(0))
            QCOMPARE(p.accuracy, std::optional<double>(0.75));
    }

    // The chart by day: each local day once, in calendar order, with its games' mean and best speed
    // and the mean accuracy of those that had an entry.
    void byDay_wrongDayOrFigure_data()
    {
        QTest::addColumn<QList<GamePoint>>("games");
        QTest::addColumn<QStringList>("days"); // yyyy-MM-dd games mean best accuracy
        const qint64 may9 = utc("2026-05-09T09:00:00Z"), hour = 3600000;
        QList<GamePoint> twelve;
        for (int i = 0; i < 12; ++i)
            twelve.append({may9 + i * 600000, 10.0 + i, 0.5 + i / 100.0, 0});
        QTest::newRow("one game") << QList<GamePoint>{{may9, 20, 0.9, 0}} << QStringList{u"2026-05-09 1 20 20 0.9"_s};
        QTest::newRow("twelve games of one day") << twelve << QStringList{u"2026-05-09 12 15.5 21 0.555"_s};
        QTest::newRow("local midnight, UTC+8: two days")
            << QList<GamePoint>{{utc("2026-05-09T15:50:00Z"), 10, 1.0, 8 * 3600},
                                {utc("2026-05-09T16:10:00Z"), 30, 0.5, 8 * 3600}}
            << QStringList{u"2026-05-09 1 10 10 1"_s, u"2026-05-10 1 30 30 0.5"_s};
        QTest::newRow("a game without an entry has no accuracy to count")
            << QList<GamePoint>{{may9, 0, std::nullopt, 0}, {may9 + hour, 12, 0.5, 0}}
            << QStringList{u"2026-05-09 2 6 12 0.5"_s};
        QTest::newRow("a day without any entry has none")
            << QList<GamePoint>{{may9, 0, std::nullopt, 0}} << QStringList{u"2026-05-09 1 0 0 -"_s};
        QTest::newRow("played abroad on an earlier local day")
            << QList<GamePoint>{{may9, 10, 1.0, 0}, {may9 + hour, 20, 1.0, -12 * 3600}}
            << QStringList{u"2026-05-08 1 20 20 1"_s, u"2026-05-09 1 10 10 1"_s};
    }
    void byDay_wrongDayOrFigure()
    {
        QFETCH(QList<GamePoint>, games);
        QStringList days;
        for (const DayPoint &d : byDay(std::vector<GamePoint>(games.begin(), games.end())))
            days << u"%1 %2 %3 %4 %5"_s.arg(QDate(1970, 1, 1).addDays(d.day).toString(Qt::ISODate))
                        .arg(d.games)
                        .arg(d.meanSpeed)
                        .arg(d.bestSpeed)
                        .arg(d.meanAccuracy ? QString::number(*d.meanAccuracy) : u"-"_s);
        QTEST(days, "days");
    }

    // Read at the start over the window's defaults; OK keeps what is in force.
    void keptSettings_wrongValueOrSilentFallback_data()
    {
        QTest::addColumn<KeptRow>("row");
        const QList<int> defaults{8, 1, 999};
        QTest::newRow("no file") << KeptRow{{}, defaults, 0};
        QTest::newRow("kept") << KeptRow{"[practice]\nspeedLevel=2\nrangeFrom=5\nrangeTo=5\n", {2, 5, 5}, 0};
        QTest::newRow("speed not a level")
            << KeptRow{"[practice]\nspeedLevel=7\nrangeFrom=3\nrangeTo=9\n", {8, 3, 9}, 1};
        QTest::newRow("range reversed") << KeptRow{
            "[practice]\nspeedLevel=4\nrangeFrom=9\nrangeTo=3\n", {4, 1, 999}, 1};
        QTest::newRow("letters") << KeptRow{"[practice]\nspeedLevel=x\nrangeFrom=abc\nrangeTo=5\n", defaults, 2};
        QTest::newRow("beyond 16 bits") << KeptRow{"[practice]\nrangeFrom=-30000\nrangeTo=40000\n", defaults, 1};
        QTest::newRow("16-bit edges") << KeptRow{
            "[practice]\nrangeFrom=-32768\nrangeTo=32767\n", {8, -32768, 32767}, 0};
        QTest::newRow("one end only") << KeptRow{"[practice]\nrangeTo=5\n", defaults, 1};
        QTest::newRow("just under 1 MiB") // 1000 bytes under: room for what is written below
            << KeptRow{"[practice]\nspeedLevel=2\n;"_ba.leftJustified(1024 * 1024 - 1000, ';'), {2, 1, 999}, 0};
        QTest::newRow("other group only") << KeptRow{"[config]\nspeedLevel=2\n", defaults, 0};
        QTest::newRow("cannot be written") << KeptRow{"under a file", defaults, 0};
        // With the list 课本 in the history.
        QTest::newRow("word set kept") << KeptRow{"[practice]\nwordSet=level:3\n", defaults, 0, u"level:3"_s};
        QTest::newRow("level 7") << KeptRow{"[practice]\nwordSet=level:7\n", defaults, 1};
        QTest::newRow("HSK 3.0 band kept") << KeptRow{"[practice]\nwordSet=hsk3:7\n", defaults, 0, u"hsk3:7"_s};
        QTest::newRow("HSK 3.0 level 8") << KeptRow{"[practice]\nwordSet=hsk3:8\n", defaults, 1};
        QTest::newRow("list without a name") << KeptRow{"[practice]\nwordSet=list:\n", defaults, 1};
        QTest::newRow("own list kept") << KeptRow{"[practice]\nwordSet=list:课本\n", defaults, 0, u"list:课本"_s};
        QTest::newRow("own list gone") << KeptRow{"[practice]\nwordSet=list:旧\n", defaults, 0};
        // Read no further than config.dat is, and never rewritten.
        QTest::newRow("larger than 1 MiB")
            << KeptRow{"[practice]\nspeedLevel=2\nsound=true\n"_ba + QByteArray(1024 * 1024, ';'), defaults, 1};
        const QByteArray answer = "[practice]\nanswer=Pinyin\ntones=required\nhints=late\ntoneColours=false\n";
        QTest::newRow("answer kept") << KeptRow{answer, defaults, 0, u"range"_s, u"pinyin required late false"_s};
        QTest::newRow("answer misspelt")
            << KeptRow{"[practice]\nanswer=pin yin\ntones=yes\nhints=1\ntoneColours=no\n", defaults, 4};
    }
    void keptSettings_wrongValueOrSilentFallback()
    {
        QFETCH(KeptRow, row);
        history.lists.save(u"课本"_s, {{u"词"_s, {}, {}}}, false);
        const bool inFolder = row.ini != "under a file", writable = inFolder && row.ini.size() <= 1024 * 1024;
        const QString file = folder->file(inFolder ? u"trenix.conf"_s : QLatin1String(kStoreFile) + u"/trenix.conf"_s);
        if (inFolder && !row.ini.isNull())
            folder->writeFile(u"trenix.conf"_s, row.ini);
        QStringList lines;
        PlayerSettings(file).read({}, &lines);
        QCOMPARE(lines.size(), row.warnings);
        applyKeptSettings(*core, PlayerSettings(file), history.lists);
        QCOMPARE(core->playerName, PlayerSettings(file).playerName()); // the account's name here
        QCOMPARE((QList<int>{GlVexM.speedLevel, GlVexM.wordFrom, GlVexM.wordTo, core->pictScroll.Interval}),
                 row.kept + QList<int>{row.kept[0] * 1000});
        QCOMPARE(core->wordSet.value(), row.set);
        const auto answer = [](const AnswerSettings &a) {
            return QStringList{a.modeName(), a.tonesName(), a.hintsName(), a.toneColours ? u"true"_s : u"false"_s}
                .join(u' ');
        };
        QCOMPARE(answer(core->answer), row.answer);
        GlVexM.speedLevel = 10;
        GlVexM.wordTo = 1234;
        const QString listSet = u"list:课 本, \"二\";三\\"_s; // what an INI file could read as a list or a comment
        const AnswerSettings chosen{AnswerMode::Pinyin, ToneRule::Required, HintMode::Always, false};
        const QString told = keepCurrentSettings(PlayerSettings(file), *WordSet::parse(listSet), chosen);
        QCOMPARE(told.contains(file), !writable);
        QVERIFY2(writable || told.contains(inFolder ? u"larger than 1 MiB"_s : u"cannot be made"_s), qPrintable(told));
        const PracticeChoices kept = PlayerSettings(file).read({}, nullptr);
        QCOMPARE((QList<int>{kept.speedLevel, kept.wordTo}), (writable ? QList<int>{10, 1234} : QList<int>{8, 999}));
        QCOMPARE(kept.wordSet.value(), writable ? listSet : u"range"_s);
        QCOMPARE(answer(kept.answer), writable ? answer(chosen) : answer({}));
        // The sound switch and the player's name, kept beside the rest, which stays; a file over 1 MiB is not read.
        QCOMPARE(PlayerSettings(file).soundOn(), false);
        if (!writable) {
            try {
                PlayerSettings(file).keepSound(true);
                QFAIL("the sound switch was kept");
            } catch (const Error &e) {
                QVERIFY2(e.message().contains(inFolder ? u"larger than 1 MiB"_s : u"cannot be made"_s),
                         qPrintable(e.message()));
            }
            return;
        }
        PlayerSettings(file).keepPlayerName(u" Wang, Ming "_s);
        PlayerSettings(file).keepSound(true);
        QCOMPARE((QStringList{PlayerSettings(file).playerName(), PlayerSettings(file).soundOn() ? u"on"_s : u"off"_s}),
                 (QStringList{u"Wang, Ming"_s, u"on"_s}));
        PlayerSettings(file).keepPlayerName(QString()); // an emptied box gives the account's name back
        QCOMPARE(PlayerSettings(file).playerName(), accountFullName());
        QCOMPARE(PlayerSettings(file).read({}, nullptr).wordSet.value(), listSet);
    }
};

QTEST_GUILESS_MAIN(TestProgress)
#include "tst_progress.moc"
