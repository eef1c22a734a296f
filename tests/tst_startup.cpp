// Start-up: the practice store, the language question, the text lookup and the
// real executable's exit status.
#include "GlVexM.h"
#include "Startup.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <exception>
#include <optional>

using trenix::Error;
using trenix::GlVexM;
using trenix::StartupOutcome;
using trenix::test::ProgramFolder;
using trenix::test::ScriptedDialogs;

namespace {

const QString kStore = QLatin1String(trenix::kStoreFile);
const QString kLanguage = QLatin1String(trenix::kLanguageFile);
const QString kSettings = QLatin1String(trenix::kSettingsFile);
constexpr int kProcessBoundMs = 30000; // only keeps a hung child from hanging the run

using TextRow = std::tuple<QString, QString, std::optional<QString>>;

// Texts of the language question in several languages, so that a lookup in
// the wrong language shows up as a wrong text.
const QList<TextRow> kQuestionTexts{
    {QStringLiteral("GLVex_Module.main"), QStringLiteral("0"), QStringLiteral("prompt-0")},
    {QStringLiteral("GLVex_Module.main"), QStringLiteral("1"), QStringLiteral("prompt-1")},
    {QStringLiteral("GLVex_Module.main"), QStringLiteral("2"), QStringLiteral("提示-2")},
    {QStringLiteral("GLVex_Module.main"), QStringLiteral("3"), QStringLiteral("prompt-3")},
    {QStringLiteral("RJXX"), QStringLiteral("0"), QStringLiteral("title-0")},
    {QStringLiteral("RJXX"), QStringLiteral("1"), QStringLiteral("title-1")},
    {QStringLiteral("RJXX"), QStringLiteral("2"), QStringLiteral("标题-2")},
    {QStringLiteral("RJXX"), QStringLiteral("3"), QStringLiteral("title-3")},
};

// Every entry under root (hidden ones too), with a hash of each file's bytes.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> entries;
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = base.relativeFilePath(path);
        if (info.isDir() && !info.isSymLink()) {
            entries.insert(name + u'/', QByteArray());
        } else {
            QFile f(path);
            QCryptographicHash hash(QCryptographicHash::Sha256);
            if (f.open(QIODevice::ReadOnly))
                hash.addData(&f);
            entries.insert(name, f.isOpen() ? hash.result() : QByteArray("<unreadable>"));
        }
    }
    return entries;
}

QString describeChanges(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &after)
{
    QStringList changes;
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (!after.contains(it.key()))
            changes << QStringLiteral("removed %1").arg(it.key());
        else if (after.value(it.key()) != it.value())
            changes << QStringLiteral("changed %1").arg(it.key());
    }
    for (auto it = after.begin(); it != after.end(); ++it)
        if (!before.contains(it.key()))
            changes << QStringLiteral("created %1").arg(it.key());
    return changes.join(QStringLiteral(", "));
}

QByteArray randomBytes(int size)
{
    QRandomGenerator generator(20240611); // fixed: a failure must be repeatable
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

QMap<int, QList<trenix::DictionaryEntry>> smallDictionary()
{
    return {{2, trenix::test::numberedEntries(5)}};
}

enum class BadFile { Missing, Empty, RandomBytes, PlainSqlite, OtherPassword, Directory, NoTextTable };

// Puts an unusable version of the named store into the folder.
void makeBadFile(ProgramFolder &folder, const QString &name, BadFile kind)
{
    const QString path = folder.file(name);
    switch (kind) {
    case BadFile::Missing:
        QFile::remove(path);
        break;
    case BadFile::Empty:
        folder.writeFile(name, QByteArray());
        break;
    case BadFile::RandomBytes:
        folder.writeFile(name, randomBytes(8192));
        break;
    case BadFile::PlainSqlite:
        folder.makePracticeStore(smallDictionary(), QByteArray());
        if (name != kStore)
            QFile::rename(folder.file(kStore), path);
        break;
    case BadFile::OtherPassword:
        folder.makePracticeStore(smallDictionary(), QByteArrayLiteral("Another.Key"));
        if (name != kStore)
            QFile::rename(folder.file(kStore), path);
        break;
    case BadFile::Directory:
        QFile::remove(path);
        QDir(folder.path()).mkdir(name);
        break;
    case BadFile::NoTextTable: {
        // A readable database without the table CWord.
        QFile::remove(path);
        trenix::Store store(path, QByteArray(), trenix::Store::Mode::Create);
        store.exec(QStringLiteral("create table other (x text)"));
        break;
    }
    }
}

struct Run {
    bool finished = false;
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QString out;
    QString err;

    QString describe() const
    {
        return QStringLiteral("finished=%1 exitCode=%2 crashed=%3\nstdout: %4\nstderr: %5")
            .arg(finished).arg(exitCode).arg(exitStatus == QProcess::CrashExit).arg(out, err);
    }
};

// Copies the executable into the folder, so that it reads that folder's data.
void installExecutable(ProgramFolder &folder)
{
    const QString from = QDir(QStringLiteral(TRENIX_BIN_DIR)).filePath(QStringLiteral("trenix"));
    const QString to = folder.file(QStringLiteral("trenix"));
    if (!QFile::copy(from, to))
        qFatal("cannot copy %s", qPrintable(from));
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

Run runExecutable(const ProgramFolder &folder, const QString &workDir, const QStringList &arguments,
                  bool quitAfterFirstPaint = false)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("TRENIX_QUIT_AFTER_FIRST_PAINT"));
    if (quitAfterFirstPaint)
        env.insert(QStringLiteral("TRENIX_QUIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));

    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir);
    process.start(folder.file(QStringLiteral("trenix")), arguments);
    Run run;
    if (!process.waitForStarted(kProcessBoundMs)) {
        run.err = QStringLiteral("<did not start: %1>").arg(process.errorString());
        return run;
    }
    run.finished = process.waitForFinished(kProcessBoundMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished(kProcessBoundMs);
    }
    run.exitCode = process.exitCode();
    run.exitStatus = process.exitStatus();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

} // namespace

Q_DECLARE_METATYPE(BadFile)
Q_DECLARE_METATYPE(std::optional<QByteArray>)
Q_DECLARE_METATYPE(StartupOutcome)

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void prepareStartup_languageMisreadOrQuestionWrong_data();
    void prepareStartup_languageMisreadOrQuestionWrong();
    void prepareStartup_unusableStoreAcceptedOrTouched_data();
    void prepareStartup_unusableStoreAcceptedOrTouched();

    void getLanguageText_wrongText_data();
    void getLanguageText_wrongText();
    void getLanguageText_staleAfterStoreChanged();
    void getLanguageText_unusableStoreAcceptedOrSticky_data();
    void getLanguageText_unusableStoreAcceptedOrSticky();

    void executable_unusableStoreNotFatal_data();
    void executable_unusableStoreNotFatal();
    void executable_optionNeedsDataOrFails_data();
    void executable_optionNeedsDataOrFails();
    void executable_completeFolderFailsToStart();

private:
    ScriptedDialogs m_dialogs;
};

void TestStartup::init()
{
    m_dialogs = ScriptedDialogs();
    trenix::test::resetAll(nullptr, &m_dialogs, nullptr);
}

void TestStartup::cleanup()
{
    // The test's folder is gone once it ends.
    trenix::resetModuleVariables();
    GlVexM.programFolder.clear();
    GlVexM.dialogs = nullptr;
}

// ---------------------------------------------------------------------------

void TestStartup::prepareStartup_languageMisreadOrQuestionWrong_data()
{
    QTest::addColumn<std::optional<QByteArray>>("config");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<StartupOutcome>("outcome");
    QTest::addColumn<int>("languageCode");

    using O = StartupOutcome;
    const QList<bool> yes{true};
    const QList<bool> no{false};
    // A question that should not come gets Yes; the missing-question check still catches it.
    QTest::newRow("code 2") << std::optional<QByteArray>("[config]\nlanguage=2\n") << yes << false << O::ShowMainWindow << 2;
    QTest::newRow("code 0 is read, not missing") << std::optional<QByteArray>("[config]\nlanguage=0\n") << yes << false << O::ShowMainWindow << 0;
    QTest::newRow("code 1 is read, not missing") << std::optional<QByteArray>("[config]\nlanguage=1\n") << yes << false << O::ShowMainWindow << 1;
    QTest::newRow("code 3") << std::optional<QByteArray>("[config]\nlanguage=3\n") << yes << false << O::ShowMainWindow << 3;
    QTest::newRow("not a number reads as 0") << std::optional<QByteArray>("[config]\nlanguage=abc\n") << yes << false << O::ShowMainWindow << 0;

    QTest::newRow("no settings file, No") << std::optional<QByteArray>() << no << true << O::Quit << 2;
    QTest::newRow("no settings file, Yes") << std::optional<QByteArray>() << yes << true << O::ShowMainWindow << 2;
    QTest::newRow("key in another section, No") << std::optional<QByteArray>("[other]\nlanguage=3\n") << no << true << O::Quit << 2;
    QTest::newRow("key in another section, Yes") << std::optional<QByteArray>("[other]\nlanguage=3\n") << yes << true << O::ShowMainWindow << 2;
    // Truncating to 16 bits would turn these into the valid codes 4464 and 2.
    QTest::newRow("above 16 bits, Yes") << std::optional<QByteArray>("[config]\nlanguage=70000\n") << yes << true << O::ShowMainWindow << 2;
    QTest::newRow("below 16 bits, No") << std::optional<QByteArray>("[config]\nlanguage=-65534\n") << no << true << O::Quit << 2;
    QTest::newRow("above 32 bits, Yes") << std::optional<QByteArray>("[config]\nlanguage=4294967298\n") << yes << true << O::ShowMainWindow << 2;
}

void TestStartup::prepareStartup_languageMisreadOrQuestionWrong()
{
    QFETCH(std::optional<QByteArray>, config);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, asked);
    QFETCH(StartupOutcome, outcome);
    QFETCH(int, languageCode);

    ProgramFolder folder;
    folder.makePracticeStore(smallDictionary());
    folder.makeLanguageStore(kQuestionTexts);
    if (config)
        folder.writeFile(kSettings, *config);
    folder.install();
    m_dialogs.answers = answers;
    // A range left over from earlier must not survive a start.
    GlVexM.wordFrom = 40;
    GlVexM.wordTo = 60;
    const auto before = snapshot(folder.path());

    StartupOutcome got{};
    try {
        got = trenix::prepareStartup();
    } catch (const std::exception &e) {
        QFAIL(qPrintable(QStringLiteral("prepareStartup threw: %1").arg(QString::fromUtf8(e.what()))));
    }

    const QStringList expectedQuestions = asked ? QStringList{QStringLiteral("标题-2|提示-2")} : QStringList();
    QVERIFY2(m_dialogs.questions == expectedQuestions,
             qPrintable(QStringLiteral("questions asked (title|prompt): [%1], expected [%2]")
                            .arg(m_dialogs.questions.join(u';'), expectedQuestions.join(u';'))));
    QVERIFY2(got == outcome, qPrintable(QStringLiteral("outcome %1, expected %2").arg(int(got)).arg(int(outcome))));
    QCOMPARE(int(GlVexM.languageCode), languageCode);
    QCOMPARE(int(GlVexM.wordFrom), 1);
    QCOMPARE(int(GlVexM.wordTo), 999);
    QVERIFY2(GlVexM.storeConn.isOpen(), "the practice store is not kept open");
    QVERIFY2(m_dialogs.errors.isEmpty(), qPrintable(m_dialogs.errors.join(u'\n')));
    const auto after = snapshot(folder.path());
    QVERIFY2(after == before, qPrintable(QStringLiteral("folder changed: %1").arg(describeChanges(before, after))));
}

void TestStartup::prepareStartup_unusableStoreAcceptedOrTouched_data()
{
    QTest::addColumn<QString>("badName");
    QTest::addColumn<BadFile>("kind");
    QTest::addColumn<bool>("withSettings");

    QTest::newRow("practice store missing") << kStore << BadFile::Missing << true;
    QTest::newRow("practice store empty") << kStore << BadFile::Empty << true;
    QTest::newRow("practice store random bytes") << kStore << BadFile::RandomBytes << true;
    QTest::newRow("practice store without key") << kStore << BadFile::PlainSqlite << true;
    QTest::newRow("practice store with another password") << kStore << BadFile::OtherPassword << true;
    QTest::newRow("practice store is a directory") << kStore << BadFile::Directory << true;
    // The question's texts come from the language store.
    QTest::newRow("no settings, language store missing") << kLanguage << BadFile::Missing << false;
    QTest::newRow("no settings, language store without CWord") << kLanguage << BadFile::NoTextTable << false;
}

void TestStartup::prepareStartup_unusableStoreAcceptedOrTouched()
{
    QFETCH(QString, badName);
    QFETCH(BadFile, kind);
    QFETCH(bool, withSettings);

    ProgramFolder folder;
    folder.makePracticeStore(smallDictionary());
    folder.makeLanguageStore(kQuestionTexts);
    if (withSettings)
        folder.writeFile(kSettings, "[config]\nlanguage=2\n");
    makeBadFile(folder, badName, kind);
    folder.install();
    m_dialogs.answers = {true};
    const auto before = snapshot(folder.path());

    const QString path = folder.file(badName);
    try {
        const StartupOutcome got = trenix::prepareStartup();
        QFAIL(qPrintable(QStringLiteral("no error for an unusable %1; outcome %2").arg(badName).arg(int(got))));
    } catch (const Error &e) {
        QVERIFY2(e.message().contains(path),
                 qPrintable(QStringLiteral("message does not name %1: %2").arg(path, e.message())));
    } catch (const std::exception &e) {
        QFAIL(qPrintable(QStringLiteral("not a trenix::Error: %1").arg(QString::fromUtf8(e.what()))));
    }

    if (withSettings)
        QVERIFY2(m_dialogs.questions.isEmpty(), qPrintable(m_dialogs.questions.join(u';')));
    // Nothing else may be left open on a broken store either.
    trenix::resetModuleVariables();
    const auto after = snapshot(folder.path());
    QVERIFY2(after == before, qPrintable(QStringLiteral("folder changed: %1").arg(describeChanges(before, after))));
}

// ---------------------------------------------------------------------------

void TestStartup::getLanguageText_wrongText_data()
{
    QTest::addColumn<QString>("textId");
    QTest::addColumn<QString>("langCode");
    QTest::addColumn<QString>("expected");

    QTest::newRow("row") << QStringLiteral("GLVex.label2") << QStringLiteral("2") << QStringLiteral("输入后按回车\n第二行");
    QTest::newRow("same identifier, other language") << QStringLiteral("GLVex.label2") << QStringLiteral("1") << QStringLiteral("Type, then Enter");
    QTest::newRow("Null text") << QStringLiteral("NULLTEXT") << QStringLiteral("2") << QString();
    QTest::newRow("no row") << QStringLiteral("NOSUCHID") << QStringLiteral("2") << QString();
    QTest::newRow("unknown language") << QStringLiteral("GLVex.label2") << QStringLiteral("7") << QString();
    QTest::newRow("language compared as text") << QStringLiteral("GLVex.label2") << QStringLiteral("02") << QString();
    QTest::newRow("negative language") << QStringLiteral("NEG") << QStringLiteral("-1") << QStringLiteral("minus one");
    QTest::newRow("identifier case ignored") << QStringLiteral("glvex.LABEL2") << QStringLiteral("2") << QStringLiteral("输入后按回车\n第二行");
    QTest::newRow("quote in a stored identifier") << QStringLiteral("it's") << QStringLiteral("2") << QStringLiteral("quoted");
    QTest::newRow("quote that would widen the query") << QStringLiteral("x' or ID<>'") << QStringLiteral("2") << QString();
    QTest::newRow("quote in the language") << QStringLiteral("GLVex.label2") << QStringLiteral("2' or '1'='1") << QString();
    QTest::newRow("empty identifier") << QString() << QStringLiteral("2") << QString();
}

void TestStartup::getLanguageText_wrongText()
{
    QFETCH(QString, textId);
    QFETCH(QString, langCode);
    QFETCH(QString, expected);

    ProgramFolder folder;
    folder.makeLanguageStore({
        {QStringLiteral("GLVex.label2"), QStringLiteral("2"), QStringLiteral("输入后按回车\n第二行")},
        {QStringLiteral("GLVex.label2"), QStringLiteral("1"), QStringLiteral("Type, then Enter")},
        {QStringLiteral("NULLTEXT"), QStringLiteral("2"), std::nullopt},
        {QStringLiteral("NEG"), QStringLiteral("-1"), QStringLiteral("minus one")},
        {QStringLiteral("it's"), QStringLiteral("2"), QStringLiteral("quoted")},
    });
    folder.install();

    QString got;
    try {
        got = trenix::GetLanguageText(textId, langCode);
    } catch (const std::exception &e) {
        QFAIL(qPrintable(QStringLiteral("lookup threw: %1").arg(QString::fromUtf8(e.what()))));
    }
    QCOMPARE(got, expected);
}

void TestStartup::getLanguageText_staleAfterStoreChanged()
{
    ProgramFolder folder;
    folder.makeLanguageStore({{QStringLiteral("RJXX"), QStringLiteral("2"), QStringLiteral("old")}});
    folder.install();
    QCOMPARE(trenix::GetLanguageText(QStringLiteral("RJXX"), QStringLiteral("2")), QStringLiteral("old"));
    QCOMPARE(trenix::GetLanguageText(QStringLiteral("FH"), QStringLiteral("2")), QString());

    {
        // Another program edits the store while the game runs.
        trenix::Store editor(folder.file(kLanguage), QByteArray(), trenix::Store::Mode::ReadWrite);
        editor.exec(QStringLiteral("update CWord set CValue='new' where ID='RJXX';"
                                   "insert into CWord (ID, Clanguage, CValue) values ('FH', '2', 'back')"));
    }
    QCOMPARE(trenix::GetLanguageText(QStringLiteral("RJXX"), QStringLiteral("2")), QStringLiteral("new"));
    QCOMPARE(trenix::GetLanguageText(QStringLiteral("FH"), QStringLiteral("2")), QStringLiteral("back"));

    // The file replaced by a new one under the same name.
    folder.makeLanguageStore({{QStringLiteral("RJXX"), QStringLiteral("2"), QStringLiteral("replaced")}});
    QCOMPARE(trenix::GetLanguageText(QStringLiteral("RJXX"), QStringLiteral("2")), QStringLiteral("replaced"));
    QCOMPARE(trenix::GetLanguageText(QStringLiteral("FH"), QStringLiteral("2")), QString());
}

void TestStartup::getLanguageText_unusableStoreAcceptedOrSticky_data()
{
    QTest::addColumn<BadFile>("kind");

    QTest::newRow("missing") << BadFile::Missing;
    QTest::newRow("empty file") << BadFile::Empty;
    QTest::newRow("random bytes") << BadFile::RandomBytes;
    QTest::newRow("directory") << BadFile::Directory;
    QTest::newRow("no table CWord") << BadFile::NoTextTable;
}

void TestStartup::getLanguageText_unusableStoreAcceptedOrSticky()
{
    QFETCH(BadFile, kind);

    ProgramFolder folder;
    makeBadFile(folder, kLanguage, kind);
    folder.install();
    const QString path = folder.file(kLanguage);
    const auto before = snapshot(folder.path());

    try {
        const QString got = trenix::GetLanguageText(QStringLiteral("RJXX"), QStringLiteral("2"));
        QFAIL(qPrintable(QStringLiteral("no error for an unusable language store; got \"%1\"").arg(got)));
    } catch (const Error &e) {
        QVERIFY2(e.message().contains(path),
                 qPrintable(QStringLiteral("message does not name %1: %2").arg(path, e.message())));
    } catch (const std::exception &e) {
        QFAIL(qPrintable(QStringLiteral("not a trenix::Error: %1").arg(QString::fromUtf8(e.what()))));
    }
    trenix::closeLanguageStore();
    const auto after = snapshot(folder.path());
    QVERIFY2(after == before, qPrintable(QStringLiteral("folder changed: %1").arg(describeChanges(before, after))));

    // Once the store is repaired, the next lookup must read it.
    if (kind == BadFile::Directory)
        QVERIFY(QDir(folder.path()).rmdir(kLanguage));
    folder.makeLanguageStore({{QStringLiteral("RJXX"), QStringLiteral("2"), QStringLiteral("repaired")}});
    try {
        QCOMPARE(trenix::GetLanguageText(QStringLiteral("RJXX"), QStringLiteral("2")), QStringLiteral("repaired"));
    } catch (const std::exception &e) {
        QFAIL(qPrintable(QStringLiteral("lookup on the repaired store threw: %1").arg(QString::fromUtf8(e.what()))));
    }
}

// ---------------------------------------------------------------------------

void TestStartup::executable_unusableStoreNotFatal_data()
{
    QTest::addColumn<BadFile>("kind");

    QTest::newRow("practice store missing") << BadFile::Missing;
    QTest::newRow("practice store with another password") << BadFile::OtherPassword;
    QTest::newRow("practice store random bytes") << BadFile::RandomBytes;
}

void TestStartup::executable_unusableStoreNotFatal()
{
    QFETCH(BadFile, kind);

    ProgramFolder folder;
    folder.copyAllFromBuild();
    makeBadFile(folder, kStore, kind);
    installExecutable(folder);
    QTemporaryDir workDir;
    QVERIFY(workDir.isValid());
    const auto before = snapshot(folder.path());

    const Run run = runExecutable(folder, workDir.path(), {});
    QVERIFY2(run.finished && run.exitStatus == QProcess::NormalExit, qPrintable(run.describe()));
    QVERIFY2(run.exitCode == trenix::kFatalExitStatus, qPrintable(run.describe()));
    QVERIFY2(run.err.contains(QStringLiteral("trenix: error:")) && run.err.contains(kStore), qPrintable(run.describe()));
    const auto after = snapshot(folder.path());
    QVERIFY2(after == before, qPrintable(QStringLiteral("folder changed: %1").arg(describeChanges(before, after))));
    QVERIFY2(QDir(workDir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             "files created in the working directory");
}

void TestStartup::executable_optionNeedsDataOrFails_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expectedOutput");

    QTest::newRow("--version") << QStringLiteral("--version") << QStringLiteral(TRENIX_VERSION);
    QTest::newRow("--help") << QStringLiteral("--help") << QStringLiteral("--version");
}

void TestStartup::executable_optionNeedsDataOrFails()
{
    QFETCH(QString, option);
    QFETCH(QString, expectedOutput);

    // No data files at all: the options must answer without them.
    ProgramFolder folder;
    installExecutable(folder);
    QTemporaryDir workDir;
    QVERIFY(workDir.isValid());
    const auto before = snapshot(folder.path());

    const Run run = runExecutable(folder, workDir.path(), {option});
    QVERIFY2(run.finished && run.exitStatus == QProcess::NormalExit && run.exitCode == 0, qPrintable(run.describe()));
    QVERIFY2(run.out.contains(expectedOutput),
             qPrintable(QStringLiteral("expected \"%1\" in the output\n%2").arg(expectedOutput, run.describe())));
    QVERIFY2(!run.err.contains(QStringLiteral("error")), qPrintable(run.describe()));
    const auto after = snapshot(folder.path());
    QVERIFY2(after == before, qPrintable(QStringLiteral("folder changed: %1").arg(describeChanges(before, after))));
}

void TestStartup::executable_completeFolderFailsToStart()
{
    ProgramFolder folder;
    folder.copyAllFromBuild();
    installExecutable(folder);
    QTemporaryDir workDir;
    QVERIFY(workDir.isValid());
    const auto before = snapshot(folder.path());

    const Run run = runExecutable(folder, workDir.path(), {}, /*quitAfterFirstPaint=*/true);
    QVERIFY2(run.finished && run.exitStatus == QProcess::NormalExit && run.exitCode == 0, qPrintable(run.describe()));
    QVERIFY2(!run.err.contains(QStringLiteral("trenix: error:")), qPrintable(run.describe()));
    // A run that plays no game leaves every data file as it was.
    const auto after = snapshot(folder.path());
    QVERIFY2(after == before, qPrintable(QStringLiteral("folder changed: %1").arg(describeChanges(before, after))));
    QVERIFY2(QDir(workDir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             "files created in the working directory");
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
