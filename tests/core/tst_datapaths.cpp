// SPDX-License-Identifier: GPL-3.0-or-later
#include "Startup.h"
#include "TestSupport.h"

#include <utime.h>

using namespace trenix;
using namespace Qt::StringLiterals;

class TestDataPaths : public QObject {
    Q_OBJECT

    // <root>/bin holds the executable, <root>/share/trenix the installed data, <root>/home/... the player's.
    test::ProgramFolder root;
    const QString bin = root.file(u"bin"_s), share = root.file(u"share/trenix"_s),
                  user = root.file(u"home/.local/share/trenix"_s);

private slots:
    void init()
    {
        QVERIFY(QDir(root.path()).removeRecursively());
        for (const QString &folder : {bin, share, user})
            QVERIFY(QDir().mkpath(folder));
    }
    void cleanup() { test::resetAll(); }

    // The player's copy of the installed store: made at the first start, kept while the installed store is the
    // one it came from, made again (its old journal with it) once an upgrade brings another.
    void copy_missingStaleHalfOrReadOnly_data()
    {
        QTest::addColumn<int>("copiedBefore");   // by an earlier start, then played on; 1: before the stamps
        QTest::addColumn<QByteArray>("upgrade"); // the installed store after the earlier start; null: the same
        QTest::addColumn<int>("touchS");         // its time moved by so many seconds
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("first start") << 0 << QByteArray() << 0 << "installed"_ba;
        QTest::newRow("later start, same store: kept") << 2 << QByteArray() << 0 << "played"_ba;
        QTest::newRow("upgrade, another size") << 2 << "installed 2"_ba << 0 << "installed 2"_ba;
        QTest::newRow("upgrade, same size, another time") << 2 << "INSTALLED"_ba << 60 << "INSTALLED"_ba;
        QTest::newRow("copy from before the stamps") << 1 << QByteArray() << 0 << "installed"_ba;
    }
    void copy_missingStaleHalfOrReadOnly()
    {
        QFETCH(int, copiedBefore);
        QFETCH(QByteArray, upgrade);
        QFETCH(int, touchS);
        QFETCH(QByteArray, expected);
        const QString copy = user + u"/trenix.dat"_s, installed = share + u"/trenix.dat"_s;
        const auto install = [&](const QByteArray &bytes, int touchS) {
            QFile::remove(installed);
            root.writeFile(u"share/trenix/trenix.dat"_s, bytes);
            const utimbuf time{1767254400 + touchS, 1767254400 + touchS}; // 2026-01-01 08:00 UTC on
            QVERIFY(::utime(QFile::encodeName(installed).constData(), &time) == 0);
            QFile::setPermissions(installed, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        };
        install("installed", 0);
        if (copiedBefore) {
            resolveDataPaths(bin, user);
            root.writeFile(u"home/.local/share/trenix/trenix.dat"_s, "played");
            root.writeFile(u"home/.local/share/trenix/trenix.dat-wal"_s, "journal");
            if (copiedBefore == 1)
                QVERIFY(QFile::remove(copy + QLatin1String(kStoreStampSuffix)));
            if (!upgrade.isNull())
                install(upgrade, touchS);
        }
        const bool kept = expected == "played";
        if (!kept)
            root.writeFile(u"home/.local/share/trenix/trenix.dat.part"_s, "half"); // a copy cut short
        QCOMPARE(expectedStorePath(bin, user), kept ? copy : QString());           // nothing stale is opened early
        const DataPaths paths = resolveDataPaths(bin, user);
        QCOMPARE(QDir::cleanPath(paths.programFolder) + u'|' + QDir::cleanPath(paths.storeFolder), share + u'|' + user);
        QCOMPARE(test::fileBytes(copy), expected);
        QVERIFY2(QFileInfo(copy).permissions() & QFile::WriteOwner, "the copy cannot be written");
        QCOMPARE(QDir(user).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name).join(u' '),
                 kept ? u"trenix.dat trenix.dat-wal trenix.dat.installed"_s : u"trenix.dat trenix.dat.installed"_s);
        QCOMPARE(expectedStorePath(bin, user), copy);
    }

    void startup_storeOpenedFromWrongFolder_data()
    {
        // The store opened while the toolkit loads is used only if start-up chooses it.
        QTest::addColumn<bool>("installed");
        QTest::newRow("installed, later start: the player's copy, kept") << true;
        QTest::newRow("not installed: the player's store opened early is not used") << false;
    }
    void startup_storeOpenedFromWrongFolder()
    {
        QFETCH(bool, installed);
        test::ProgramFolder shared, player;
        shared.copyFromBuild({QLatin1String(kLanguageFile), QLatin1String(kSettingsFile)});
        shared.makePracticeStore({{2, test::numberedEntries(3, u"shared"_s)}});
        if (installed) { // an earlier start made the player's copy
            root.writeFile(u"share/trenix/trenix.dat"_s, "installed");
            resolveDataPaths(bin, player.path());
        }
        player.makePracticeStore({{2, test::numberedEntries(3, u"user"_s)}});
        shared.install();
        const QString early = player.file(QLatin1String(kStoreFile));
        QCOMPARE(expectedStorePath(bin, player.path()), installed ? early : QString());
        startOpeningPracticeStore(early);
        DataPaths paths = shared.paths();
        paths.storeFolder = resolveDataPaths(bin, player.path()).storeFolder;
        test::ScriptedDialogs dialogs;
        QCOMPARE(prepareStartup(paths, dialogs), StartupOutcome::ShowMainWindow);
        Statement first = GlVexM.storeConn.prepare(u"select cz from zidian2 where xh=1"_s);
        QCOMPARE(first.next() ? first.text(0) : QString(), installed ? u"user1"_s : u"shared1"_s);
    }
};

QTEST_GUILESS_MAIN(TestDataPaths)
#include "tst_datapaths.moc"
