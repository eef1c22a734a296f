// The practice store under faults after it has opened: what the player is told,
// and that every dictionary is still whole.
#include "GameCore.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSet>
#include <QTest>
#include <QThread>

#include <signal.h>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
// The integrity check, and per dictionary table its row count and a digest of its rows.
using Health = QMap<QString, QPair<qint64, QByteArray>>;

Health health(const QString &path)
{
    Store store(path, kStorePassword, Store::Mode::ReadWrite);
    Statement check = store.prepare(QStringLiteral("pragma integrity_check"));
    Health h{{QStringLiteral("integrity"), {0, check.next() ? check.text(0).toUtf8() : QByteArray()}}};
    QStringList names;
    for (Statement t = store.prepare(QStringLiteral("select name from sqlite_master where type='table' and name like 'zidian%'")); t.next();)
        names << t.text(0);
    for (const QString &name : std::as_const(names)) {
        Statement rows = store.prepare(QStringLiteral("select * from %1 order by xh").arg(name));
        QCryptographicHash hash(QCryptographicHash::Sha256);
        qint64 count = 0;
        for (; rows.next(); ++count)
            for (int c = 0; c < 6; ++c)
                hash.addData(rows.value(c).toString().toUtf8() + '\x1f');
        h.insert(name, {count, hash.result()});
    }
    return h;
}

enum Fault { DiskFull, ReadOnly, Locked };
} // namespace

class TestStoreFaults : public QObject, GameFixture {
    Q_OBJECT

    void openGame(const QString &path)
    {
        GlVexM.storeConn = Store(path, kStorePassword, Store::Mode::ReadWrite);
        loadCore();
    }

    void closeGame()
    {
        core.reset();
        GlVexM.storeConn.close();
    }

    // An empty text once the helper is ready, else what it wrote to stderr.
    QString startHelper(QProcess &helper, const QString &mode)
    {
        helper.start(QStringLiteral(TRENIX_KILLME), {mode, folder->path()});
        const bool ready = helper.waitForStarted() && helper.waitForReadyRead(60000) && helper.readLine().trimmed() == "ready";
        return ready ? QString() : QStringLiteral("not ready: ") + QString::fromLocal8Bit(helper.readAllStandardError());
    }

    // After the fault: the store is whole, its dictionaries as before, and the next
    // game draws every word of the range once and takes a hit.
    void verifyIntactAndPlayable(const QString &path, const Health &before)
    {
        QCOMPARE(health(path), before);
        openGame(path);
        const qint64 rangeSize = core->practice().countRange(2, 1, 999);
        core->Label3_Click();
        QVERIFY2(!core->screen.lbmessageVisible, qPrintable(core->screen.lbmessage));
        QSet<QString> words{QString()}; // an empty caption adds nothing
        for (size_t i = 1; i < core->Label1.size(); ++i)
            words.insert(core->Label1[i].Caption);
        QCOMPARE(qint64(core->Label1.size()) - 1, rangeSize);
        QCOMPARE(qint64(words.size()) - 1, rangeSize);
        QVERIFY(core->Label1[1].Visible);
        core->screen.TxT = core->Label1[1].Caption;
        core->TxT_KeyUp(GameCore::kKeyEnter, 0);
        QCOMPARE(core->rightCount, qint64(1));
        closeGame();
    }

private slots:
    void init()
    {
        resetAll(&clock, &dialogs, &random);
        GlVexM.wordFrom = 1;
        GlVexM.wordTo = 999;
        GlVexM.languageCode = 2;
    }
    void cleanup() { stop(); }

    void kill_midWriteLosesDictionaryOrNextGame_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("killed during game starts") << QStringLiteral("start");
        QTest::newRow("killed during landings") << QStringLiteral("land");
    }
    void kill_midWriteLosesDictionaryOrNextGame()
    {
        QFETCH(QString, mode);
        folder = std::make_unique<ProgramFolder>();
        folder->copyFromBuild({QLatin1String(kStoreFile), QLatin1String(kLanguageFile)});
        folder->install();
        const QString path = folder->file(QLatin1String(kStoreFile));
        const Health original = health(path);
        QVERIFY(original.contains(QStringLiteral("zidian2")));
        QCOMPARE(original[QStringLiteral("integrity")].second, QByteArray("ok"));
        for (int round = 0; round < 3; ++round) {
            QProcess helper;
            QCOMPARE(startHelper(helper, mode), QString());
            QThread::msleep(QRandomGenerator::global()->bounded(400));
            QVERIFY2(helper.state() == QProcess::Running, qPrintable(QString::fromLocal8Bit(helper.readAllStandardError())));
            ::kill(pid_t(helper.processId()), SIGKILL);
            QVERIFY(helper.waitForFinished());
            QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
            const QList<QByteArray> told = helper.readAllStandardOutput().trimmed().split('\n');
            if (mode == QLatin1String("land")) { // no landing told is lost, only those under way
                const bool restarting = told.last() == "restart"; // the old pile, or the next game's empty one
                const qint64 landed = told.at(told.size() - (restarting ? 2 : 1)).toInt(); // "ready" reads as 0
                Store store(path, kStorePassword, Store::Mode::ReadWrite);
                Statement pile = store.prepare(QStringLiteral("select count(*) from trenix where ishold=1"));
                QVERIFY(pile.next());
                const qint64 kept = pile.integer(0);
                QVERIFY2(kept >= landed || (restarting && kept == 0), qPrintable(u"%1 on the pile after %2"_s.arg(kept).arg(landed)));
            }
            verifyIntactAndPlayable(path, original);
        }
    }

    void storeFault_untoldHangsOrDamages_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("atLanding");
        QTest::addColumn<QString>("reason"); // what the message says besides the path
        QTest::newRow("disk full at game start") << int(DiskFull) << false << QStringLiteral("the disk is full");
        QTest::newRow("disk full at a landing") << int(DiskFull) << true << QStringLiteral("the disk is full");
        QTest::newRow("read-only at game start") << int(ReadOnly) << false << QStringLiteral("read-only");
        QTest::newRow("exclusive lock, game start") << int(Locked) << false << QStringLiteral("in use by another program");
    }
    void storeFault_untoldHangsOrDamages()
    {
        QFETCH(int, fault);
        QFETCH(bool, atLanding);
        QFETCH(QString, reason);
        folder = gameFolder({{2, numberedEntries(300, QStringLiteral("词"))}, {3, numberedEntries(40)}}, 1, 999);
        QString path = folder->file(QLatin1String(kStoreFile));
        QTemporaryDir disk; // a small tmpfs for the file-system faults
        const auto mount = [&](QStringList args) { return QProcess::execute(QStringLiteral("mount"), args << disk.path()) == 0; };
        bool mounted = false;
        const auto unmount = qScopeGuard([&] {
            closeGame();
            if (mounted)
                QProcess::execute(QStringLiteral("umount"), {disk.path()});
        });
        if (fault == DiskFull || fault == ReadOnly) {
            if (!(mounted = mount({"-t", "tmpfs", "-o", fault == DiskFull ? "size=1m" : "size=8m", "tmpfs"})))
                QSKIP("mounting a tmpfs is not permitted here");
            QVERIFY(QFile::copy(path, disk.filePath(QLatin1String(kStoreFile))));
            path = disk.filePath(QLatin1String(kStoreFile));
        }
        const Health before = health(path);
        openGame(path);
        if (atLanding) { // a field two words high, one tick before the first landing
            core->setFieldSize(11625, 2 * GameCore::kFallStep);
            core->Label3_Click();
            QVERIFY2(!core->screen.lbmessageVisible, qPrintable(core->screen.lbmessage));
            core->pictScroll_Timer();
            QCOMPARE(core->Label1[1].Top, GameCore::kFallStep);
        }
        QProcess holder;
        QFile filler(disk.filePath(QStringLiteral("filler"))), probe(disk.filePath(QStringLiteral("probe")));
        if (fault == DiskFull) { // written until not even a byte is left
            QVERIFY(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'f')) == 4096) {}
            filler.close();
            QVERIFY(!probe.open(QIODevice::WriteOnly) || probe.write("x", 1) != 1 || !probe.flush());
        } else if (fault == ReadOnly) { // the file system turns read-only under a running program
            core->practice().clearCache();
            GlVexM.storeConn.close();
            QVERIFY(mount({"-o", "remount,ro"}));
            GlVexM.storeConn = Store(path, kStorePassword, Store::Mode::ReadWrite);
        } else {
            QCOMPARE(startHelper(holder, QStringLiteral("lock")), QString());
        }
        QString message;
        if (atLanding) {
            try {
                core->pictScroll_Timer();
            } catch (const Error &e) {
                QCOMPARE(e.kind(), ErrorKind::StoreWrite);
                message = e.message();
            }
        } else {
            core->Label3_Click();
            QVERIFY(core->screen.lbmessageVisible);
            message = core->screen.lbmessage;
        }
        QVERIFY2(message.contains(path) && message.contains(reason), qPrintable(message));
        closeGame();
        if (fault == DiskFull) // still full: the dictionaries as before
            QCOMPARE(health(path), before);
        if (atLanding) { // the refused landing left nothing behind
            Store store(path, kStorePassword, Store::Mode::ReadOnly);
            Statement held = store.prepare(QStringLiteral("select count(*) from trenix where ishold=1"));
            QVERIFY(held.next());
            QCOMPARE(held.integer(0), qint64(0));
        }
        QVERIFY(fault != ReadOnly || mount({"-o", "remount,rw"}));
        holder.kill();
        holder.waitForFinished();
        filler.remove();
        verifyIntactAndPlayable(path, before);
    }
};

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "tst_storefaults.moc"
