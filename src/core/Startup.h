// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Start-up up to the main window: the practice store, the word range, the
// settings file and the language question.
#include "DataPaths.h"
#include "Error.h"
#include "LanguageChoice.h"

#include <functional>

namespace trenix {

class Dialogs;
class Store;

// Where this process finds its data files; an installed copy gets its own
// practice store first. The player's folder is ~/.config/trenix.
DataPaths findDataPaths();

enum class StartupOutcome { ShowMainWindow, Quit };

// Now: the practice store is open on return. Later: it is left to
// ensurePracticeStore(), unless the language question comes first, so that a
// store that cannot be opened still speaks before any question.
enum class StoreOpening { Now, Later };

// The store, the word range, the settings file and the language: the player's
// config.dat first, then (installed copies) the desktop's language, then the
// config.dat beside the program. Asks the player through dialogs when no
// language can be read, and keeps a Yes in the player's config.dat.
// Throws Error when a store cannot be opened; nothing is created or changed then.
StartupOutcome prepareStartup(const DataPaths &paths, Dialogs &dialogs, StoreOpening opening = StoreOpening::Now,
                              const Environment &environment = processEnvironment);

// Deriving the store's key takes a while; start it on another thread.
// prepareStartup() and ensurePracticeStore() take the result when it names the
// same file. `opened` is called on that thread once the open has succeeded or failed.
void startOpeningPracticeStore(const QString &path, std::function<void()> opened = {});

// GlVexM.storeConn open on the store at path: the pending open taken (waiting
// for it if need be), or the store opened now. Throws the open's Error.
void ensurePracticeStore(const QString &path);

// The practice store's journal as the program runs it: write-ahead with
// synchronous=normal, so that a landing or a hit appends to the journal without
// waiting for the disk (four syncs per write otherwise: tens of ms on a slow
// disk, in the middle of a fall tick). A killed program loses nothing it
// committed; a power cut at most the writes since the last checkpoint, all of
// them in the practice list that every start rebuilds. A store that cannot
// switch (a read-only file) stays as it is. Creates trenix.dat-wal and -shm.
// Returns the journal mode to go back to when the program ends (empty: none).
QString useWriteAheadJournal(Store &store);
// Back to that mode, so that the store at rest opens anywhere, a read-only
// place too (a write-ahead store needs its journal's index made beside it).
void leaveWriteAheadJournal(Store &store, const QString &mode);

// Once the window is on the screen: finish (the work deferStartupWork() holds,
// reported as the caller does) runs as soon as the practice store is open: at
// once when the language question opened it, else when the open started here ends.
void continueStartup(const QString &storePath, std::function<void()> finish);

// What to report when start-up fails with e: the practice store opens first,
// so its own failure is the one the player hears, whatever failed after it.
Error startupFailure(const Error &e, const QString &storePath);

// The message line's notice when the practice store holds no dictionary for
// the language (a settings file can name any code); empty when it does.
QString missingDictionaryNotice(Store &store, int languageCode);

// Start-up work that the first paint does not need (the store, the history,
// the kept settings): it runs once, at the first finishStartup(), which every
// command of the main window calls before it touches a store.
void deferStartupWork(std::function<void()> work);
void finishStartup();

// The one place where a fatal error is shown: message box (when dialogs is
// given), stderr, exit status.
void reportFatal(const Error &e, Dialogs *dialogs);
inline constexpr int kFatalExitStatus = 2;

} // namespace trenix
