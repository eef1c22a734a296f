// Runs the store-writing entry points of a game without end, so that a test can
// kill it with SIGKILL at any moment; or holds a lock on the store until killed.
//   killme start FOLDER   game starts, one after another
//   killme land FOLDER    fall ticks; every game over starts the next game
//   killme lock FOLDER    holds an exclusive lock: nobody reads or writes
// It prints "ready" once the store is open and the loop or lock begins.
#include "GameCore.h"
#include "GlVexM.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

using namespace trenix;

namespace {
class AlwaysYes final : public Dialogs {
public:
    bool askYesNo(const QString &, const QString &) override { return true; }
    void inform(const QString &, const QString &) override {}
    void showError(const QString &) override {}
};

void ready()
{
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString mode = argc == 3 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode != QLatin1String("start") && mode != QLatin1String("land") && mode != QLatin1String("lock")) {
        std::fputs("usage: killme start|land|lock FOLDER\n", stderr);
        return 64;
    }
    SteadyClock clock;
    AlwaysYes dialogs;
    Random random;
    random.seed(qint32(QCoreApplication::applicationPid()));
    GlVexM.clock = &clock;
    GlVexM.dialogs = &dialogs;
    GlVexM.random = &random;
    GlVexM.programFolder = QString::fromLocal8Bit(argv[2]);
    try {
        GlVexM.storeConn = Store(programFile(QLatin1String(kStoreFile)), kStorePassword, Store::Mode::ReadWrite);
        if (mode == QLatin1String("lock")) {
            GlVexM.storeConn.exec(QStringLiteral("begin exclusive"));
            ready();
            for (;;)
                QThread::sleep(60);
        }
        GlVexM.wordFrom = 1;
        GlVexM.wordTo = 999;
        GlVexM.languageCode = 2;
        GameCore core(GlVexM.storeConn, [](const QString &) { return qint64(900); });
        core.load();
        if (mode == QLatin1String("land"))
            core.Label3_Click();
        ready();
        for (;;)
            mode == QLatin1String("land") ? core.pictScroll_Timer() : core.Label3_Click();
    } catch (const Error &e) {
        std::fprintf(stderr, "killme: %s\n", e.what());
        return 2;
    }
}
