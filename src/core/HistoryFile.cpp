// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStorageInfo>

Q_LOGGING_CATEGORY(lcHistory, "trenix.progress")

namespace trenix {

namespace {

qint64 userVersion(Store &store)
{
    Statement st = store.prepare(QStringLiteral("pragma user_version"));
    return st.next() ? st.integer(0) : 0;
}

// Nothing to keep: no file, or the empty one a first start cut short leaves.
bool isFresh(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() || (info.isFile() && info.size() == 0 && !QFileInfo::exists(path + QStringLiteral("-wal")));
}

// The part of a store error the player can act on, without the folder and the
// engine's own context: "progress.db: the disk is full; nothing was changed".
QString shortReason(const Error &e, const QString &path)
{
    QString message = e.message();
    const QString name = QFileInfo(path).fileName();
    if (message.startsWith(path))
        message = name + message.mid(path.size());
    const int second = message.indexOf(QLatin1String(": "), name.size() + 2);
    return second > 0 ? message.left(second) : message;
}

} // namespace

HistoryNotice HistoryFile::takeNotice()
{
    HistoryNotice notice;
    std::swap(notice, m_notice);
    return notice;
}

void HistoryFile::tell(const HistoryNotice &notice)
{
    m_notice = notice;
    qCWarning(lcHistory).noquote() << "history:" << int(notice.kind) << int(notice.cause) << notice.file
                                   << notice.detail << "-" << QDir::toNativeSeparators(m_path);
}

void HistoryFile::close()
{
    m_store.close();
    m_state = State::Closed;
}

void HistoryFile::open(const QString &path)
{
    m_notice = {};
    if (!isFresh(path)) {
        openFile(path, true);
        return;
    }
    // The file is made with the first change: a run without one leaves nothing behind.
    m_store.close();
    m_path = path;
    m_state = State::Closed;
    m_status = {};
}

void HistoryFile::openExisting(const QString &path)
{
    m_notice = {};
    openFile(path, false);
}

bool HistoryFile::makeReady()
{
    if (m_state != State::Ready && m_state != State::Newer && !m_path.isEmpty())
        openFile(m_path, true); // the first change, or the folder may be writable again
    return m_state == State::Ready;
}

HistoryNotice::Cause HistoryFile::causeOf(const Error &e, QString *detail) const
{
    // The engine says "unable to open" or "disk I/O error" when the folder cannot
    // take the file or its journals; the player is told which.
    const QFileInfo file(m_path);
    const QFileInfo folder(file.absolutePath());
    if (folder.exists() && (!folder.isWritable() || (file.exists() && !file.isWritable())))
        return HistoryNotice::Cause::ReadOnly;
    if (folder.exists() && QStorageInfo(folder.absoluteFilePath()).bytesAvailable() < (qint64(1) << 16))
        return HistoryNotice::Cause::DiskFull;
    *detail = shortReason(e, m_path);
    return HistoryNotice::Cause::Engine;
}

void HistoryFile::unavailable(HistoryNotice::Cause cause, const QString &detail)
{
    m_state = State::Unavailable;
    m_status = {HistoryNotice::Kind::Unavailable, cause, QFileInfo(m_path).fileName(), detail};
}

void HistoryFile::openFile(const QString &path, bool createMissing)
{
    m_store.close();
    m_path = path;
    m_state = State::Closed;
    m_status = {};
    const QFileInfo info(path);
    const bool fresh = isFresh(path);
    // Until its first checkpoint an empty main file may have its games in the journal.
    const bool emptyWithJournal = !fresh && info.isFile() && info.size() == 0;
    try {
        if (fresh && !createMissing)
            throw Error(ErrorKind::StoreMissing, QStringLiteral("%1: the file is missing").arg(path));
        if (!fresh && !emptyWithJournal) {
            // Read the version without writing a byte: a newer file is left as it is.
            Store probe(path, QByteArray(), Store::Mode::ReadOnly);
            if (userVersion(probe) > kSchemaVersion) {
                m_state = State::Newer;
                m_status = {HistoryNotice::Kind::Newer, HistoryNotice::Cause::None, info.fileName(), QString()};
                tell(m_status);
                return;
            }
        }
        if (fresh && !QDir().mkpath(info.absolutePath()))
            throw Error(ErrorKind::File, QStringLiteral("%1: the folder cannot be created").arg(path));
        m_store = Store(path, QByteArray(), fresh || emptyWithJournal ? Store::Mode::Create : Store::Mode::ReadWrite);
        // WAL: a game's commit is one append; a kill never leaves a half-written game.
        m_store.exec(QStringLiteral("pragma journal_mode=wal; pragma synchronous=normal; pragma foreign_keys=on"));
        migrateHistory(m_store, m_entryOf);
        m_state = State::Ready;
    } catch (const Error &e) {
        m_store.close();
        if (e.kind() == ErrorKind::StoreDamaged && createMissing) {
            setAside(e.message());
            return;
        }
        QString detail;
        const HistoryNotice::Cause cause = causeOf(e, &detail);
        unavailable(cause, detail);
        if (!createMissing)
            throw;
        tell(m_status);
    }
}

bool HistoryFile::setAside(const QString &why)
{
    m_store.close();
    qCWarning(lcHistory).noquote() << "damaged:" << why;
    const QString stamp =
        QDateTime::fromMSecsSinceEpoch(m_clock.utcMs(), m_clock.timeZone()).toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = m_path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo::exists(target + QStringLiteral("-wal")); ++n)
        target = m_path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    // The journal files go with it: left behind, they would be read into the fresh file.
    for (const char *suffix : {"", "-wal", "-shm"}) {
        const QString from = m_path + QLatin1String(suffix);
        if (!QFileInfo::exists(from))
            continue;
        QFile file(from);
        if (!file.rename(target + QLatin1String(suffix))) {
            unavailable(HistoryNotice::Cause::CannotSetAside, file.errorString());
            m_status.file = QFileInfo(from).fileName();
            tell(m_status);
            return false;
        }
    }
    openFile(m_path, true);
    if (m_state != State::Ready)
        return false;
    tell({HistoryNotice::Kind::SetAside, HistoryNotice::Cause::None, QFileInfo(m_path).fileName(),
          QFileInfo(target).fileName()});
    return true;
}

} // namespace trenix
