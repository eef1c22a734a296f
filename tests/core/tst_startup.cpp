#include "EntryFeedback.h"
#include "GlVexM.h"
#include "LanguageChoice.h"
#include "SettingsRules.h"
#include "Shortcuts.h"
#include "Startup.h"
#include "TestSupport.h"
#include "Texts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace trenix;
using namespace Qt::StringLiterals;
using test::ProgramFolder;

namespace {
const QString kStore = QLatin1String(kStoreFile);
enum StoreKind { Built, Missing, Empty, Noise, OtherKey };

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

        const StartupOutcome got = prepareStartup(StoreOpening::Later);
        QCOMPARE(m_dialogs.questions, asked ? QStringList{u"标题-2|提示-2"_s} : QStringList());
        QCOMPARE(int(got), int(outcome));
        QCOMPARE(int(GlVexM.languageCode), languageCode);
        QCOMPARE(int(GlVexM.wordFrom), 1);
        QCOMPARE(int(GlVexM.wordTo), 999);
        // Opened before a question, so that a store that fails says so first; else left for later.
        QCOMPARE(GlVexM.storeConn.isOpen(), asked);
        QCOMPARE(m_dialogs.errors, QStringList());
        QCOMPARE(snapshot(folder.path()), before);
    }

    void writeAheadJournal_missingOrForcedOnReadOnly()
    {
        ProgramFolder folder;
        folder.makePracticeStore({{2, test::numberedEntries(3)}});
        for (const bool readOnly : {true, false}) { // synchronous: 2 full, 1 normal
            Store store(folder.file(kStore), kStorePassword, readOnly ? Store::Mode::ReadOnly : Store::Mode::ReadWrite);
            useWriteAheadJournal(store);
            Statement mode = store.prepare(u"pragma journal_mode"_s), sync = store.prepare(u"pragma synchronous"_s);
            QVERIFY(mode.next() && sync.next());
            QCOMPARE(mode.text(0) + u' ' + sync.text(0), readOnly ? u"delete 2"_s : u"wal 1"_s);
        }
    }

    void playerLanguage_wrongPrecedence_data()
    {
        QTest::addColumn<QByteArray>("player"); // the player's config.dat; the one beside the program says 3
        QTest::addColumn<int>("languageCode");
        QTest::newRow("player's choice wins") << QByteArray("[config]\nlanguage=1") << 1;
        QTest::newRow("16-bit edge") << QByteArray("[config]\nlanguage=32767") << 32767;
        QTest::newRow("without the key") << QByteArray("[other]\nlanguage=1") << 3;
        QTest::newRow("above 16 bits") << QByteArray("[config]\nlanguage=70000") << 3;
        QTest::newRow("no file") << QByteArray() << 3;
    }
    void playerLanguage_wrongPrecedence()
    {
        QFETCH(QByteArray, player);
        ProgramFolder folder, config;
        folder.makePracticeStore({{2, test::numberedEntries(5)}});
        folder.writeFile(QLatin1String(kSettingsFile), "[config]\nlanguage=3\n");
        if (!player.isEmpty())
            config.writeFile(QLatin1String(kSettingsFile), player);
        folder.install();
        GlVexM.playerConfigFolder = config.path();
        QCOMPARE(int(prepareStartup()), int(StartupOutcome::ShowMainWindow));
        QTEST(int(GlVexM.languageCode), "languageCode");
        QVERIFY(m_dialogs.questions.isEmpty());
    }

    void saveLanguageChoice_fileWrongOrFailureUntold()
    {
        QTemporaryDir home;
        GlVexM.playerConfigFolder = home.filePath(u"a/trenix"_s); // folders made as needed
        QString where;
        QVERIFY(saveLanguageChoice(3, where) && saveLanguageChoice(1, where)); // replaced, not added
        QFile file(playerConfigFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[config]\r\nlanguage=1\r\n"));
        GlVexM.playerConfigFolder = file.fileName(); // a file where the folder should be
        QVERIFY(!saveLanguageChoice(2, where));
        QCOMPARE(where, QDir::toNativeSeparators(file.fileName()));
    }

    // The added texts in all three languages, with the placeholders of the English one.
    void generatedStore_textMissingOrPlaceholderLost()
    {
        ProgramFolder folder;
        folder.copyFromBuild({QLatin1String(kLanguageFile)});
        folder.install();
        QStringList ids(textid::kAll.begin(), textid::kAll.end());
        ids << QStringList(textid::kWordSetTexts.begin(), textid::kWordSetTexts.end());
        for (const Shortcut &s : shortcutTable())
            ids << s.tipId;
        for (const QString &id : std::as_const(ids)) {
            for (const QString &language : {u"1"_s, u"2"_s, u"3"_s}) {
                const QString text = GetLanguageText(id, language);
                QVERIFY2(!text.isEmpty(), qPrintable(id + u" has no text in language "_s + language));
                for (const auto &p : QRegularExpression(u"%\\d"_s).globalMatch(GetLanguageText(id, u"1"_s)))
                    QVERIFY2(text.contains(p.captured()), qPrintable(id + u" lost "_s + p.captured() + u" in "_s + language));
            }
        }
        folder.makeLanguageStore({{textid::kBuried, u"2"_s, u"《%1》被压住了"_s}, // lost its %2
                                  {textid::kNotOnField, u"2"_s, u"不在游戏区中"_s}}); // lost its %1
        GlVexM.languageCode = 2;
        QCOMPARE(feedbackMessage({EntryVerdict::Kind::Buried, u"低"_s, u"高"_s, 3}), u"《低》 is buried under 《高》"_s);
        QCOMPARE(feedbackMessage({EntryVerdict::Kind::NotOnField, u"%2x"_s, {}, 0}), u"《%2x》 is not on the field"_s);
        QCOMPARE(textOr(textid::kSettingsTitle, settings::kMessageTitle), settings::kMessageTitle);
    }

    // A key the help pages do not name is one the player never learns.
    void shortcuts_keyMissingFromHelp()
    {
        for (int language = 1; language <= 3; ++language) {
            QFile page(u"%1/data/help/%2/help02.txt"_s.arg(QStringLiteral(TRENIX_SOURCE_DIR)).arg(language));
            QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
            const QString text = QString::fromUtf8(page.readAll());
            for (const Shortcut &s : shortcutTable())
                for (const QString &key : s.keys)
                    QVERIFY2(text.contains(key), qPrintable(page.fileName() + u" does not name "_s + key));
        }
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
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("quitAfterPaint"); // else it runs on until the store, opened behind the window, fails
        QTest::newRow("complete folder") << int(Built) << QStringList() << true;
        QTest::newRow("practice store missing") << int(Missing) << QStringList() << true;
        QTest::newRow("practice store empty") << int(Empty) << QStringList() << true;
        QTest::newRow("practice store random bytes") << int(Noise) << QStringList() << true;
        QTest::newRow("practice store with another password") << int(OtherKey) << QStringList() << true;
        QTest::newRow("another password, found behind the window") << int(OtherKey) << QStringList() << false;
        QTest::newRow("Qt's own options") << int(Built) << QStringList{u"-platform"_s, u"offscreen"_s, u"-reverse"_s, u"-style"_s, u"fusion"_s} << true;
        QTest::newRow("unknown option") << int(Built) << QStringList{u"--no-such"_s} << true;
    }
    void executable_exitStatusWrong()
    {
        QFETCH(int, store);
        QFETCH(QStringList, arguments);
        QFETCH(bool, quitAfterPaint);
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
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, workDir.path()); // never the player's own ~/.config/trenix
        env.remove(u"XDG_CONFIG_HOME"_s);
        if (!quitAfterPaint)
            env.remove(u"TRENIX_QUIT_AFTER_FIRST_PAINT"_s);
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(30000)); // only keeps a hung child from hanging the run
        const QString out = process.readAllStandardOutput(), err = process.readAllStandardError();
        const QString run = u"exit %1\nstdout: %2\nstderr: %3"_s.arg(process.exitCode()).arg(out, err);
        const bool fails = store != Built, refused = arguments.contains(u"--no-such"_s);
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == (refused ? 1 : fails ? kFatalExitStatus : 0), qPrintable(run));
        QVERIFY2(refused ? err.contains(u"no-such"_s) : fails ? err.contains(u"trenix: error:"_s) && err.contains(folder.file(kStore)) : !err.contains(u"error"_s),
                 qPrintable(run));
        QCOMPARE(snapshot(folder.path()), before);
        QCOMPARE(snapshot(workDir.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
