// The practice store under faults after it has opened: a kill in the middle of a
// write, a full disk, a read-only file, a lock held by another process and a
// damaged schema. Every case checks what the player is told and that every
// dictionary is still whole.
#include "GameCore.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <QSet>
#include <signal.h>
#include <memory>

using namespace trenix;
using namespace trenix::test;

namespace {

constexpr qint64 kWordWidth = 900;

// Row count and a digest of every row, per dictionary table.
using Dictionaries = QMap<QString, QPair<qint64, QByteArray>>;

struct Health {
    QString integrity;
    Dictionaries dictionaries;
};

Health inspect(Store &store)
{
    Health h;
    Statement check = store.prepare(QStringLiteral("pragma integrity_check"));
    while (check.next())
        h.integrity += check.text(0);
    Statement tables = store.prepare(QStringLiteral(
        "select name from sqlite_master where type='table' and name like 'zidian%' order by name"));
    QStringList names;
    while (tables.next())
        names << tables.text(0);
    for (const QString &name : std::as_const(names)) {
        // The table name comes from the store's own catalogue, not from input.
        Statement rows = store.prepare(QStringLiteral("select * from %1 order by xh").arg(name));
        QCryptographicHash hash(QCryptographicHash::Sha256);
        qint64 count = 0;
        while (rows.next()) {
            ++count;
            for (int c = 0; c < 6; ++c)
                hash.addData(rows.value(c).toString().toUtf8() + '\x1f');
        }
        h.dictionaries.insert(name, {count, hash.result()});
    }
    return h;
}

Health inspect(const QString &path)
{
    Store store(path, kStorePassword, Store::Mode::ReadWrite);
    return inspect(store);
}

QString describe(const Dictionaries &d)
{
    QStringList parts;
    for (auto it = d.begin(); it != d.end(); ++it)
        parts << QStringLiteral("%1: %2 rows").arg(it.key()).arg(it.value().first);
    return parts.join(QStringLiteral(", "));
}

struct Recorder : GameView {};

// A small tmpfs; nothing is mounted when the system does not allow it.
class Mount {
public:
    bool mount(const QString &options)
    {
        if (!m_dir.isValid())
            return false;
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                                       QStringLiteral("tmpfs"), m_dir.path()}) == 0;
        return m_mounted;
    }
    bool remount(const QString &options)
    {
        return QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,") + options,
                                                           m_dir.path()}) == 0;
    }
    ~Mount()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    QString file(const QString &name) const { return m_dir.filePath(name); }
private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// Writes until the file system refuses; the filler keeps every free byte.
bool fillUp(const QString &path)
{
    QFile filler(path);
    if (!filler.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {}
    filler.close();
    // A last small write proves nothing is left.
    QFile probe(path + QStringLiteral(".probe"));
    return !probe.open(QIODevice::WriteOnly) || probe.write("x", 1) != 1 || !probe.flush();
}

} // namespace

class TestStoreFaults : public QObject {
    Q_OBJECT

    FakeClock clock;
    ScriptedDialogs dialogs;
    Random random;
    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<GameCore> core;
    Recorder view;

    // Opens the store at `path` as the program's one connection and makes a game on it.
    void openGame(const QString &path, qint16 from = 1, qint16 to = 999)
    {
        core.reset();
        GlVexM.storeConn = Store(path, kStorePassword, Store::Mode::ReadWrite);
        GlVexM.wordFrom = from;
        GlVexM.wordTo = to;
        GlVexM.languageCode = 2;
        random.seed(11);
        core = std::make_unique<GameCore>(GlVexM.storeConn, [](const QString &) { return kWordWidth; });
        core->setView(&view);
        core->load();
    }

    void closeGame()
    {
        core.reset();
        GlVexM.storeConn.close();
    }

    // A fresh folder with the language store and a small practice store.
    void makeFolder(int words = 300)
    {
        folder = std::make_unique<ProgramFolder>();
        folder->copyFromBuild({QLatin1String(kLanguageFile)});
        folder->makePracticeStore({{2, numberedEntries(words, QStringLiteral("词"))},
                                   {3, numberedEntries(40, QStringLiteral("詞"))}});
        folder->install();
    }

    // After the fault: the store is whole, its dictionaries as before, and a new game plays.
    void verifyIntactAndPlayable(const QString &path, const Dictionaries &before, qint64 rangeSize)
    {
        const Health after = inspect(path);
        QCOMPARE(after.integrity, QStringLiteral("ok"));
        QVERIFY2(after.dictionaries == before,
                 qPrintable(QStringLiteral("dictionaries changed: before %1, after %2")
                                .arg(describe(before), describe(after.dictionaries))));

        openGame(path);
        core->Label3_Click();
        QVERIFY2(!core->screen.lbmessageVisible, qPrintable(core->screen.lbmessage));
        QCOMPARE(qint64(core->Label1.size()) - 1, rangeSize);
        QSet<QString> words;
        for (size_t i = 1; i < core->Label1.size(); ++i)
            words.insert(core->Label1[i].Caption);
        QVERIFY2(!words.contains(QString()), "a word label got no word");
        QCOMPARE(qint64(words.size()), rangeSize);
        Statement undrawn = GlVexM.storeConn.prepare(QStringLiteral("select count(*) from trenix where flag=0"));
        QVERIFY(undrawn.next());
        QCOMPARE(undrawn.integer(0), qint64(0));

        // The first word can be hit.
        const QString first = core->Label1[1].Visible ? core->Label1[1].Caption : QString();
        QVERIFY(!first.isEmpty());
        core->screen.TxT = first;
        core->TxT_KeyUp(GameCore::kKeyEnter, 0);
        QCOMPARE(core->rightCount, qint64(1));
        closeGame();
    }

    // Starts a game on a field two words high and stops one tick before the first landing.
    void toTheTickBeforeALanding()
    {
        core->setFieldSize(11625, 2 * GameCore::kFallStep);
        core->Label3_Click();
        QVERIFY2(!core->screen.lbmessageVisible, qPrintable(core->screen.lbmessage));
        core->pictScroll_Timer();
        QVERIFY(core->Label1[1].falling());
        QCOMPARE(core->Label1[1].Top, GameCore::kFallStep);
    }

    // The next tick lands a word; it must fail with a clear message and record nothing.
    void expectLandingRefused(const QString &path, const QString &reason)
    {
        bool threw = false;
        try {
            core->pictScroll_Timer();
        } catch (const Error &e) {
            threw = true;
            QCOMPARE(e.kind(), ErrorKind::StoreWrite);
            QVERIFY2(e.message().contains(path) && e.message().contains(reason), qPrintable(e.message()));
        }
        QVERIFY2(threw, "the landing failed without telling anybody");
        closeGame();
        Store store(path, kStorePassword, Store::Mode::ReadOnly);
        Statement held = store.prepare(QStringLiteral("select count(*) from trenix where ishold=1"));
        QVERIFY(held.next());
        QCOMPARE(held.integer(0), qint64(0));
    }

private slots:
    void init()
    {
        resetAll(&clock, &dialogs, &random);
        dialogs = ScriptedDialogs();
        view = Recorder();
    }

    void cleanup()
    {
        closeGame();
        resetModuleVariables();
        GlVexM.programFolder.clear();
        folder.reset();
    }

    void kill_midWriteLosesDictionaryOrNextGame_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("longestWaitMs");
        QTest::newRow("killed during game starts") << QStringLiteral("start") << 600;
        QTest::newRow("killed during landings") << QStringLiteral("land") << 300;
    }

    void kill_midWriteLosesDictionaryOrNextGame()
    {
        QFETCH(QString, mode);
        QFETCH(int, longestWaitMs);
        folder = std::make_unique<ProgramFolder>();
        folder->copyFromBuild({QLatin1String(kStoreFile), QLatin1String(kLanguageFile)});
        folder->install();
        const QString path = folder->file(QLatin1String(kStoreFile));
        const Health original = inspect(path);
        QCOMPARE(original.integrity, QStringLiteral("ok"));
        QVERIFY(original.dictionaries.contains(QStringLiteral("zidian2")));
        qint64 rangeSize = 0;
        {
            Store store(path, kStorePassword, Store::Mode::ReadOnly);
            rangeSize = PracticeStore(store).countRange(2, 1, 999);
        }
        QVERIFY(rangeSize > 0);

        constexpr int kKills = 8;
        int hotJournals = 0;
        for (int round = 0; round < kKills; ++round) {
            QProcess helper;
            helper.start(QStringLiteral(TRENIX_KILLME), {mode, folder->path()});
            QVERIFY2(helper.waitForStarted(), qPrintable(helper.errorString()));
            QVERIFY2(helper.waitForReadyRead(60000), qPrintable(QString::fromLocal8Bit(helper.readAllStandardError())));
            QCOMPARE(helper.readLine().trimmed(), QByteArray("ready"));
            QThread::msleep(QRandomGenerator::global()->bounded(longestWaitMs));
            QVERIFY2(helper.state() == QProcess::Running,
                     qPrintable(QString::fromLocal8Bit(helper.readAllStandardError())));
            ::kill(pid_t(helper.processId()), SIGKILL);
            QVERIFY(helper.waitForFinished());
            QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
            if (QFile::exists(path + QStringLiteral("-journal")))
                ++hotJournals;
            verifyIntactAndPlayable(path, original.dictionaries, rangeSize);
        }
        qInfo("%d of %d kills left an unfinished write behind", hotJournals, kKills);
    }

    void diskFull_storeDamagedOrNoMessage_data()
    {
        QTest::addColumn<bool>("atLanding");
        QTest::newRow("disk full at game start") << false;
        QTest::newRow("disk full at a landing") << true;
    }

    void diskFull_storeDamagedOrNoMessage()
    {
        QFETCH(bool, atLanding);
        makeFolder();
        Mount disk;
        if (!disk.mount(QStringLiteral("size=1m")))
            QSKIP("mounting a small tmpfs is not permitted here");
        const QString path = disk.file(QLatin1String(kStoreFile));
        QVERIFY(QFile::copy(folder->file(QLatin1String(kStoreFile)), path));
        const Dictionaries before = inspect(path).dictionaries;
        const QString filler = disk.file(QStringLiteral("filler"));

        openGame(path, 1, 300);
        if (atLanding) {
            toTheTickBeforeALanding();
            QVERIFY(fillUp(filler));
            expectLandingRefused(path, QStringLiteral("the disk is full"));
        } else {
            QVERIFY(fillUp(filler));
            core->Label3_Click();
            QVERIFY(core->screen.lbmessageVisible);
            QVERIFY2(core->screen.lbmessage.contains(path)
                         && core->screen.lbmessage.contains(QStringLiteral("the disk is full")),
                     qPrintable(core->screen.lbmessage));
            closeGame();
        }
        // Still full: the store opens and reads as before.
        QCOMPARE(inspect(path).dictionaries, before);
        QVERIFY(QFile::remove(filler));
        QFile::remove(filler + QStringLiteral(".probe"));
        verifyIntactAndPlayable(path, before, 300);
    }

    void readOnly_storeDamagedOrNoMessage_data()
    {
        QTest::addColumn<bool>("atLanding");
        QTest::newRow("read-only at game start") << false;
        QTest::newRow("read-only at a landing") << true;
    }

    void readOnly_storeDamagedOrNoMessage()
    {
        QFETCH(bool, atLanding);
        makeFolder();
        Mount disk;
        if (!disk.mount(QStringLiteral("size=8m")))
            QSKIP("mounting a tmpfs is not permitted here");
        const QString path = disk.file(QLatin1String(kStoreFile));
        QVERIFY(QFile::copy(folder->file(QLatin1String(kStoreFile)), path));
        const Dictionaries before = inspect(path).dictionaries;

        openGame(path, 1, 300);
        if (atLanding)
            toTheTickBeforeALanding();
        // The file system turns read-only under a running program.
        core->practice().clearCache();
        GlVexM.storeConn.close();
        QVERIFY(disk.remount(QStringLiteral("ro")));
        GlVexM.storeConn = Store(path, kStorePassword, Store::Mode::ReadWrite);
        if (atLanding) {
            expectLandingRefused(path, QStringLiteral("read-only"));
        } else {
            core->Label3_Click();
            QVERIFY(core->screen.lbmessageVisible);
            QVERIFY2(core->screen.lbmessage.contains(path) && core->screen.lbmessage.contains(QStringLiteral("read-only")),
                     qPrintable(core->screen.lbmessage));
            closeGame();
        }
        QVERIFY(disk.remount(QStringLiteral("rw")));
        verifyIntactAndPlayable(path, before, 300);
    }

    void locked_hangsOrDamagesStore_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::addColumn<bool>("atLanding");
        QTest::newRow("another writer, game start") << QStringLiteral("lock-write") << false;
        QTest::newRow("another writer, landing") << QStringLiteral("lock-write") << true;
        QTest::newRow("exclusive lock, game start") << QStringLiteral("lock-read") << false;
        QTest::newRow("exclusive lock, landing") << QStringLiteral("lock-read") << true;
    }

    void locked_hangsOrDamagesStore()
    {
        QFETCH(QString, lock);
        QFETCH(bool, atLanding);
        makeFolder();
        const QString path = folder->file(QLatin1String(kStoreFile));
        const Dictionaries before = inspect(path).dictionaries;

        openGame(path, 1, 300);
        if (atLanding)
            toTheTickBeforeALanding();
        QProcess holder;
        holder.start(QStringLiteral(TRENIX_KILLME), {lock, folder->path()});
        QVERIFY2(holder.waitForStarted(), qPrintable(holder.errorString()));
        QVERIFY2(holder.waitForReadyRead(60000), qPrintable(QString::fromLocal8Bit(holder.readAllStandardError())));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("ready"));

        if (atLanding) {
            expectLandingRefusedWhileLocked(path, holder);
        } else {
            core->Label3_Click();
            QVERIFY(core->screen.lbmessageVisible);
            QVERIFY2(core->screen.lbmessage.contains(path)
                         && core->screen.lbmessage.contains(QStringLiteral("in use by another program")),
                     qPrintable(core->screen.lbmessage));
            closeGame();
        }
        holder.kill();
        holder.waitForFinished();
        verifyIntactAndPlayable(path, before, 300);
    }

    void schemaDamage_crashesHidesCauseOrLosesDictionary_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("named");    // what the message must name
        QTest::addColumn<bool>("failsAtTick"); // only the pile needs it: the start goes through
        const QString practiceWithout = QStringLiteral(
            "drop table trenix; create table trenix (id integer primary key, sm text, yd text, xh integer, cz text,"
            " py text, yw text%1 lleft integer, ltop integer, lwidth integer);");
        QTest::newRow("practice list missing") << QStringLiteral("drop table trenix") << QStringLiteral("trenix") << false;
        QTest::newRow("practice list without flag")
            << practiceWithout.arg(QStringLiteral(", ishold integer not null default 0,")) << QStringLiteral("flag") << false;
        QTest::newRow("practice list without ishold")
            << practiceWithout.arg(QStringLiteral(", flag integer not null default 0,")) << QStringLiteral("ishold") << true;
        QTest::newRow("dictionary without py")
            << QStringLiteral("drop table zidian2; create table zidian2 (xh integer primary key, cz text, yw text, sm text, yd text);"
                              "insert into zidian2 (xh, cz) values (1, 'a'), (2, 'b')")
            << QStringLiteral("py") << false;
    }

    void schemaDamage_crashesHidesCauseOrLosesDictionary()
    {
        QFETCH(QString, damage);
        QFETCH(QString, named);
        QFETCH(bool, failsAtTick);
        makeFolder();
        const QString path = folder->file(QLatin1String(kStoreFile));
        {
            Store store(path, kStorePassword, Store::Mode::ReadWrite);
            store.exec(damage);
        }
        const Dictionaries before = inspect(path).dictionaries;

        openGame(path, 1, 300);
        // The start command never lets a store error out.
        core->Label3_Click();
        if (failsAtTick) {
            QVERIFY2(!core->screen.lbmessageVisible, qPrintable(core->screen.lbmessage));
            QString message;
            try {
                core->pictScroll_Timer();
            } catch (const Error &e) {
                message = e.message();
            }
            QVERIFY2(message.contains(path) && message.contains(named), qPrintable(message));
        } else {
            QVERIFY(core->screen.lbmessageVisible);
            QVERIFY2(core->screen.lbmessage.contains(path) && core->screen.lbmessage.contains(named),
                     qPrintable(core->screen.lbmessage));
        }
        closeGame();
        const Health after = inspect(path);
        QCOMPARE(after.integrity, QStringLiteral("ok"));
        QCOMPARE(after.dictionaries, before);
    }

private:
    void expectLandingRefusedWhileLocked(const QString &path, QProcess &holder)
    {
        bool threw = false;
        try {
            core->pictScroll_Timer();
        } catch (const Error &e) {
            threw = true;
            QCOMPARE(e.kind(), ErrorKind::StoreWrite);
            QVERIFY2(e.message().contains(path) && e.message().contains(QStringLiteral("in use by another program")),
                     qPrintable(e.message()));
        }
        QVERIFY2(threw, "the landing failed without telling anybody");
        closeGame();
        holder.kill();
        holder.waitForFinished();
        Store store(path, kStorePassword, Store::Mode::ReadOnly);
        Statement held = store.prepare(QStringLiteral("select count(*) from trenix where ishold=1"));
        QVERIFY(held.next());
        QCOMPARE(held.integer(0), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestStoreFaults)
#include "tst_storefaults.moc"
