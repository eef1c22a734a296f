#include "Startup.h"

#include "GlVexM.h"
#include "LanguageChoice.h"
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

void applyDataPaths()
{
    const DataPaths paths = resolveDataPaths(QCoreApplication::applicationDirPath(),
                                             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    GlVexM.programFolder = paths.programFolder;
    GlVexM.storeFolder = paths.storeFolder;
}

QString practiceStorePath()
{
    return GlVexM.storeFolder.isEmpty() ? programFile(QLatin1String(kStoreFile))
                                        : QDir(GlVexM.storeFolder).filePath(QLatin1String(kStoreFile));
}

void startOpeningPracticeStore(const QString &path, std::function<void()> opened)
{
    g_pending.emplace(PendingOpen{path, std::async(std::launch::async, [path, opened = std::move(opened)] {
        struct Tell { // whether the open succeeds or throws
            const std::function<void()> &f;
            ~Tell() { if (f) f(); }
        } tell{opened};
        return openPracticeStore(path);
    })});
}

void ensurePracticeStore()
{
    const QString storePath = practiceStorePath();
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

StartupOutcome prepareStartup(StoreOpening opening)
{
    GlVexM.storeConn.close();
    if (opening == StoreOpening::Now)
        ensurePracticeStore();
    else if (g_pending && QFileInfo(g_pending->path) != QFileInfo(practiceStorePath()))
        g_pending.reset(); // waits for it; another file is not ours
    GlVexM.wordFrom = 1;
    GlVexM.wordTo = 999;
    InitIniFile();
    // The player's own choice first; the file beside the program when it gives none.
    if (ReadPlayerLanguage() != 0 && ReadLanguage() != 0) {
        GlVexM.languageCode = 2;
        const QString prompt = text(tid::GLVex_Module_main, 2);
        const QString title = text(tid::RJXX, GlVexM.languageCode);
        qCInfo(lcStartup) << "the interface language could not be read from" << GlVexM.iniFile->fileName();
        ensurePracticeStore();
        if (!GlVexM.dialogs || !GlVexM.dialogs->askYesNo(prompt, title))
            return StartupOutcome::Quit;
    }
    return StartupOutcome::ShowMainWindow;
}

void reportFatal(const Error &e)
{
    std::fprintf(stderr, "trenix: error: %s\n", e.message().toLocal8Bit().constData());
    std::fflush(stderr);
    static bool showing = false; // an error while the box is up must not stack boxes
    if (GlVexM.dialogs && !showing) {
        showing = true;
        GlVexM.dialogs->showError(e.message());
        showing = false;
    }
    if (QCoreApplication::instance())
        QCoreApplication::exit(kFatalExitStatus);
}

} // namespace trenix
