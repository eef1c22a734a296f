// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataPaths.h"

#include "Error.h"
#include "FileWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace trenix {

namespace {

[[noreturn]] void copyFailed(const QString &from, const QString &to, const QString &reason)
{
    throw Error(ErrorKind::File, QStringLiteral("The practice store %1 could not be copied to %2: %3")
                                     .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), reason));
}

// Every byte of from in to, flushed and synced: QFile::copy() names no cause
// for some failed writes ("Unknown error").
bool copyWhole(const QString &from, const QString &to, QString *why)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly)) {
        *why = in.errorString();
        return false;
    }
    if (!out.open(QIODevice::WriteOnly)) {
        *why = out.errorString();
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty() && in.error() != QFileDevice::NoError) {
            *why = in.errorString();
            return false;
        }
        if (out.write(block) != block.size()) {
            *why = out.errorString();
            return false;
        }
    }
    return writeAndSync(out, QByteArray(), why);
}

void copyStore(const QString &source, const QString &folder)
{
    const QString target = QDir(folder).filePath(QLatin1String(kStoreFile));
    if (!QDir().mkpath(folder))
        copyFailed(source, target,
                   QStringLiteral("the folder %1 cannot be created").arg(QDir::toNativeSeparators(folder)));
    // A copy cut short (full disk, crash) must never pass for the store: write
    // under another name and rename only when complete.
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    QString reason;
    if (!copyWhole(source, partial, &reason)) {
        QFile::remove(partial);
        copyFailed(source, target, reason);
    }
    // The installed file may be read-only; the copy is written by every game.
    QFile out(partial);
    if (!out.setPermissions(out.permissions() | QFileDevice::WriteOwner | QFileDevice::ReadOwner)) {
        const QString reason = out.errorString();
        QFile::remove(partial);
        copyFailed(source, target, reason);
    }
    if (!out.rename(target)) {
        const QString reason = out.errorString();
        QFile::remove(partial);
        copyFailed(source, target, reason);
    }
}

} // namespace

QString DataPaths::programFile(const QString &name) const { return QDir(programFolder).filePath(name); }

QString DataPaths::practiceStore() const
{
    return QDir(storeFolder.isEmpty() ? programFolder : storeFolder).filePath(QLatin1String(kStoreFile));
}

QString DataPaths::historyFile() const
{
    return QDir(storeFolder.isEmpty() ? programFolder : storeFolder).filePath(QLatin1String(kHistoryFile));
}

QString DataPaths::playerConfigFile() const
{
    return playerFolder.isEmpty() ? QString() : QDir(playerFolder).filePath(QLatin1String(kSettingsFile));
}

QString DataPaths::keptSettingsFile() const
{
    return playerFolder.isEmpty() ? QString() : QDir(playerFolder).filePath(QLatin1String(kKeptSettingsFile));
}

QString standardPlayerFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("trenix"));
}

DataPaths resolveDataPaths(const QString &executableFolder, const QString &userDataFolder)
{
    const QDir exe(executableFolder);
    if (QFileInfo::exists(exe.filePath(QLatin1String(kStoreFile))))
        return {executableFolder, QString(), QString()};

    const QString shared = QDir::cleanPath(exe.filePath(QStringLiteral("../share/trenix")));
    const QString installedStore = QDir(shared).filePath(QLatin1String(kStoreFile));
    if (!QFileInfo::exists(installedStore)) {
        // Neither layout: start-up reports the missing store in the program folder.
        return {executableFolder, QString(), QString()};
    }
    if (userDataFolder.isEmpty())
        copyFailed(installedStore, QString(), QStringLiteral("no folder for user data is known"));
    if (!QFileInfo::exists(QDir(userDataFolder).filePath(QLatin1String(kStoreFile))))
        copyStore(installedStore, userDataFolder);
    return {shared, userDataFolder, QString()};
}

QString expectedStorePath(const QString &executableFolder, const QString &userDataFolder)
{
    const QString local = QDir(executableFolder).filePath(QLatin1String(kStoreFile));
    if (QFileInfo::exists(local))
        return local;
    const QString installed =
        QDir(QDir(executableFolder).filePath(QStringLiteral("../share/trenix"))).filePath(QLatin1String(kStoreFile));
    const QString copy = QDir(userDataFolder).filePath(QLatin1String(kStoreFile));
    if (!userDataFolder.isEmpty() && QFileInfo::exists(installed) && QFileInfo::exists(copy))
        return copy;
    return QString();
}

} // namespace trenix
