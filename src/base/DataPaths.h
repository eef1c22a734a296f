// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the data files are: the program's folder when run from a build or an
// unpacked folder, or an installed tree whose practice store is copied to the
// user's data folder, since an installed program cannot write next to itself.
#include <QString>

namespace trenix {

// The data files and the practice store's password.
inline constexpr char kStorePassword[] = "OakRun.Blue";
inline constexpr char kStoreFile[] = "trenix.dat";
inline constexpr char kLanguageFile[] = "word_language.mdb";
inline constexpr char kSettingsFile[] = "config.dat";

// Where this run's files are. Handed to what reads or writes them.
struct DataPaths {
    QString programFolder; // the read-only files: language store, settings, help pictures
    QString storeFolder;   // the practice store and the history; empty means the program folder
    QString playerFolder;  // the player's own config.dat and trenix.conf; empty: nothing is kept

    // An installed copy: the practice store lives apart from the program.
    bool installed() const { return !storeFolder.isEmpty(); }
    // A file of the program's folder.
    QString programFile(const QString &name) const;
    QString practiceStore() const;
    QString historyFile() const; // progress.db, beside the practice store
    // In the player's folder; empty when there is none.
    QString playerConfigFile() const;
    QString keptSettingsFile() const;
};

inline constexpr char kHistoryFile[] = "progress.db";
inline constexpr char kKeptSettingsFile[] = "trenix.conf";

// ~/.config/trenix (not AppConfigLocation: that one moves with the organisation name).
QString standardPlayerFolder();

// Beside the player's copy of an installed practice store: the size and time
// of the installed file it was copied from, so that a start can tell cheaply
// whether an upgrade brought another store.
inline constexpr char kStoreStampSuffix[] = ".installed";

// Decides the layout for an executable in executableFolder and, for an installed
// layout, copies the practice store into userDataFolder on first use, and again
// whenever the installed store has changed since the copy (the copy holds nothing
// but the practice list, which every start rebuilds). The player's folder is left empty.
// Throws Error when the copy cannot be made; nothing half-written is left then.
DataPaths resolveDataPaths(const QString &executableFolder, const QString &userDataFolder);

// The practice store the program will open, without copying anything; empty
// when the layout is not settled yet (first start of an installed copy, or the
// first after an upgrade).
QString expectedStorePath(const QString &executableFolder, const QString &userDataFolder);

} // namespace trenix
