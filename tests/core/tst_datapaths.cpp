// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataPaths.h"
#include "Startup.h"
#include "TestSupport.h"

#include <QTest>

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
        QVERIFY(QDir(root.path()).removeRecursively() && QDir().mkpath(bin) && QDir().mkpath(share)
                && QDir().mkpath(user));
    }
    void cleanup() { test::resetAll(); }

    void firstStart_copyMissingHalfOrReadOnly()
    {
        const QString copy = user + u"/trenix.dat"_s, installed = share + u"/trenix.dat"_s;
        root.writeFile(u"share/trenix/trenix.dat"_s, "installed");
        QFile::setPermissions(installed, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        root.writeFile(u"home/.local/share/trenix/trenix.dat.part"_s, "half"); // an earlier copy cut short
        QCOMPARE(expectedStorePath(bin, user), QString());                     // nothing to open early before the copy
        const DataPaths paths = resolveDataPaths(bin, user);
        QCOMPARE((QStringList{QDir::cleanPath(paths.programFolder), QDir::cleanPath(paths.storeFolder)}),
                 (QStringList{share, user}));
        QCOMPARE((QList<qint64>{QFileInfo(copy).size(), QFileInfo(installed).size()}),
                 (QList<qint64>{9, 9})); // both "installed"
        QVERIFY2(QFileInfo(copy).permissions() & QFile::WriteOwner, "the copy cannot be written");
        QCOMPARE(QDir(user).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"trenix.dat"_s});
    }

    void copy_failureUnclearOrLeavesFiles()
    {
        QVERIFY(QDir().mkpath(share + u"/trenix.dat"_s)); // the installed store cannot be read
        try {
            resolveDataPaths(bin, user);
            QFAIL("a failed copy was not reported");
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(QDir::toNativeSeparators(share)), qPrintable(e.message()));
        }
        QCOMPARE(QDir(user).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    void startup_storeOpenedFromWrongFolder_data()
    {
        QTest::addColumn<bool>(
            "installed"); // the store opened while the toolkit loads is used only if start-up chooses it
        QTest::newRow("installed, later start: the player's copy, kept") << true;
        QTest::newRow("not installed: the player's store opened early is not used") << false;
    }
    void startup_storeOpenedFromWrongFolder()
    {
        QFETCH(bool, installed);
        test::ProgramFolder shared, player;
        shared.copyFromBuild({QLatin1String(kLanguageFile), QLatin1String(kSettingsFile)});
        shared.makePracticeStore({{2, test::numberedEntries(3, u"shared"_s)}});
        player.makePracticeStore({{2, test::numberedEntries(3, u"user"_s)}});
        shared.install();
        if (installed)
            root.writeFile(u"share/trenix/trenix.dat"_s, "installed");
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
