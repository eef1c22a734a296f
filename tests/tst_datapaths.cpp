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
using trenix::test::ProgramFolder;

namespace {

// A tree with <root>/bin for the executable and <root>/share/trenix for installed data.
class Tree {
public:
    Tree() { QVERIFY(m_dir.isValid()); QDir(m_dir.path()).mkpath(QStringLiteral("bin")); }
    QString path(const QString &relative) const { return QDir::cleanPath(m_dir.filePath(relative)); }
    QString bin() const { return path(QStringLiteral("bin")); }
    QString share() const { return path(QStringLiteral("share/trenix")); }
    QString user() const { return path(QStringLiteral("home/.local/share/trenix")); }
    void write(const QString &relative, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile f(path(relative));
        QVERIFY2(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), qPrintable(path(relative)));
    }
private:
    QTemporaryDir m_dir;
};

QByteArray contents(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestDataPaths : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void layout_wrongFolderOrStoreCopy_data();
    void layout_wrongFolderOrStoreCopy();
    void copy_readOnlyOrHalfWrittenStoreUsed();
    void copy_failureUnclearOrLeavesFiles_data();
    void copy_failureUnclearOrLeavesFiles();
    void startup_storeOpenedFromWrongFolder_data();
    void startup_storeOpenedFromWrongFolder();
};

void TestDataPaths::cleanup()
{
    GlVexM.storeFolder.clear();
    resetModuleVariables();
}

void TestDataPaths::layout_wrongFolderOrStoreCopy_data()
{
    QTest::addColumn<bool>("besideExecutable");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QByteArray>("userCopyBefore"); // empty: none
    QTest::addColumn<QString>("expectedProgram");    // "bin" or "share"
    QTest::addColumn<bool>("expectedUserStore");
    QTest::addColumn<QByteArray>("expectedUserCopy"); // empty: none
    QTest::addColumn<QString>("expectedEarlyOpen"); // store opened while the toolkit loads: "bin", "user" or none

    QTest::newRow("build folder") << true << false << QByteArray() << "bin" << false << QByteArray() << "bin";
    QTest::newRow("build folder wins over an install beside it")
        << true << true << QByteArray() << "bin" << false << QByteArray() << "bin";
    QTest::newRow("installed, first start copies the store")
        << false << true << QByteArray() << "share" << true << QByteArray("installed") << "";
    QTest::newRow("installed, later start keeps the player's copy")
        << false << true << QByteArray("played") << "share" << true << QByteArray("played") << "user";
    QTest::newRow("neither: the program folder, where start-up reports the missing store")
        << false << false << QByteArray() << "bin" << false << QByteArray() << "";
}

void TestDataPaths::layout_wrongFolderOrStoreCopy()
{
    QFETCH(bool, besideExecutable);
    QFETCH(bool, installed);
    QFETCH(QByteArray, userCopyBefore);
    QFETCH(QString, expectedProgram);
    QFETCH(bool, expectedUserStore);
    QFETCH(QByteArray, expectedUserCopy);
    QFETCH(QString, expectedEarlyOpen);

    Tree tree;
    if (besideExecutable)
        tree.write(QStringLiteral("bin/trenix.dat"), "beside");
    if (installed)
        tree.write(QStringLiteral("share/trenix/trenix.dat"), "installed");
    if (!userCopyBefore.isEmpty())
        tree.write(QStringLiteral("home/.local/share/trenix/trenix.dat"), userCopyBefore);

    const QString early = expectedStorePath(tree.bin(), tree.user());
    QCOMPARE(early.isEmpty() ? QString() : QDir::cleanPath(early),
             expectedEarlyOpen.isEmpty() ? QString()
                                         : QDir(expectedEarlyOpen == u"bin" ? tree.bin() : tree.user())
                                               .filePath(QStringLiteral("trenix.dat")));
    const DataPaths paths = resolveDataPaths(tree.bin(), tree.user());
    QCOMPARE(QDir::cleanPath(paths.programFolder), expectedProgram == u"bin" ? tree.bin() : tree.share());
    QCOMPARE(QDir::cleanPath(paths.storeFolder), expectedUserStore ? tree.user() : QString());
    QCOMPARE(contents(QDir(tree.user()).filePath(QStringLiteral("trenix.dat"))), expectedUserCopy);
    if (installed)
        QCOMPARE(contents(QDir(tree.share()).filePath(QStringLiteral("trenix.dat"))), QByteArray("installed"));
    QVERIFY2(!QFile::exists(QDir(tree.user()).filePath(QStringLiteral("trenix.dat.part"))),
             "a temporary copy was left behind");
}

void TestDataPaths::copy_readOnlyOrHalfWrittenStoreUsed()
{
    Tree tree;
    tree.write(QStringLiteral("share/trenix/trenix.dat"), "installed");
    const QString installed = QDir(tree.share()).filePath(QStringLiteral("trenix.dat"));
    QVERIFY(QFile::setPermissions(installed, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    // What an earlier start cut short must not survive.
    tree.write(QStringLiteral("home/.local/share/trenix/trenix.dat.part"), "half");

    resolveDataPaths(tree.bin(), tree.user());
    const QString copy = QDir(tree.user()).filePath(QStringLiteral("trenix.dat"));
    QCOMPARE(contents(copy), QByteArray("installed"));
    QVERIFY2(QFileInfo(copy).permissions().testFlag(QFile::WriteOwner), "the copy of the store cannot be written");
    QCOMPARE(entries(tree.user()), QStringList{QStringLiteral("trenix.dat")});
}

void TestDataPaths::copy_failureUnclearOrLeavesFiles_data()
{
    QTest::addColumn<QString>("blocker");      // what stands in the way
    QTest::addColumn<QString>("namedInError"); // "user" or "share": the path the message must name

    QTest::newRow("user data folder is a file") << "user-is-file" << "user";
    QTest::newRow("installed store cannot be read") << "store-is-folder" << "share";
}

void TestDataPaths::copy_failureUnclearOrLeavesFiles()
{
    QFETCH(QString, blocker);
    QFETCH(QString, namedInError);

    Tree tree;
    if (blocker == u"store-is-folder") {
        QVERIFY(QDir().mkpath(QDir(tree.share()).filePath(QStringLiteral("trenix.dat"))));
    } else {
        tree.write(QStringLiteral("share/trenix/trenix.dat"), "installed");
        tree.write(QStringLiteral("home/.local/share/trenix"), "not a folder");
    }

    QString message;
    try {
        resolveDataPaths(tree.bin(), tree.user());
    } catch (const Error &e) {
        message = e.message();
    }
    QVERIFY2(!message.isEmpty(), "a failed copy was not reported");
    const QString named = namedInError == u"user" ? tree.user() : tree.share();
    QVERIFY2(message.contains(QDir::toNativeSeparators(named)), qPrintable(message));
    if (QFileInfo(tree.user()).isDir())
        QCOMPARE(entries(tree.user()), QStringList());
}

void TestDataPaths::startup_storeOpenedFromWrongFolder_data()
{
    QTest::addColumn<bool>("separateStoreFolder");
    QTest::addColumn<QString>("expectedFirstWord");
    QTest::addColumn<QString>("earlyOpen"); // which store was opened early: none, "user" or "shared"

    QTest::newRow("installed: the player's copy") << true << "user1" << "";
    QTest::newRow("program folder: the store beside the program") << false << "shared1" << "";
    QTest::newRow("opened early, the same store") << true << "user1" << "user";
    QTest::newRow("opened early, another store is not used") << false << "shared1" << "user";
}

void TestDataPaths::startup_storeOpenedFromWrongFolder()
{
    QFETCH(bool, separateStoreFolder);
    QFETCH(QString, expectedFirstWord);
    QFETCH(QString, earlyOpen);

    test::FakeClock clock;
    test::ScriptedDialogs dialogs;
    test::resetAll(&clock, &dialogs, nullptr);

    ProgramFolder shared;
    shared.copyFromBuild({QLatin1String(kLanguageFile), QLatin1String(kSettingsFile)});
    shared.makePracticeStore({{2, test::numberedEntries(3, QStringLiteral("shared"))}});
    ProgramFolder user;
    user.makePracticeStore({{2, test::numberedEntries(3, QStringLiteral("user"))}});

    shared.install();
    GlVexM.storeFolder = separateStoreFolder ? user.path() : QString();
    if (!earlyOpen.isEmpty())
        startOpeningPracticeStore((earlyOpen == u"user" ? user : shared).file(QLatin1String(kStoreFile)));
    QCOMPARE(prepareStartup(), StartupOutcome::ShowMainWindow);
    QString firstWord;
    {
        Statement first = GlVexM.storeConn.prepare(QStringLiteral("select cz from zidian2 where xh=1"));
        if (first.next())
            firstWord = first.text(0);
    }
    QCOMPARE(firstWord, expectedFirstWord);
}

QTEST_GUILESS_MAIN(TestDataPaths)
#include "tst_datapaths.moc"
