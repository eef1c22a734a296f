#pragma once
// Module variables shared by all windows, and the start-up procedures.
#include "CINIFile.h"
#include "DataPaths.h"
#include "Platform.h"
#include "Random.h"
#include "Store.h"
#include "WordSet.h"

#include <QString>
#include <memory>

namespace trenix {

class ProgressStore;

struct ModuleVariables {
    Store storeConn;              // the one connection to the practice store
    qint16 wordFrom = 0;          // first xh of the word range
    qint16 wordTo = 0;            // last xh of the word range
    qint16 languageCode = 0;      // interface language; also picks the dictionary table
    std::unique_ptr<CINIFile> iniFile;
    qint16 speedLevel = 0;        // timers run at multiples of it
    bool isPaused = false;
    QString detailWord;           // non-empty while another window is open over the main one
    qint16 gameMinutes = 0;       // never assigned; game start shows it on the clock
    WordSet wordSet;              // what the next game draws from; the range unless chosen

    // Where the data files live (the program's folder unless told otherwise).
    QString programFolder;
    // Folder of the practice store when it is not the program's folder (installed layout).
    QString storeFolder;
    // Folder of the player's own config.dat; empty means ~/.config/trenix.
    QString playerConfigFolder;
    // Seams: injected by main() and by tests.
    Clock *clock = nullptr;
    Dialogs *dialogs = nullptr;
    Random *random = nullptr;
    WallClock *wallClock = nullptr;   // dates the recorded games; the system's when null
    ProgressStore *progress = nullptr; // where finished games are kept; none recorded when null
    QString keptSettingsFile;         // the player's kept speed and range; nothing kept when empty
};

extern ModuleVariables GlVexM;

// Resets every module variable to its start value (tests use it between cases).
void resetModuleVariables();

QString programFile(const QString &fileName);

void InitIniFile();
qint16 ReadLanguage();


} // namespace trenix
