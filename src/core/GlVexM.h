// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The module variables that all windows share, and the start-up procedures
// that set them. Services (clocks, random, dialogs, paths, the history) are
// not here: they reach the classes that use them through their constructors.
#include "CINIFile.h"
#include "Store.h"

#include <QString>
#include <memory>

namespace trenix {

struct ModuleVariables {
    Store storeConn;         // the one connection to the practice store
    qint16 wordFrom = 0;     // first xh of the word range
    qint16 wordTo = 0;       // last xh of the word range
    qint16 languageCode = 0; // interface language; also picks the dictionary table
    std::unique_ptr<CINIFile> iniFile;
    qint16 speedLevel = 0; // timers run at multiples of it
    bool isPaused = false;
    QString detailWord;     // non-empty while another window is open over the main one
    qint16 gameMinutes = 0; // never assigned; game start shows it on the clock
};

extern ModuleVariables GlVexM;

// Resets every module variable to its start value (tests use it between cases).
void resetModuleVariables();

// Points GlVexM.iniFile at config.dat in the program's folder.
void InitIniFile(const QString &programFolder);
// 0 when [config] language was read into GlVexM.languageCode, 1 when it was not.
qint16 ReadLanguage();

} // namespace trenix
