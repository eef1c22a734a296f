// Where the data files are found: the program's folder of a build, or an
// installed tree whose practice store is copied to the user's data folder.
#include "DataPaths.h"
#include "Startup.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace trenix;
using namespace Qt::StringLiterals;

namespace {

// A tree with <root>/bin for the executable and <root>/share/trenix for installed data.
struct Tree {
    QTemporaryDir dir;
    Tree() { QDir(dir.path()).mkpath(u"bin"_s); }
    QString path(const QString &relative) const { return QDir::cleanPath(dir.filePath(relative)); }
    QString bin() const { return path(u"bin"_s); }
    QString share() const { return path(u"share/trenix"_s); }
    QString user() const { return path(u"home/.local/share/trenix"_s); }
    void write(const QString &relative, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile f(path(relative));
        QVERIFY2(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), qPrintable(path(relative)));
    }
};

QByteArray contents(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDataPaths : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { GlVexM.storeFolder.clear(); resetModuleVariables(); }

    void layout_wrongFolderOrStoreCopy_data()
    {
        QTest::addColumn<bool>("build"); // the store beside the executable, else an installed tree
        QTest::addColumn<QByteArray>("userCopyBefore"); // empty: none
        QTest::addColumn<QByteArray>("userCopyAfter");
        QTest::addColumn<QString>("earlyOpen"); // the store opened while the toolkit loads; empty: none
        QTest::newRow("build folder") << true << QByteArray() << QByteArray() << u"bin/trenix.dat"_s;
        QTest::newRow("installed, first start copies the store") << false << QByteArray() << QByteArray("installed") << u""_s;
        QTest::newRow("installed, later start keeps the player's copy")
            << false << QByteArray("played") << QByteArray("played") << u"home/.local/share/trenix/trenix.dat"_s;
    }
    void layout_wrongFolderOrStoreCopy()
    {
        QFETCH(bool, build);
        QFETCH(QByteArray, userCopyBefore);
        QFETCH(QByteArray, userCopyAfter);
        QFETCH(QString, earlyOpen);
        Tree tree;
        tree.write(build ? u"bin/trenix.dat"_s : u"share/trenix/trenix.dat"_s, build ? "beside" : "installed");
        QFile::setPermissions(tree.share() + u"/trenix.dat"_s, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        if (!build) // the player's copy, or a copy that an earlier start cut short
            tree.write(u"home/.local/share/trenix/trenix.dat"_s + (userCopyBefore.isEmpty() ? u".part"_s : u""_s),
                       userCopyBefore.isEmpty() ? "half" : userCopyBefore);

        const QString early = expectedStorePath(tree.bin(), tree.user());
        QCOMPARE(early.isEmpty() ? QString() : QDir::cleanPath(early), earlyOpen.isEmpty() ? QString() : tree.path(earlyOpen));
        const DataPaths paths = resolveDataPaths(tree.bin(), tree.user());
        QCOMPARE(QDir::cleanPath(paths.programFolder), build ? tree.bin() : tree.share());
        QCOMPARE(QDir::cleanPath(paths.storeFolder), build ? QString() : tree.user());
        QCOMPARE(contents(tree.user() + u"/trenix.dat"_s), userCopyAfter);
        if (!build)
            QCOMPARE(contents(tree.share() + u"/trenix.dat"_s), QByteArray("installed"));
        if (!userCopyAfter.isEmpty())
            QVERIFY2(QFileInfo(tree.user() + u"/trenix.dat"_s).permissions() & QFile::WriteOwner, "the copy cannot be written");
        QVERIFY2(!QFile::exists(tree.user() + u"/trenix.dat.part"_s), "a temporary copy was left behind");
    }

    void copy_failureUnclearOrLeavesFiles()
    {
        Tree tree;
        QVERIFY(QDir().mkpath(tree.share() + u"/trenix.dat"_s)); // the installed store cannot be read
        try {
            resolveDataPaths(tree.bin(), tree.user());
            QFAIL("a failed copy was not reported");
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(QDir::toNativeSeparators(tree.share())), qPrintable(e.message()));
        }
        QCOMPARE(QDir(tree.user()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    void startup_storeOpenedFromWrongFolder_data()
    {
        QTest::addColumn<bool>("separateStoreFolder");
        QTest::addColumn<bool>("userStoreOpenedEarly");
        QTest::addColumn<QString>("expectedFirstWord");
        QTest::newRow("installed: the player's copy") << true << false << u"user1"_s;
        QTest::newRow("opened early, another store is not used") << false << true << u"shared1"_s;
    }
    void startup_storeOpenedFromWrongFolder()
    {
        QFETCH(bool, separateStoreFolder);
        QFETCH(bool, userStoreOpenedEarly);
        QFETCH(QString, expectedFirstWord);
        test::ScriptedDialogs dialogs;
        test::resetAll(nullptr, &dialogs, nullptr);
        test::ProgramFolder shared;
        shared.copyFromBuild({QLatin1String(kLanguageFile), QLatin1String(kSettingsFile)});
        shared.makePracticeStore({{2, test::numberedEntries(3, u"shared"_s)}});
        test::ProgramFolder user;
        user.makePracticeStore({{2, test::numberedEntries(3, u"user"_s)}});
        shared.install();
        GlVexM.storeFolder = separateStoreFolder ? user.path() : QString();
        if (userStoreOpenedEarly)
            startOpeningPracticeStore(user.file(QLatin1String(kStoreFile)));

        QCOMPARE(prepareStartup(), StartupOutcome::ShowMainWindow);
        Statement first = GlVexM.storeConn.prepare(u"select cz from zidian2 where xh=1"_s);
        QVERIFY(first.next());
        QCOMPARE(first.text(0), expectedFirstWord);
    }
};

QTEST_GUILESS_MAIN(TestDataPaths)
#include "tst_datapaths.moc"
