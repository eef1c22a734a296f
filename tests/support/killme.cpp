// SPDX-License-Identifier: GPL-3.0-or-later
// Plays against the store in FOLDER until a test SIGKILLs it (start: game starts; land: fall ticks, each game over
// starting the next), or holds an exclusive lock on it (lock). Prints "ready" once under way; land then prints after
// each tick how many words have landed, and "restart" at each game over.
#include "GameCore.h"
#include "History.h"
#include "Startup.h"
#include "Texts.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <cstdio>

using namespace trenix;

struct AlwaysYes final : Dialogs {
    bool askYesNo(const QString &, const QString &) override { return std::puts("restart") >= 0; }
    void inform(const QString &, const QString &) override {}
    void showError(const QString &) override {}
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 64; // killme start|land|lock FOLDER
    const QString mode = QString::fromLocal8Bit(argv[1]);
    std::setvbuf(stdout, nullptr, _IONBF, 0); // "ready" reaches the test at once
    SteadyClock clock;
    AlwaysYes dialogs;
    Random random;
    random.seed(qint32(QCoreApplication::applicationPid()));
    const SystemWallClock wallClock;
    History history(wallClock);
    const DataPaths paths{QString::fromLocal8Bit(argv[2]), QString(), QString()};
    useLanguageStore(paths.programFile(QLatin1String(kLanguageFile)));
    try {
        GlVexM.storeConn = Store(paths.practiceStore(), kStorePassword, Store::Mode::ReadWrite);
        if (mode == QLatin1String("lock")) {
            GlVexM.storeConn.exec(QStringLiteral("begin exclusive"));
            std::puts("ready");
            for (;;)
                QThread::sleep(60);
        }
        useWriteAheadJournal(GlVexM.storeConn); // as the program writes
        GlVexM.wordFrom = 1;
        GlVexM.wordTo = 999;
        GlVexM.languageCode = 2;
        GameCore core(
            GlVexM.storeConn, [](const QString &) { return qint64(900); }, clock, wallClock, random, dialogs, history);
        core.load();
        if (mode != QLatin1String("start"))
            core.Label3_Click();
        std::puts("ready");
        for (;;) {
            if (mode == QLatin1String("start")) {
                core.Label3_Click();
                continue;
            }
            core.pictScroll_Timer();
            std::printf("%d\n", int(std::count_if(core.Label1.begin() + 1, core.Label1.end(),
                                                  [](const WordLabel &w) { return w.Visible && w.landed(); })));
        }
    } catch (const Error &e) {
        std::fprintf(stderr, "killme: %s\n", e.what());
        return 2;
    }
}
