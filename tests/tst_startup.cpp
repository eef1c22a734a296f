// Start-up: the practice store, the language question, the text lookup and the
// real executable's exit status.
#include "GlVexM.h"
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

// Every entry in the folder (hidden ones too) with a hash of its bytes.
QStringList snapshot(const QString &folder)
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
        // Truncating to 16 bits would turn this into the valid code 4464.
        QTest::newRow("above 16 bits, Yes") << QByteArray("[config]\nlanguage=70000\n") << true << show << 2;
    }
    void prepareStartup_languageMisreadOrQuestionWrong()
    {
        QFETCH(QByteArray, config);
        QFETCH(bool, asked);
        QFETCH(StartupOutcome, outcome);
        QFETCH(int, languageCode);
        ProgramFolder folder;
        folder.makePracticeStore({{2, test::numberedEntries(5)}});
        // The question in two languages, so that a lookup in the wrong one shows.
        folder.makeLanguageStore({{u"GLVex_Module.main"_s, u"1"_s, u"prompt-1"_s}, {u"RJXX"_s, u"1"_s, u"title-1"_s},
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

    void prepareStartup_unusableStoreAcceptedOrTouched_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("practice store missing") << 0;
        QTest::newRow("practice store empty") << 1;
        QTest::newRow("practice store random bytes") << 2;
        QTest::newRow("practice store with another password") << 3;
    }
    void prepareStartup_unusableStoreAcceptedOrTouched()
    {
        QFETCH(int, kind);
        ProgramFolder folder;
        folder.writeFile(QLatin1String(kSettingsFile), "[config]\nlanguage=2\n");
        QByteArray bytes(kind == 2 ? 8192 : 0, '\0');
        QRandomGenerator(20240611).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        if (kind == 1 || kind == 2)
            folder.writeFile(kStore, bytes);
        if (kind == 3)
            folder.makePracticeStore({{2, test::numberedEntries(5)}}, "Another.Key");
        folder.install();
        m_dialogs.answers = {true};
        const QStringList before = snapshot(folder.path());
        try {
            prepareStartup();
            QFAIL("no error for an unusable practice store");
        } catch (const Error &e) {
            QVERIFY2(e.message().contains(folder.file(kStore)), qPrintable(e.message()));
        }
        QCOMPARE(m_dialogs.questions, QStringList());
        resetModuleVariables(); // nothing else may be left open on a broken store either
        QCOMPARE(snapshot(folder.path()), before);
    }

    void getLanguageText_wrongText_data()
    {
        QTest::addColumn<QString>("textId");
        QTest::addColumn<QString>("langCode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("row") << u"GLVex.label2"_s << u"2"_s << u"输入后按回车\n第二行"_s;
        QTest::newRow("Null text") << u"NULLTEXT"_s << u"2"_s << QString();
        QTest::newRow("no row") << u"NOSUCHID"_s << u"2"_s << QString();
        QTest::newRow("unknown language") << u"GLVex.label2"_s << u"7"_s << QString();
    }
    void getLanguageText_wrongText()
    {
        QFETCH(QString, textId);
        QFETCH(QString, langCode);
        QFETCH(QString, expected);
        ProgramFolder folder;
        folder.makeLanguageStore({{u"GLVex.label2"_s, u"2"_s, u"输入后按回车\n第二行"_s}, {u"NULLTEXT"_s, u"2"_s, {}}});
        folder.install();
        QCOMPARE(GetLanguageText(textId, langCode), expected);
    }

    void getLanguageText_staleOrMissingStore()
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
        folder.makeLanguageStore({{u"RJXX"_s, u"2"_s, u"old"_s}}); // the next lookup must read it
        QCOMPARE(GetLanguageText(u"RJXX"_s, u"2"_s), u"old"_s);
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
        QTest::addColumn<QString>("contents");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("expectedOutput"); // on stderr for a failure, else on stdout
        QTest::newRow("practice store missing") << u"all but the store"_s << QStringList() << kFatalExitStatus << kStore;
        QTest::newRow("--version") << u"none"_s << QStringList{u"--version"_s} << 0 << u"" TRENIX_VERSION ""_s;
        QTest::newRow("complete folder") << u"all"_s << QStringList() << 0 << QString();
    }
    void executable_exitStatusWrong()
    {
        QFETCH(QString, contents);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, expectedOutput);
        ProgramFolder folder;
        if (contents != u"none")
            folder.copyAllFromBuild();
        if (contents == u"all but the store")
            QFile::remove(folder.file(kStore));
        const QString program = folder.file(u"trenix"_s); // beside its data, so that it reads that folder
        QVERIFY(QFile::copy(QStringLiteral(TRENIX_BIN_DIR "/trenix"), program));
        QTemporaryDir workDir;
        const QStringList before = snapshot(folder.path());
        QProcess process;
        process.setWorkingDirectory(workDir.path());
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(30000)); // only keeps a hung child from hanging the run
        const QString out = process.readAllStandardOutput(), err = process.readAllStandardError();
        const QString run = u"exit %1\nstdout: %2\nstderr: %3"_s.arg(process.exitCode()).arg(out, err);
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == exitCode, qPrintable(run));
        QVERIFY2((exitCode ? err : out).contains(expectedOutput), qPrintable(run));
        QVERIFY2(exitCode ? err.contains(u"trenix: error:"_s) : !err.contains(u"error"_s), qPrintable(run));
        QCOMPARE(snapshot(folder.path()), before);
        QCOMPARE(snapshot(workDir.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
