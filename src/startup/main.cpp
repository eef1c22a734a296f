// Entry point: open the stores, read the language, show the main window.
#include "GLVex.h"
#include "GlVexM.h"
#include "Startup.h"
#include "WidgetDialogs.h"

#include <QApplication>

using namespace trenix;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trenix"));
    QApplication::setApplicationVersion(QStringLiteral(TRENIX_VERSION));

    SteadyClock clock;
    WidgetDialogs dialogs;
    Random random;
    GlVexM.clock = &clock;
    GlVexM.dialogs = &dialogs;
    GlVexM.random = &random;

    int status = 0;
    try {
        if (prepareStartup() == StartupOutcome::Quit)
            return 0;
        GLVex window;
        window.show();
        status = QApplication::exec();
    } catch (const Error &e) {
        reportFatal(e);
        status = kFatalExitStatus;
    }
    GlVexM.storeConn.close();
    closeLanguageStore();
    return status;
}
