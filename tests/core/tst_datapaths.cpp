#include "DataPaths.h"
#include "Startup.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace trenix;
using namespace Qt::StringLiterals;

namespace {

// <root>/bin holds the executable, <root>/share/trenix the installed data.
struct Tree : test::ProgramFolder {
    Tree()
    {
        for (const char *folder : {"bin", "share/trenix", "home/.local/share/trenix"})
            QDir(path()).mkpath(QLatin1String(folder));
    }
    QString bin() const { return file(u"bin"_s); }
    QString share() const { return file(u"share/trenix"_s); }
    QString user() const { return file(u"home/.local/share/trenix"_s); }
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
        QTest::addColumn<bool>("firstStart"); // else the player's copy from an earlier start is there
        QTest::newRow("installed, first start copies the store") << true;
        QTest::newRow("installed, later start keeps the player's copy") << false;
    }
    void layout_wrongFolderOrStoreCopy()
    {
        QFETCH(bool, firstStart);
        Tree tree;
        const QString userStore = tree.user() + u"/trenix.dat"_s;
        tree.writeFile(u"share/trenix/trenix.dat"_s, "installed");
        QFile::setPermissions(tree.share() + u"/trenix.dat"_s, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        tree.writeFile(u"home/.local/share/trenix/trenix.dat"_s + (firstStart ? u".part"_s : u""_s), firstStart ? "half" : "played");

        // Only the player's copy is opened while the toolkit loads; a first start has none yet.
        QCOMPARE(QDir::cleanPath(expectedStorePath(tree.bin(), tree.user())), firstStart ? QString() : userStore);
        const DataPaths paths = resolveDataPaths(tree.bin(), tree.user());
        QCOMPARE(QDir::cleanPath(paths.programFolder), tree.share());
        QCOMPARE(QDir::cleanPath(paths.storeFolder), tree.user());
        QCOMPARE(contents(userStore), QByteArray(firstStart ? "installed" : "played"));
        QCOMPARE(contents(tree.share() + u"/trenix.dat"_s), QByteArray("installed"));
        QVERIFY2(QFileInfo(userStore).permissions() & QFile::WriteOwner, "the copy cannot be written");
        QVERIFY2(!QFile::exists(userStore + u".part"_s), "a temporary copy was left behind");
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
        QTest::addColumn<bool>("installed"); // else the player's store is opened early by mistake
        QTest::newRow("installed: the player's copy") << true;
        QTest::newRow("opened early, another store is not used") << false;
    }
    void startup_storeOpenedFromWrongFolder()
    {
        QFETCH(bool, installed);
        test::ProgramFolder shared;
        shared.copyFromBuild({QLatin1String(kLanguageFile), QLatin1String(kSettingsFile)});
        shared.makePracticeStore({{2, test::numberedEntries(3, u"shared"_s)}});
        test::ProgramFolder user;
        user.makePracticeStore({{2, test::numberedEntries(3, u"user"_s)}});
        shared.install();
        GlVexM.storeFolder = installed ? user.path() : QString();
        if (!installed)
            startOpeningPracticeStore(user.file(QLatin1String(kStoreFile)));

        QCOMPARE(prepareStartup(), StartupOutcome::ShowMainWindow); // no dialogs: a question asked by mistake quits
        Statement first = GlVexM.storeConn.prepare(u"select cz from zidian2 where xh=1"_s);
        QVERIFY(first.next());
        QCOMPARE(first.text(0), installed ? u"user1"_s : u"shared1"_s);
    }
};

QTEST_GUILESS_MAIN(TestDataPaths)
#include "tst_datapaths.moc"
