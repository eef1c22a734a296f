// SPDX-License-Identifier: GPL-3.0-or-later
#include "Startup.h"

#include "GlVexM.h"
#include "LanguageChoice.h"
#include "Platform.h"
#include "PracticeStore.h"
#include "Texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QStorageInfo>
#include <cstdio>
#include <future>
#include <optional>

Q_LOGGING_CATEGORY(lcStartup, "trenix.startup", QtWarningMsg)

namespace trenix {

namespace {
struct PendingOpen {
    QString path;
    std::future<Store> store;
};
std::optional<PendingOpen> g_pending;
std::function<void()> g_deferred;

std::optional<Error> g_storeFailure; // the practice store's own failure, once met

bool inReadOnlyPlace(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    return QStorageInfo(folder).isReadOnly() || !QFileInfo(folder).isWritable();
}

Store openPracticeStore(const QString &path)
{
    // Opening never creates a file: a missing store is an error, not a new empty one.
    try {
        return Store(path, QByteArray(kStorePassword), Store::Mode::ReadWrite);
    } catch (const Error &e) {
        // A store a killed run left on its write-ahead journal cannot be read
        // where the journal's index cannot be made. It opens as it was at its
        // last checkpoint, read-only: the journal holds only practice lists,
        // which every start rebuilds, and the start says the file is read-only.
        if (e.kind() != ErrorKind::StoreOpen || !inReadOnlyPlace(path))
            throw;
        qCInfo(lcStartup).noquote() << e.message() << "- opened read-only as it lies";
        return Store(path, QByteArray(kStorePassword), Store::Mode::Immutable);
    }
}

const QStringList kJournalModes{QStringLiteral("delete"), QStringLiteral("truncate"), QStringLiteral("persist")};
} // namespace

DataPaths findDataPaths()
{
    DataPaths paths = resolveDataPaths(QCoreApplication::applicationDirPath(),
                                       QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    paths.playerFolder = standardPlayerFolder();
    return paths;
}

void startOpeningPracticeStore(const QString &path, std::function<void()> opened)
{
    g_pending.emplace(PendingOpen{path, std::async(std::launch::async, [path, opened = std::move(opened)] {
                                      struct Tell { // whether the open succeeds or throws
                                          const std::function<void()> &f;
                                          ~Tell()
                                          {
                                              if (f)
                                                  f();
                                          }
                                      } tell{opened};
                                      return openPracticeStore(path);
                                  })});
}

void ensurePracticeStore(const QString &storePath)
{
    std::optional<PendingOpen> pending;
    pending.swap(g_pending);
    try {
        if (pending && QFileInfo(pending->path) == QFileInfo(storePath))
            GlVexM.storeConn = pending->store.get(); // rethrows the open's Error
        else if (!GlVexM.storeConn.isOpen())
            GlVexM.storeConn = openPracticeStore(storePath);
    } catch (const Error &e) {
        g_storeFailure = e;
        throw;
    }
}

Error startupFailure(const Error &e, const QString &storePath)
{
    if (g_storeFailure)
        return *g_storeFailure;
    if (GlVexM.storeConn.isOpen() || storePath.isEmpty())
        return e;
    try {
        ensurePracticeStore(storePath);
    } catch (const Error &store) {
        return store;
    }
    return e;
}

QString useWriteAheadJournal(Store &store)
{
    try {
        Statement current = store.prepare(QStringLiteral("pragma journal_mode"));
        // A store left on the journal by a killed run goes back to the mode the build gives it.
        const QString shipped =
            current.next() && kJournalModes.contains(current.text(0)) ? current.text(0) : kJournalModes.front();
        current.reset();
        Statement mode = store.prepare(QStringLiteral("pragma journal_mode=wal"));
        if (mode.next() && mode.text(0) == QLatin1String("wal")) {
            store.exec(QStringLiteral("pragma synchronous=normal"));
            return shipped;
        }
    } catch (const Error &e) { // a read-only file: the game start will say so
        qCInfo(lcStartup).noquote() << e.message();
    }
    qCInfo(lcStartup) << "the practice store keeps its journal mode:" << store.path();
    return QString();
}

void leaveWriteAheadJournal(Store &store, const QString &mode)
{
    if (!store.isOpen() || !kJournalModes.contains(mode))
        return;
    try {
        Statement back = store.prepare(QStringLiteral("pragma journal_mode=%1").arg(mode));
        back.run();
    } catch (const Error &e) { // another Trenix still plays on it: the last one to end takes it back
        qCInfo(lcStartup).noquote() << "the practice store stays on its write-ahead journal:" << e.message();
    }
}

void continueStartup(const QString &storePath, std::function<void()> finish)
{
    if (GlVexM.storeConn.isOpen()) { // opened for the language question, or by a command
        finish();
        return;
    }
    startOpeningPracticeStore(storePath, [finish = std::move(finish)] {
        QMetaObject::invokeMethod(QCoreApplication::instance(), finish, Qt::QueuedConnection);
    });
}

QString missingDictionaryNotice(Store &store, int languageCode)
{
    if (PracticeStore(store).hasDictionary(languageCode))
        return QString();
    return text(tid::GLVex_noDictionary).arg(languageCode);
}

void deferStartupWork(std::function<void()> work) { g_deferred = std::move(work); }

void finishStartup()
{
    std::function<void()> work;
    work.swap(g_deferred); // once, even when it fails
    if (work)
        work();
}

StartupOutcome prepareStartup(const DataPaths &paths, Dialogs &dialogs, StoreOpening opening,
                              const Environment &environment)
{
    GlVexM.storeConn.close();
    g_storeFailure.reset();
    useLanguageStore(paths.programFile(QLatin1String(kLanguageFile)));
    if (opening == StoreOpening::Now)
        ensurePracticeStore(paths.practiceStore());
    else if (g_pending && QFileInfo(g_pending->path) != QFileInfo(paths.practiceStore()))
        g_pending.reset(); // waits for it; another file is not ours
    GlVexM.wordFrom = 1;
    GlVexM.wordTo = 999;
    InitIniFile(paths.programFolder);
    // The player's own choice first. The file beside an installed program is
    // the package's, the same for every player: their desktop's language comes before it.
    bool read = ReadPlayerLanguage(paths.playerConfigFile()) == 0;
    if (!read && paths.installed()) {
        if (const std::optional<qint16> desktop = desktopLanguage(environment)) {
            GlVexM.languageCode = *desktop;
            read = true;
        }
    }
    if (!read && ReadLanguage() != 0) {
        GlVexM.languageCode = 2;
        // The practice store first: one that cannot be opened speaks before the question and its texts.
        ensurePracticeStore(paths.practiceStore());
        const QString prompt = text(tid::GLVex_Module_main, 2);
        const QString title = text(tid::RJXX, GlVexM.languageCode);
        qCInfo(lcStartup) << "the interface language could not be read from" << GlVexM.iniFile->fileName();
        if (!dialogs.askYesNo(prompt, title))
            return StartupOutcome::Quit;
        // Kept, so that the question comes once; the settings change it later.
        QString where;
        if (!saveLanguageChoice(paths.playerConfigFile(), GlVexM.languageCode, where)) {
            qCWarning(lcStartup).noquote() << "the language could not be kept in" << where;
            dialogs.inform(text(tid::GLVex_languageNotSaved).arg(where), title);
        }
    }
    return StartupOutcome::ShowMainWindow;
}

void reportFatal(const Error &e, Dialogs *dialogs)
{
    std::fprintf(stderr, "trenix: error: %s\n", e.message().toLocal8Bit().constData());
    std::fflush(stderr);
    static bool showing = false; // an error while the box is up must not stack boxes
    if (dialogs && !showing) {
        showing = true;
        dialogs->showError(e.message());
        showing = false;
    }
    if (QCoreApplication::instance())
        QCoreApplication::exit(kFatalExitStatus);
}

} // namespace trenix
