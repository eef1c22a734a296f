// SPDX-License-Identifier: GPL-3.0-or-later
#include "Startup.h"

#include "GlVexM.h"
#include "LanguageChoice.h"
#include "Platform.h"
#include "Texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
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

Store openPracticeStore(const QString &path)
{
    // Opening never creates a file: a missing store is an error, not a new empty one.
    return Store(path, QByteArray(kStorePassword), Store::Mode::ReadWrite);
}
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
    if (pending && QFileInfo(pending->path) == QFileInfo(storePath))
        GlVexM.storeConn = pending->store.get(); // rethrows the open's Error
    else if (!GlVexM.storeConn.isOpen())
        GlVexM.storeConn = openPracticeStore(storePath);
}

void useWriteAheadJournal(Store &store)
{
    try {
        Statement mode = store.prepare(QStringLiteral("pragma journal_mode=wal"));
        if (mode.next() && mode.text(0) == QLatin1String("wal")) {
            store.exec(QStringLiteral("pragma synchronous=normal"));
            return;
        }
    } catch (const Error &e) { // a read-only file: the game start will say so
        qCInfo(lcStartup).noquote() << e.message();
    }
    qCInfo(lcStartup) << "the practice store keeps its journal mode:" << store.path();
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
        const QString prompt = text(tid::GLVex_Module_main, 2);
        const QString title = text(tid::RJXX, GlVexM.languageCode);
        qCInfo(lcStartup) << "the interface language could not be read from" << GlVexM.iniFile->fileName();
        ensurePracticeStore(paths.practiceStore());
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
