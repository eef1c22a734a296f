// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataPaths.h"

#include "Error.h"
#include "FileWrite.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStandardPaths>
#include <filesystem>

Q_LOGGING_CATEGORY(lcDataPaths, "trenix.paths")

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

// What the copy beside it was made from: size and modification time of the
// installed store, read without opening it (a key derivation costs a start).
QByteArray installedStamp(const QString &installedStore)
{
    const QFileInfo info(installedStore);
    return QByteArray::number(info.size()) + ' ' + QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + '\n';
}

QString stampFile(const QString &folder)
{
    return QDir(folder).filePath(QLatin1String(kStoreFile) + QLatin1String(kStoreStampSuffix));
}

bool copyIsCurrent(const QString &installedStore, const QString &folder)
{
    QFile stamp(stampFile(folder));
    return QFileInfo::exists(QDir(folder).filePath(QLatin1String(kStoreFile))) && stamp.open(QIODevice::ReadOnly)
           && stamp.read(64) == installedStamp(installedStore);
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
    // The journal of an earlier copy would be played into this one.
    for (const char *journal : {"-wal", "-shm"}) {
        QFile stale(target + QLatin1String(journal));
        if (stale.exists() && !stale.remove()) {
            const QString reason = stale.errorString();
            QFile::remove(partial);
            copyFailed(source, target, reason);
        }
    }
    // rename(2) replaces an earlier copy in one step; QFile::rename would not replace it.
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(partial).toStdString(), QFile::encodeName(target).toStdString(), error);
    if (error) {
        QFile::remove(partial);
        copyFailed(source, target, QString::fromLocal8Bit(error.message()));
    }
    // Without its stamp the copy is only made again at the next start.
    QSaveFile stamp(stampFile(folder));
    const QByteArray made = installedStamp(source);
    QString why;
    if (!stamp.open(QIODevice::WriteOnly))
        why = stamp.errorString();
    else if (writeAndSync(stamp, made, &why))
        commitSave(stamp, &why);
    else
        stamp.cancelWriting();
    if (!why.isEmpty())
        qCWarning(lcDataPaths).noquote() << "the practice store's copy is made again at the next start:"
                                         << QDir::toNativeSeparators(stamp.fileName()) << why;
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
    if (!copyIsCurrent(installedStore, userDataFolder))
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
    if (!userDataFolder.isEmpty() && QFileInfo::exists(installed) && copyIsCurrent(installed, userDataFolder))
        return copy;
    return QString();
}

} // namespace trenix
