#include "Startup.h"

#include "GlVexM.h"
#include "LanguageChoice.h"

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

void startOpeningPracticeStore(const QString &path)
{
    g_pending.emplace(PendingOpen{path, std::async(std::launch::async, openPracticeStore, path)});
}

StartupOutcome prepareStartup()
{
    const QString storePath = GlVexM.storeFolder.isEmpty()
        ? programFile(QLatin1String(kStoreFile))
        : QDir(GlVexM.storeFolder).filePath(QLatin1String(kStoreFile));
    std::optional<PendingOpen> pending;
    pending.swap(g_pending);
    if (pending && QFileInfo(pending->path) == QFileInfo(storePath))
        GlVexM.storeConn = pending->store.get(); // rethrows the open's Error
    else
        GlVexM.storeConn = openPracticeStore(storePath);
    GlVexM.wordFrom = 1;
    GlVexM.wordTo = 999;
    InitIniFile();
    // The player's own choice first; the file beside the program when it gives none.
    if (ReadPlayerLanguage() != 0 && ReadLanguage() != 0) {
        GlVexM.languageCode = 2;
        const QString prompt = GetLanguageText(QStringLiteral("GLVex_Module.main"), QStringLiteral("2"));
        const QString title = GetLanguageText(QStringLiteral("RJXX"), QString::number(GlVexM.languageCode));
        qCInfo(lcStartup) << "the interface language could not be read from" << GlVexM.iniFile->fileName();
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
