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

struct DataPaths {
    QString programFolder; // the read-only files: language store, settings, help pictures
    QString storeFolder;   // the practice store; empty means the program folder
};

// Decides the layout for an executable in executableFolder and, for an installed
// layout, copies the practice store into userDataFolder on first use.
// Throws Error when the copy cannot be made; nothing half-written is left then.
DataPaths resolveDataPaths(const QString &executableFolder, const QString &userDataFolder);

// The practice store the program will open, without copying anything; empty
// when the layout is not settled yet (first start of an installed copy).
QString expectedStorePath(const QString &executableFolder, const QString &userDataFolder);

} // namespace trenix
