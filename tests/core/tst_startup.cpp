#include "GlVexM.h"
#include "LanguageChoice.h"
#include "Startup.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace trenix;
using namespace Qt::StringLiterals;
using test::ProgramFolder;

namespace {
const QString kStore = QLatin1String(kStoreFile);
enum StoreKind { Built, Missing, Empty, Noise, OtherKey };

// The program reads the player's config.dat under HOME: give it an empty one.
void awayFromHome(QProcess &process, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    process.setProcessEnvironment(env);
}

QStringList snapshot(const QString &folder) // every entry, hidden ones too, with a hash of its bytes
{
    QStringList entries;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        QFile f(info.filePath());
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        entries << info.fileName() + u' ' + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    }
    return entries;
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
    test::ScriptedDialogs m_dialogs;

private slots:
    void initTestCase() { qputenv("QT_QPA_PLATFORM", "offscreen"); qputenv("TRENIX_QUIT_AFTER_FIRST_PAINT", "1"); }
    void init() { m_dialogs = test::ScriptedDialogs(); test::resetAll(nullptr, &m_dialogs, nullptr); }
    void cleanup() { resetModuleVariables(); GlVexM.programFolder.clear(); GlVexM.dialogs = nullptr; }

    void prepareStartup_languageMisreadOrQuestionWrong_data()
    {
        QTest::addColumn<QByteArray>("config"); // empty: no settings file
        QTest::addColumn<bool>("asked");
        QTest::addColumn<StartupOutcome>("outcome"); // Quit: the question is answered No, else Yes
        QTest::addColumn<int>("languageCode");
        const auto show = StartupOutcome::ShowMainWindow;
        QTest::newRow("code 0 is read, not missing") << QByteArray("[config]\nlanguage=0\n") << false << show << 0;
        QTest::newRow("no settings file, No") << QByteArray() << true << StartupOutcome::Quit << 2;
        QTest::newRow("above 16 bits, Yes") << QByteArray("[config]\nlanguage=70000\n") << true << show << 2; // not 4464
    }
    void prepareStartup_languageMisreadOrQuestionWrong()
    {
        QFETCH(QByteArray, config);
        QFETCH(bool, asked);
        QFETCH(StartupOutcome, outcome);
        QFETCH(int, languageCode);
        ProgramFolder folder;
        folder.makePracticeStore({{2, test::numberedEntries(5)}});
        folder.makeLanguageStore( // the question in two languages, so that a lookup in the wrong one shows
            {{u"GLVex_Module.main"_s, u"1"_s, u"prompt-1"_s}, {u"RJXX"_s, u"1"_s, u"title-1"_s},
             {u"GLVex_Module.main"_s, u"2"_s, u"提示-2"_s}, {u"RJXX"_s, u"2"_s, u"标题-2"_s}});
        if (!config.isEmpty())
            folder.writeFile(QLatin1String(kSettingsFile), config);
        folder.install();
        m_dialogs.answers = {outcome != StartupOutcome::Quit};
        GlVexM.wordFrom = 40; // a range left over from earlier must not survive a start
        GlVexM.wordTo = 60;
        const QStringList before = snapshot(folder.path());

        const StartupOutcome got = prepareStartup();
        QCOMPARE(m_dialogs.questions, asked ? QStringList{u"标题-2|提示-2"_s} : QStringList());
        QCOMPARE(int(got), int(outcome));
        QCOMPARE(int(GlVexM.languageCode), languageCode);
        QCOMPARE(int(GlVexM.wordFrom), 1);
        QCOMPARE(int(GlVexM.wordTo), 999);
        QVERIFY2(GlVexM.storeConn.isOpen(), "the practice store is not kept open");
        QCOMPARE(m_dialogs.errors, QStringList());
        QCOMPARE(snapshot(folder.path()), before);
    }

    void playerLanguage_wrongPrecedence_data()
    {
        QTest::addColumn<QByteArray>("player");  // null: no file of the player's
        QTest::addColumn<QByteArray>("program"); // null: none beside the program
        QTest::addColumn<int>("languageCode");   // -1: the question is asked
        QTest::newRow("player's choice wins") << QByteArray("[config]\nlanguage=1\n") << QByteArray("[config]\nlanguage=3\n") << 1;
        QTest::newRow("player's file without the key") << QByteArray("[other]\nlanguage=1\n") << QByteArray("[config]\nlanguage=3\n") << 3;
        QTest::newRow("player's code above 16 bits") << QByteArray("[config]\nlanguage=70000\n") << QByteArray("[config]\nlanguage=3\n") << 3;
        QTest::newRow("player's file alone, 16-bit edge") << QByteArray("[config]\nlanguage=32767\n") << QByteArray() << 32767;
        QTest::newRow("neither") << QByteArray() << QByteArray() << -1;
    }
    void playerLanguage_wrongPrecedence()
    {
        QFETCH(QByteArray, player);
        QFETCH(QByteArray, program);
        QFETCH(int, languageCode);
        ProgramFolder folder, config;
        folder.makePracticeStore({{2, test::numberedEntries(5)}});
        folder.makeLanguageStore({{u"RJXX"_s, u"2"_s, u"标题"_s}});
        if (!program.isNull())
            folder.writeFile(QLatin1String(kSettingsFile), program);
        if (!player.isNull())
            config.writeFile(QLatin1String(kSettingsFile), player);
        folder.install();
        GlVexM.playerConfigFolder = config.path();
        m_dialogs.answers = {true};
        QCOMPARE(int(prepareStartup()), int(StartupOutcome::ShowMainWindow));
        QCOMPARE(m_dialogs.questions.size(), languageCode < 0 ? 1 : 0);
        QCOMPARE(int(GlVexM.languageCode), languageCode < 0 ? 2 : languageCode);
    }

    void saveLanguageChoice_fileWrongOrFailureUntold()
    {
        QTemporaryDir home;
        GlVexM.playerConfigFolder = home.filePath(u"a/trenix"_s); // folders made as needed
        QString where;
        QVERIFY(saveLanguageChoice(3, where));
        QVERIFY(saveLanguageChoice(1, where)); // replaced, not added
        QFile file(playerConfigFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[config]\r\nlanguage=1\r\n"));
        QVERIFY(ReadPlayerLanguage() == 0 && GlVexM.languageCode == 1);
        GlVexM.playerConfigFolder = file.fileName(); // a file where the folder should be
        QVERIFY(!saveLanguageChoice(2, where));
        QCOMPARE(where, QDir::toNativeSeparators(file.fileName()));
    }

    void getLanguageText_wrongStaleOrMissing()
    {
        ProgramFolder folder;
        folder.install();
        try {
            GetLanguageText(u"RJXX"_s, u"2"_s);
            QFAIL("no error for a missing language store");
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(folder.file(QLatin1String(kLanguageFile))), qPrintable(e.message()));
        }
        closeLanguageStore();
        QCOMPARE(snapshot(folder.path()), QStringList());
        folder.makeLanguageStore({{u"RJXX"_s, u"2"_s, u"输入后按回车\n第二行"_s}, {u"NULLTEXT"_s, u"2"_s, {}}});
        QCOMPARE(GetLanguageText(u"RJXX"_s, u"2"_s), u"输入后按回车\n第二行"_s); // the next lookup reads the new file
        QCOMPARE(GetLanguageText(u"NULLTEXT"_s, u"2"_s), QString());
        QCOMPARE(GetLanguageText(u"NOSUCHID"_s, u"2"_s), QString());
        QCOMPARE(GetLanguageText(u"RJXX"_s, u"7"_s), QString());
        folder.makeLanguageStore({{u"RJXX"_s, u"2"_s, u"replaced"_s}}); // a new file under the same name
        QCOMPARE(GetLanguageText(u"RJXX"_s, u"2"_s), u"replaced"_s);
        {
            Store damaged(folder.file(QLatin1String(kLanguageFile)), QByteArray(), Store::Mode::ReadWrite);
            damaged.exec(u"drop table CWord"_s);
        }
        closeLanguageStore();
        QVERIFY_THROWS_EXCEPTION(Error, GetLanguageText(u"RJXX"_s, u"2"_s)); // no table CWord
    }

    void executable_exitStatusWrong_data()
    {
        QTest::addColumn<int>("store");
        QTest::newRow("complete folder") << int(Built);
        QTest::newRow("practice store missing") << int(Missing);
        QTest::newRow("practice store empty") << int(Empty);
        QTest::newRow("practice store random bytes") << int(Noise);
        QTest::newRow("practice store with another password") << int(OtherKey);
    }
    void executable_exitStatusWrong()
    {
        QFETCH(int, store);
        ProgramFolder folder;
        folder.copyAllFromBuild();
        QByteArray noise(store == Noise ? 8192 : 0, '\0');
        QRandomGenerator(20240611).fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
        if (store == Missing)
            QFile::remove(folder.file(kStore));
        else if (store == Empty || store == Noise)
            folder.writeFile(kStore, noise);
        else if (store == OtherKey)
            folder.makePracticeStore({{2, test::numberedEntries(5)}}, "Another.Key");
        const QString program = folder.file(u"trenix"_s); // beside its data, so that it reads that folder
        QVERIFY(QFile::copy(QStringLiteral(TRENIX_BIN_DIR "/trenix"), program));
        QTemporaryDir workDir;
        const QStringList before = snapshot(folder.path());
        QProcess process;
        process.setWorkingDirectory(workDir.path());
        awayFromHome(process, workDir.path());
        process.start(program);
        QVERIFY(process.waitForFinished(30000)); // only keeps a hung child from hanging the run
        const QString out = process.readAllStandardOutput(), err = process.readAllStandardError();
        const QString run = u"exit %1\nstdout: %2\nstderr: %3"_s.arg(process.exitCode()).arg(out, err);
        const bool fails = store != Built;
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == (fails ? kFatalExitStatus : 0), qPrintable(run));
        QVERIFY2(fails ? err.contains(u"trenix: error:"_s) && err.contains(folder.file(kStore)) : !err.contains(u"error"_s),
                 qPrintable(run));
        QCOMPARE(snapshot(folder.path()), before);
        QCOMPARE(snapshot(workDir.path()), QStringList());
    }

    void executable_qtOptionRefusedOrUnknownTaken_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("-platform offscreen") << QStringList{u"-platform"_s, u"offscreen"_s} << 0;
        QTest::newRow("--platform offscreen -reverse -style fusion")
            << QStringList{u"--platform"_s, u"offscreen"_s, u"-reverse"_s, u"-style"_s, u"fusion"_s} << 0;
        QTest::newRow("unknown option") << QStringList{u"-platform"_s, u"offscreen"_s, u"--no-such"_s} << 1;
    }
    void executable_qtOptionRefusedOrUnknownTaken()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        ProgramFolder folder;
        folder.copyAllFromBuild();
        const QString program = folder.file(u"trenix"_s);
        QVERIFY(QFile::copy(QStringLiteral(TRENIX_BIN_DIR "/trenix"), program));
        QTemporaryDir workDir;
        QProcess process;
        awayFromHome(process, workDir.path());
        QProcessEnvironment env = process.processEnvironment();
        env.remove(u"QT_QPA_PLATFORM"_s); // the option alone must choose the platform
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(30000));
        const QString err = process.readAllStandardError();
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == status,
                 qPrintable(u"exit %1\nstderr: %2"_s.arg(process.exitCode()).arg(err)));
        QVERIFY2(status == 0 || err.contains(u"no-such"_s), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
