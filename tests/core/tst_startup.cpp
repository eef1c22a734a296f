// SPDX-License-Identifier: GPL-3.0-or-later
// The start: which language the settings files give, the texts built for
// every language, the language store's lookups, and the real program's exit.
#include "EntryFeedback.h"
#include "LanguageChoice.h"
#include "SettingsRules.h"
#include "Startup.h"
#include "TestSupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>

using namespace trenix;
using namespace Qt::StringLiterals;
using test::ProgramFolder;

namespace {
const QString kStore = QLatin1String(kStoreFile);
// The config.dat beside the program and the player's own (null: none, "saved": chosen in the
// language menu); whether the language question comes and is answered Yes; the language then in force;
// whether the player's code is ignored; the desktop's LANG (null: not set) and whether the copy is an installed one.
struct StartRow {
    QByteArray program, player;
    bool asked, yes;
    int code;
    bool playerIgnored = false; // a line on stderr says the player's code is not one of ours
    QString desktop = {};
    bool installed = false;
};
// A data file beside the program replaced by these bytes (null: removed), the arguments, the exit
// status and what stderr says.
struct RunRow {
    QString file;
    QByteArray content;
    QStringList arguments;
    int status;
    QString said;
};

QStringList snapshot(const QString &folder) // every entry, hidden ones too, with a hash of its bytes
{
    QStringList entries;
    for (const QFileInfo &info :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        entries << info.fileName() + u' ' + QString::number(qHash(test::fileBytes(info.filePath())));
    return entries;
}
} // namespace

Q_DECLARE_METATYPE(StartRow)
Q_DECLARE_METATYPE(RunRow)

class TestStartup : public QObject {
    Q_OBJECT
    QTemporaryDir m_home; // the program's home and working folder: never the player's own ~/.config/trenix

private slots:
    void initTestCase()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("TRENIX_QUIT_AFTER_FIRST_PAINT", "1");
        qputenv("HOME", m_home.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
    }
    void init() { test::resetAll(); }

    void prepareStartup_languageMisreadOrQuestionWrong_data()
    {
        QTest::addColumn<StartRow>("row");
        const QByteArray key("[config]\nlanguage="), three = key + "3\n";
        const QString en = u"en_US.UTF-8"_s;
        QTest::newRow("code 0 is read, not missing") << StartRow{key + "0\n", {}, false, true, 0};
        QTest::newRow("no settings file, No") << StartRow{{}, {}, true, false, 2};
        QTest::newRow("above 16 bits, Yes") << StartRow{key + "70000\n", {}, true, true, 2}; // not 4464
        QTest::newRow("player's choice wins") << StartRow{three, key + "1", false, true, 1};
        QTest::newRow("player's code not a language") << StartRow{three, key + "4", false, true, 3, true};
        QTest::newRow("player's code empty") << StartRow{three, key, false, true, 3, true};
        QTest::newRow("player's file without the key") << StartRow{three, "[other]\nlanguage=1", false, true, 3};
        QTest::newRow("player's choice saved twice") << StartRow{three, "saved", false, true, 1};
        QTest::newRow("installed: the desktop before the package's file")
            << StartRow{three, {}, false, true, 1, false, en, true};
        QTest::newRow("installed: the player's choice before the desktop")
            << StartRow{three, key + "2", false, true, 2, false, en, true};
        QTest::newRow("installed, no locale: the package's file")
            << StartRow{three, {}, false, true, 3, false, {}, true};
        QTest::newRow("build folder: the desktop does not count") << StartRow{three, {}, false, true, 3, false, en};
    }
    void prepareStartup_languageMisreadOrQuestionWrong()
    {
        QFETCH(StartRow, row);
        ProgramFolder folder, player;
        test::ScriptedDialogs dialogs;
        folder.makePracticeStore({{2, test::numberedEntries(5)}});
        // The question in language 2 alone: a lookup in another gives the English text.
        folder.makeLanguageStore({{u"GLVex_Module.main"_s, u"2"_s, u"提示-2"_s}, {u"RJXX"_s, u"2"_s, u"标题-2"_s}});
        if (!row.program.isNull())
            folder.writeFile(QLatin1String(kSettingsFile), row.program);
        DataPaths paths{folder.path(), row.installed ? folder.path() : QString(), player.path()};
        QString where;
        if (row.player == "saved") { // in folders made as needed; the second choice replaces the first
            paths.playerFolder = player.file(u"a/trenix"_s);
            QVERIFY(saveLanguageChoice(paths.playerConfigFile(), 3, where));
            QVERIFY(saveLanguageChoice(paths.playerConfigFile(), 1, where));
        } else if (!row.player.isNull()) {
            player.writeFile(QLatin1String(kSettingsFile), row.player);
        }
        folder.install();
        dialogs.answers = {row.yes};
        GlVexM.wordFrom = GlVexM.wordTo = 40; // a range and a store left over from earlier must not survive a start
        GlVexM.storeConn = Store(folder.file(kStore), kStorePassword, Store::Mode::ReadOnly);
        const QStringList before = snapshot(folder.path()) + snapshot(player.path());
        if (row.playerIgnored)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"config.dat: language .* is not 1, 2 or 3"_s));
        const Environment desktop = [&](const char *n) { return qstrcmp(n, "LANG") ? QString() : row.desktop; };
        QCOMPARE(prepareStartup(paths, dialogs, StoreOpening::Later, desktop),
                 row.asked && !row.yes ? StartupOutcome::Quit : StartupOutcome::ShowMainWindow);
        QCOMPARE(dialogs.questions, row.asked ? QStringList{u"标题-2|提示-2"_s} : QStringList());
        // The store opened before a question, so that one that fails says so first; else left for later.
        QCOMPARE((QList<int>{GlVexM.languageCode, GlVexM.wordFrom, GlVexM.wordTo, GlVexM.storeConn.isOpen()}),
                 (QList<int>{row.code, 1, 999, row.asked}));
        // Reading writes nothing; a Yes is kept in the player's file, so that it is asked once.
        const bool kept = row.asked && row.yes;
        QCOMPARE(snapshot(folder.path()) + snapshot(player.path()) == before, !kept);
        if (kept)
            QVERIFY(test::fileBytes(paths.playerConfigFile()).contains("language=2"));
        if (row.asked && !row.yes)
            return;
        // The rest of start-up follows the answer at once, as it follows the first paint; else the store's opening.
        bool finished = false;
        deferStartupWork([&] { finished = true; });
        continueStartup(paths.practiceStore(), finishStartup);
        QCOMPARE(finished, row.asked);
        QTRY_VERIFY(finished);
        ensurePracticeStore(paths.practiceStore());
        // Only language 2 has a dictionary here: any other code is told, not left to a failing start.
        QCOMPARE(missingDictionaryNotice(GlVexM.storeConn, GlVexM.languageCode).isEmpty(), row.code == 2);
    }

    void desktopLanguage_wrongCode_data()
    {
        QTest::addColumn<QString>("values"); // LANGUAGE|LC_ALL|LC_MESSAGES|LANG, empty: not set
        QTest::addColumn<int>("code");       // 0: none
        QTest::newRow("nothing set") << u"|||"_s << 0;
        QTest::newRow("Zhuang is not Chinese") << u"|||zha_CN"_s << 1;
        QTest::newRow("mainland") << u"|||zh_CN.UTF-8"_s << 2;
        QTest::newRow("Macau, a modifier") << u"|||zh_MO@stroke"_s << 3;
        QTest::newRow("Hant script") << u"|||zh-Hant-SG"_s << 3;
        QTest::newRow("Hans script in Hong Kong") << u"|||zh_Hans_HK"_s << 2;
        QTest::newRow("LANGUAGE first, its first choice") << u"zh_TW:zh_CN|||en_US"_s << 3;
        QTest::newRow("LC_ALL before LC_MESSAGES") << u"|en_GB|zh_CN|"_s << 1;
        QTest::newRow("LC_MESSAGES before LANG") << u"||zh_HK|en_US"_s << 3;
    }
    void desktopLanguage_wrongCode()
    {
        QFETCH(QString, values);
        const Environment environment = [&](const char *name) {
            return values.split(u'|').value(QByteArrayList{"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}.indexOf(name));
        };
        QTEST(int(desktopLanguage(environment).value_or(0)), "code");
    }

    // On the write-ahead journal while the program runs, back as it shipped once it ends.
    void writeAheadJournal_missingOrForcedOnReadOnlyOrLeftAtRest()
    {
        ProgramFolder folder;
        folder.makePracticeStore({{2, test::numberedEntries(3)}});
        for (const bool readOnly : {true, false}) { // synchronous: 2 full, 1 normal
            Store store(folder.file(kStore), kStorePassword, readOnly ? Store::Mode::ReadOnly : Store::Mode::ReadWrite);
            const auto mode = [&store] { return test::firstColumn(store, u"pragma journal_mode"_s).join(u' '); };
            const QString atRest = useWriteAheadJournal(store);
            QCOMPARE(mode() + u' ' + test::firstColumn(store, u"pragma synchronous"_s).join(u' '),
                     readOnly ? u"delete 2"_s : u"wal 1"_s);
            leaveWriteAheadJournal(store, atRest);
            QCOMPARE(mode(), u"delete"_s);
            QVERIFY(!QFile::exists(folder.file(kStore) + u"-wal"_s));
        }
    }

    // A new language store under the same name is read anew; a missing, Null or placeholder-losing text gives the
    // English one; without its table, an error.
    void languageTexts_missingStaleOrPlaceholderLost()
    {
        ProgramFolder folder;
        folder.install();
        const QString file = folder.file(QLatin1String(kLanguageFile));
        // The buried text without its %2, a text of two lines, a Null one.
        folder.makeLanguageStore({{u"GLVex.buried"_s, u"2"_s, u"《%1》被压住了"_s},
                                  {u"RJXX"_s, u"2"_s, u"输入后按回车\n第二行"_s},
                                  {u"ZSJ"_s, u"2"_s, {}}});
        QCOMPARE(text(tid::RJXX, 2), u"输入后按回车\n第二行"_s);
        QCOMPARE(text(tid::ZSJ, 2), QString::fromUtf16(tid::ZSJ.english));
        QCOMPARE(text(tid::RJXX, 7), QString::fromUtf16(tid::RJXX.english));
        GlVexM.languageCode = 2;
        QCOMPARE(feedbackMessage({EntryVerdict::Kind::Buried, u"低"_s, u"高"_s, 3}),
                 QString::fromUtf16(tid::GLVex_buried.english).arg(u"低"_s, u"高"_s));
        Store(file, QByteArray(), Store::Mode::ReadWrite).exec(u"drop table CWord"_s);
        closeLanguageStore();
        QVERIFY_THROWS_EXCEPTION(Error, text(tid::RJXX, 2));
    }

    // The program beside its data, in a working folder and home of its own: neither is touched.
    void executable_exitStatusWrong_data()
    {
        QTest::addColumn<RunRow>("row");
        const QString missing = u"the file is missing"_s, error = u"trenix: error:"_s;
        const QString lang = QLatin1String(kLanguageFile), history = QLatin1String(kHistoryFile);
        const int fatal = kFatalExitStatus;
        QTest::newRow("practice store missing") << RunRow{kStore, {}, {}, fatal, missing};
        QTest::newRow("practice store empty") << RunRow{kStore, "", {}, fatal, error};
        QTest::newRow("practice store with another password") << RunRow{kStore, "another password", {}, fatal, error};
        // Without the quit after the first paint it runs on until the store, opened behind the window, fails.
        QTest::newRow("another password, found behind the window")
            << RunRow{kStore, "another password", {"--stay"}, fatal, error};
        QTest::newRow("language store missing") << RunRow{lang, {}, {}, fatal, missing};
        QTest::newRow("both stores missing: the practice store told first")
            << RunRow{kStore + u'|' + lang, {}, {}, fatal, missing};
        QTest::newRow("Qt's own options")
            << RunRow{{}, {}, {"-platform", "offscreen", "-reverse", "-style", "fusion"}, 0, {}};
        QTest::newRow("unknown option") << RunRow{{}, {}, {"--no-such"}, 1, u"no-such"_s};
        QTest::newRow("history exported into a missing folder")
            << RunRow{{}, {}, {"--export-history", "none/out.csv"}, 1, u"none/out.csv: cannot be written"_s};
        QTest::newRow("history exported to standard output")
            << RunRow{{}, {}, {"--export-history", "/dev/stdout"}, 0, u"0 games written to /dev/stdout"_s};
        QTest::newRow("empty history exported")
            << RunRow{history, "", {"--export-history", "/dev/stdout"}, 0, u"0 games written"_s};
        QTest::newRow("empty history listed") << RunRow{history, "", {"--list-words"}, 0, u"no word lists yet"_s};
    }
    void executable_exitStatusWrong()
    {
        QFETCH(RunRow, row);
        ProgramFolder folder;
        folder.copyAllFromBuild();
        const QStringList files = row.file.split(u'|', Qt::SkipEmptyParts);
        if (row.content == "another password")
            folder.makePracticeStore({{2, test::numberedEntries(5)}}, "Another.Key");
        else if (!row.content.isNull())
            folder.writeFile(row.file, row.content);
        else
            for (const QString &file : files)
                QVERIFY(QFile::remove(folder.file(file)));
        const QString program = folder.file(u"trenix"_s); // beside its data, so that it reads that folder
        QVERIFY(QFile::copy(QStringLiteral(TRENIX_BIN_DIR "/trenix"), program));
        const QStringList before = snapshot(folder.path());
        QProcess process;
        process.setWorkingDirectory(m_home.path());
        QStringList arguments = row.arguments;
        if (arguments.removeAll(u"--stay"_s))
            qunsetenv("TRENIX_QUIT_AFTER_FIRST_PAINT");
        process.start(program, arguments); // in the environment of this moment
        qputenv("TRENIX_QUIT_AFTER_FIRST_PAINT", "1");
        QVERIFY(process.waitForFinished(30000)); // only keeps a hung child from hanging the run
        const QString err = process.readAllStandardError();
        QVERIFY2(row.said.isEmpty() ? !err.contains(u"error"_s) : err.contains(row.said), qPrintable(err));
        QCOMPARE(u"%1 %2"_s.arg(process.exitStatus()).arg(process.exitCode()), u"0 %1"_s.arg(row.status)); // normal
        if (row.status != 0 && !files.isEmpty()) // the file named first; of two, the practice store: it opens first
            QCOMPARE(err.section(folder.path() + u'/', 1, 1).left(files.first().size()), files.first());
        if (row.arguments.contains(u"/dev/stdout"_s)) // the CSV itself, the header alone
            QCOMPARE(process.readAllStandardOutput().left(9), "\xEF\xBB\xBFgame,s"_ba);
        QCOMPARE(snapshot(folder.path()) + snapshot(m_home.path()), before);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
