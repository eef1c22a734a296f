// Entry point: open the stores, read the language, show the main window.
#include "DataPaths.h"
#include "GLVex.h"
#include "GlVexM.h"
#include "Startup.h"
#include "WidgetDialogs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

using namespace trenix;

int main(int argc, char *argv[])
{
    {
        // --help and --version answer without a display.
        QCoreApplication pre(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("trenix"));
        QCoreApplication::setApplicationVersion(QStringLiteral(TRENIX_VERSION));
        QCommandLineParser parser;
        parser.setApplicationDescription(QStringLiteral("Trenix - typing practice for Chinese words and phrases"));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.process(pre);
        const QString store = expectedStorePath(QCoreApplication::applicationDirPath(),
                                                QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        if (!store.isEmpty())
            startOpeningPracticeStore(store);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trenix"));
    QApplication::setApplicationDisplayName(QStringLiteral("Trenix"));
    QApplication::setApplicationVersion(QStringLiteral(TRENIX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.github.trenix.Trenix"));

    SteadyClock clock;
    WidgetDialogs dialogs;
    Random random;
    GlVexM.clock = &clock;
    GlVexM.dialogs = &dialogs;
    GlVexM.random = &random;

    int status = 0;
    QTranslator qtTranslator;
    try {
        applyDataPaths();
        if (prepareStartup() == StartupOutcome::Quit)
            return 0;
        // Qt's own buttons (Yes, No, OK, Cancel) in the interface language.
        const QString qtLocale = GlVexM.languageCode == 2 ? QStringLiteral("zh_CN")
                                 : GlVexM.languageCode == 3 ? QStringLiteral("zh_TW")
                                                            : QString();
        if (!qtLocale.isEmpty()
            && qtTranslator.load(QStringLiteral("qtbase_") + qtLocale,
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qtTranslator);
        GLVex window;
        window.show();
        // Benchmarks measure launch to the first paint of the real start-up path.
        if (qEnvironmentVariableIsSet("TRENIX_QUIT_AFTER_FIRST_PAINT"))
            QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
        status = QApplication::exec();
    } catch (const Error &e) {
        reportFatal(e);
        status = kFatalExitStatus;
    }
    GlVexM.storeConn.close();
    closeLanguageStore();
    return status;
}
