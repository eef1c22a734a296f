#pragma once
// Start-up up to the main window: the practice store, the word range, the
// settings file and the language question.
#include "Error.h"

namespace trenix {

// Where this process finds its data files, stored into GlVexM.programFolder and
// GlVexM.storeFolder; an installed copy gets its own practice store first.
void applyDataPaths();

enum class StartupOutcome { ShowMainWindow, Quit };

// Throws Error when a store cannot be opened; nothing is created or changed then.
StartupOutcome prepareStartup();

// Deriving the store's key takes a while; start it on another thread while the
// toolkit loads. prepareStartup() takes the result when it names the same file.
void startOpeningPracticeStore(const QString &path);

// The one place where a fatal error is shown: message box, stderr, exit status.
void reportFatal(const Error &e);
inline constexpr int kFatalExitStatus = 2;

} // namespace trenix
