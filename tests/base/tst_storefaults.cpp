// SPDX-License-Identifier: GPL-3.0-or-later
// The practice store under faults after it has opened: what the player is told, and that every dictionary is still
// whole.
#include "CsvWriter.h"
#include "Startup.h"
#include "TestSupport.h"

#include <QRandomGenerator>
#include <optional>

#include <signal.h>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
// One column of every row of these statements on the store at path.
QStringList rows(const QString &path, const QStringList &statements)
{
    Store store(path, kStorePassword, Store::Mode::ReadWrite);
    QStringList out;
    for (const QString &sql : statements)
        out << firstColumn(store, sql);
    return out;
}
const QString kRow = u"select quote(xh)||quote(cz)||quote(py)||quote(yw)||quote(sm)||quote(yd) from %1 order by xh"_s;
const QStringList kHealth{u"pragma integrity_check"_s, kRow.arg(u"zidian2"_s),
                          kRow.arg(u"zidian3"_s)}; // every dictionary row
const QString kHeld = u"select count(*) from trenix where ishold=1"_s;
} // namespace

class TestStoreFaults : public QObject, GameFixture {
    Q_OBJECT

    // After the fault: the store is whole, and the next game draws every word of the range once and takes a hit.
    void verifyIntactAndPlayable(const QString &path, const QStringList &before)
    {
        QCOMPARE(rows(path, kHealth), before);
        GlVexM.storeConn = Store(path, kStorePassword, Store::Mode::ReadWrite);
        loadCore();
        core->Label3_Click();
        QStringList words = captions();
        words.sort();
        QCOMPARE(words, rows(path, {u"select cz from zidian2 order by cz"_s}));
        type(core->Label1[1].Caption);
        QCOMPARE(core->rightCount, qint64(1));
        core.reset();
        GlVexM.storeConn.close();
    }

private slots:
    void init() { folder = gameFolder({{2, numberedEntries(300, u"词"_s)}, {3, numberedEntries(40)}}, 1, 999); }
    void cleanup() { stop(); }

    void kill_midWriteLosesDictionaryOrNextGame_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("killed during game starts") << u"start"_s;
        QTest::newRow("killed during landings") << u"land"_s;
    }
    void kill_midWriteLosesDictionaryOrNextGame()
    {
        QFETCH(QString, mode);
        GlVexM.storeConn.close(); // the helper's store alone
        const QString path = folder->file(QLatin1String(kStoreFile));
        const QStringList original = rows(path, kHealth);
        for (int round = 0; round < 3; ++round) {
            QProcess helper;
            QCOMPARE(startKillme(helper, mode, folder->path()), QString());
            QTest::qSleep(QRandomGenerator::global()->bounded(400));
            QCOMPARE(::kill(pid_t(helper.processId()), SIGKILL), 0);
            QVERIFY(helper.waitForFinished());
            QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
            // No landing told is lost, only the one under way; after "restart" the pile may be the next game's empty
            // one.
            const QList<QByteArray> told = helper.readAllStandardOutput().trimmed().split('\n');
            const bool restarting = told.last() == "restart";
            const qint64 landed = told.at(told.size() - (restarting ? 2 : 1)).toInt(); // "" reads as 0
            const qint64 kept = rows(path, {kHeld})[0].toInt();
            QVERIFY2(kept >= landed || (restarting && kept == 0),
                     qPrintable(u"%1 on the pile after %2"_s.arg(kept).arg(landed)));
            verifyIntactAndPlayable(path, original);
        }
    }

    void storeFault_untoldHangsOrDamages_data()
    {
        QTest::addColumn<bool>("locked"); // another program holds the store; else the disk is full
        QTest::addColumn<bool>("atLanding");
        QTest::newRow("disk full at game start") << false << false;
        QTest::newRow("disk full at a landing") << false << true;
        QTest::newRow("exclusive lock, game start") << true << false;
    }
    void storeFault_untoldHangsOrDamages()
    {
        QFETCH(bool, locked);
        QFETCH(bool, atLanding);
        QString path = folder->file(QLatin1String(kStoreFile));
        std::optional<SmallDisk> disk; // filled up
        if (!locked) {
            if (!disk.emplace().mounted())
                QSKIP("mounting a tmpfs is not permitted here");
            QVERIFY(QFile::copy(path, disk->filePath(QLatin1String(kStoreFile))));
            path = disk->filePath(QLatin1String(kStoreFile));
        }
        const QStringList before = rows(path, kHealth);
        GlVexM.storeConn = Store(path, kStorePassword, Store::Mode::ReadWrite);
        loadCore();
        if (atLanding) { // a field two words high, one tick before the first landing
            core->setFieldSize(11625, 2 * GameCore::kFallStep);
            core->Label3_Click();
            core->pictScroll_Timer();
            QCOMPARE(core->Label1[1].Top, GameCore::kFallStep);
        }
        QProcess holder;
        if (locked)
            QCOMPARE(startKillme(holder, u"lock"_s, folder->path()), QString());
        else
            disk->fill(); // until not a page is left
        QString message = u"no error"_s;
        try {
            atLanding ? core->pictScroll_Timer() : core->Label3_Click();
            message = core->screen.lbmessageVisible ? core->screen.lbmessage : message;
        } catch (const Error &e) {
            QCOMPARE((QList<int>{atLanding, int(e.kind())}), (QList<int>{true, int(ErrorKind::StoreWrite)}));
            message = e.message();
        }
        QVERIFY2(message.contains(path + (locked ? u": the file is in use"_s : u": the disk is full"_s)),
                 qPrintable(message));
        core.reset();
        GlVexM.storeConn.close();
        holder.close(); // kills it
        if (disk)
            disk->emptyAgain();
        QCOMPARE(rows(path, {kHeld}), QStringList{u"0"_s}); // a refused landing leaves nothing behind
        verifyIntactAndPlayable(path, before);
    }

    // Copied to a read-only file system (a lab's share): the practice store a kill left on its journal still opens,
    // and the start says the file is read-only; the history at rest is read by the command line.
    void readOnlyPlace_storeOrHistoryUnreadable()
    {
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP("mounting a tmpfs is not permitted here");
        const QString store = disk.filePath(QLatin1String(kStoreFile)),
                      kept = disk.filePath(QLatin1String(kHistoryFile));
        useWriteAheadJournal(GlVexM.storeConn); // the files as the kill left them, the journal holding a write
        GlVexM.storeConn.exec(u"update zidian2 set py = py || '' where xh = 1"_s);
        for (const char *suffix : {"", "-wal", "-shm"})
            QVERIFY(QFile::copy(folder->file(QLatin1String(kStoreFile)) + QLatin1String(suffix),
                                store + QLatin1String(suffix)));
        GlVexM.storeConn.close();
        history.file.open(kept);
        QVERIFY(history.games.record(sampleGame(wallClock.now)));
        history.file.close();
        QVERIFY(disk.mount({u"-o"_s, u"remount,ro"_s}));
        QVERIFY_THROWS_NO_EXCEPTION(ensurePracticeStore(store));
        loadCore();
        core->Label3_Click();
        QVERIFY2(core->screen.lbmessage.contains(u"read-only"_s), qPrintable(core->screen.lbmessage));
        History reader(wallClock); // the history at rest, exported by the command line
        QVERIFY_THROWS_NO_EXCEPTION(openHistoryToRead(reader, kept, QString()));
        QCOMPARE(writeHistoryCsv(reader.games, folder->file(u"out.csv"_s)), qint64(1));
    }
};

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "tst_storefaults.moc"
