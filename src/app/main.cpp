// SPDX-License-Identifier: GPL-3.0-or-later
// Entry point: open the stores, read the language, show the main window;
// or, from the command line, write the recorded games as CSV, or import and
// list the player's own word lists.
#include "CsvWriter.h"
#include "DataPaths.h"
#include "Fonts.h"
#include "GLVex.h"
#include "GlVexM.h"
#include "History.h"
#include "InputMethodProbe.h"
#include "InterfaceLanguage.h"
#include "PlayerSettings.h"
#include "Startup.h"
#include "Texts.h"
#include "WidgetDialogs.h"
#include "WordListImport.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTimer>
#include <cstdio>

using namespace trenix;

namespace {
constexpr int kSettleMs = 100; // after the first paint, before the work that waited for it

// Runs `then` once the window has been painted and its pixels handed to the
// display: the event loop's next turn after the first paint event.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget *window, std::function<void()> then) : m_then(std::move(then))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, m_then);
        }
        return false;
    }

private:
    std::function<void()> m_then;
};

// finishStartup() from the event loop, where no handler's guard is around it.
void finishStartupOrReport(Dialogs &dialogs)
{
    try {
        finishStartup();
    } catch (const Error &e) {
        reportFatal(e, &dialogs);
    }
}

// Qt reads a stray byte of an argument as U+FFFD, unseen: a list named so
// could never be named again. 0 when every argument is UTF-8.
int refuseNonUtf8(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        QStringDecoder utf8(QStringDecoder::Utf8);
        [[maybe_unused]] const QString decoded = utf8(bytes);
        if (!utf8.hasError())
            continue;
        QByteArray shown;
        for (const char c : bytes)
            shown += uchar(c) < 0x20 || uchar(c) >= 0x7F
                         ? "\\x" + QByteArray::number(uchar(c), 16).rightJustified(2, '0')
                         : QByteArray(1, c);
        std::fprintf(stderr, "trenix: argument %d (\"%s\") is not valid UTF-8; give names and file names in UTF-8\n", i,
                     shown.constData());
        return 1;
    }
    return 0;
}

// Qt's own options, taken by QApplication after this first look at the
// command line; accepted here so that only options nobody knows are refused.
void acceptQtOptions(QCommandLineParser &parser)
{
    for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                             "qwindowicon", "qwindowtitle", "display", "geometry", "name", "title", "visual", "style",
                             "stylesheet", "session", "qmljsdebugger", "ncols", "cmap"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : {"reverse", "nograb", "dograb", "sync", "widgetcount"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}
} // namespace

int main(int argc, char *argv[])
{
    {
        // --help and --version answer without a display.
        QCoreApplication pre(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("trenix"));
        QCoreApplication::setApplicationVersion(QStringLiteral(TRENIX_VERSION));
        QCommandLineParser parser;
        parser.setApplicationDescription(
            QStringLiteral("Trenix - typing practice for Chinese words and phrases\n"
                           "Qt's own options (-platform, -style, -reverse, -display ...) work too."));
        // Qt writes its options with one dash: -platform offscreen.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addHelpOption();
        parser.addVersionOption();
        const QCommandLineOption exportHistory(QStringLiteral("export-history"),
                                               QStringLiteral("Write every recorded game to <file> as CSV and exit."),
                                               QStringLiteral("file"));
        const QCommandLineOption player(
            QStringLiteral("player"),
            QStringLiteral("With --export-history: <name> in every row, instead of the name each game was"
                           " played under."),
            QStringLiteral("name"));
        parser.addOptions({exportHistory, player});
        const QCommandLineOption importWords(
            QStringLiteral("import-words"),
            QStringLiteral("Import <file> (UTF-8, one word per line, optionally TAB pinyin"
                           " TAB English) as the word list named by --list, and exit."),
            QStringLiteral("file"));
        const QCommandLineOption listName(QStringLiteral("list"),
                                          QStringLiteral("The name of the list --import-words makes."),
                                          QStringLiteral("name"));
        const QCommandLineOption replace(QStringLiteral("replace"),
                                         QStringLiteral("Let --import-words replace a list of the same name."));
        const QCommandLineOption listWords(
            QStringLiteral("list-words"),
            QStringLiteral("Print the word lists with their numbers of words, and exit."));
        parser.addOptions({importWords, listName, replace, listWords});
        acceptQtOptions(parser);
        parser.process(pre);
        const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        const QString store = expectedStorePath(QCoreApplication::applicationDirPath(), userData);
        // The history beside the practice store; an installed copy not started yet has none.
        const QString historyFolder = store.isEmpty() ? userData : QFileInfo(store).absolutePath();
        const QString historyPath = QDir(historyFolder).filePath(QLatin1String(kHistoryFile));
        // The dictionary and config.dat of the program; an installed copy not started yet (or not since an
        // upgrade) reads its shared ones.
        const QDir exe(QCoreApplication::applicationDirPath());
        const QString shared = QDir::cleanPath(exe.filePath(QStringLiteral("../share/trenix")));
        const bool installed = !QFileInfo::exists(exe.filePath(QLatin1String(kStoreFile)))
                               && QFileInfo::exists(QDir(shared).filePath(QLatin1String(kStoreFile)));
        const QString dictionary =
            store.isEmpty() && installed ? QDir(shared).filePath(QLatin1String(kStoreFile)) : store;
        DataPaths paths;
        paths.programFolder = installed ? shared : exe.path();
        paths.playerFolder = standardPlayerFolder();
        if (parser.isSet(player) && !parser.isSet(exportHistory)) {
            std::fprintf(stderr, "trenix: --player NAME goes with --export-history FILE\n");
            return 1;
        }
        if (parser.isSet(exportHistory)) {
            CsvNaming naming;
            naming.player =
                parser.isSet(player) ? parser.value(player) : PlayerSettings(paths.keptSettingsFile()).playerName();
            naming.everyRow = parser.isSet(player);
            const QString texts = paths.programFile(QLatin1String(kLanguageFile));
            if (QFileInfo::exists(texts)) { // else the names in English
                useLanguageStore(texts);
                naming.language = commandLineLanguage(paths);
            }
            return exportHistoryCommand(historyPath, dictionary, parser.value(exportHistory), naming);
        }
        if (parser.isSet(importWords) || parser.isSet(listName) || parser.isSet(replace) || parser.isSet(listWords)) {
            if (parser.isSet(listWords) && !parser.isSet(importWords) && !parser.isSet(listName)
                && !parser.isSet(replace))
                return listWordsCommand(historyPath, dictionary);
            if (!parser.isSet(importWords) || !parser.isSet(listName) || parser.isSet(listWords)) {
                std::fprintf(stderr, "trenix: --import-words FILE needs --list NAME (and --replace only with them);"
                                     " --list-words stands alone\n");
                return 1;
            }
            if (refuseNonUtf8(argc, argv) != 0)
                return 1;
            return importWordsCommand(historyPath, dictionary, commandLineLanguage(paths), parser.value(importWords),
                                      parser.value(listName), parser.isSet(replace));
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trenix"));
    // No display name: Qt would append it to every window title.
    QApplication::setApplicationVersion(QStringLiteral(TRENIX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.github.trenix.Trenix"));

    SteadyClock clock;
    SystemWallClock wallClock;
    WidgetDialogs dialogs;
    Random random;
    History history(wallClock);

    int status = 0;
    DataPaths paths;
    QString journalAtRest; // the practice store's journal mode to go back to at the end
    try {
        paths = findDataPaths();
        loadInterfaceFonts(paths.programFolder);
        // The window first: the store's key takes longer to derive than the
        // window takes to appear, and the window needs no store to be drawn.
        if (prepareStartup(paths, dialogs, StoreOpening::Later) == StartupOutcome::Quit)
            return 0;
        GLVex window(Services{clock, wallClock, random, dialogs, paths, history});
        deferStartupWork([&window, &history, &paths, &journalAtRest, &wallClock] {
            ensurePracticeStore(paths.practiceStore());
            journalAtRest = useWriteAheadJournal(GlVexM.storeConn);
            if (const QString notice = missingDictionaryNotice(GlVexM.storeConn, GlVexM.languageCode);
                !notice.isEmpty())
                window.core().notify(notice);
            // Only once the practice store has opened: a start that fails leaves no file behind.
            history.file.setEntryResolver(entriesIn(window.core().practice()));
            history.file.open(paths.historyFile());
            if (const QString notice = launchNotice(history, wallClock.utcMs()); !notice.isEmpty())
                window.core().notify(notice);
            const PlayerSettings kept(paths.keptSettingsFile());
            applyKeptSettings(window.core(), kept, history.lists);
            window.setSoundOn(kept.soundOn(), false);
            window.showAnswerMode();
            adviseWithoutInputMethod(window.core(), chineseInputRunning());
            // Qt's own buttons (Yes, No, OK, Cancel) in the interface language.
            applyQtTranslations(GlVexM.languageCode);
            QTimer::singleShot(0, &window, [&window] { window.core().prepareNextStart(); });
        });
        const bool quitAfterPaint = qEnvironmentVariableIsSet("TRENIX_QUIT_AFTER_FIRST_PAINT");
        AfterFirstPaint afterPaint(&window, [quitAfterPaint, &paths, &dialogs] {
            if (quitAfterPaint) { // benchmarks: launch to the first paint of the real start-up path
                QCoreApplication::exit(0);
                return;
            }
            // The rest of start-up once the window is on the screen and the
            // display has had its turn; no player acts within this time, and
            // any command waits for it (finishStartup).
            QTimer::singleShot(kSettleMs, [&paths, &dialogs] {
                continueStartup(paths.practiceStore(), [&dialogs] { finishStartupOrReport(dialogs); });
            });
        });
        window.show();
        status = QApplication::exec();
        // Closed before the store was open: a store that cannot be opened still says so.
        if (status == 0)
            ensurePracticeStore(paths.practiceStore());
    } catch (const Error &e) {
        reportFatal(startupFailure(e, paths.programFolder.isEmpty() ? QString() : paths.practiceStore()), &dialogs);
        status = kFatalExitStatus;
    }
    history.file.close();
    leaveWriteAheadJournal(GlVexM.storeConn, journalAtRest);
    GlVexM.storeConn.close();
    closeLanguageStore();
    return status;
}
