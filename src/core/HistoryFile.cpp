// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStorageInfo>
#include <algorithm>
#include <optional>

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

// How a file is opened only to be read: as it lies, unless a journal beside it
// holds its newest pages. Nothing is made beside a file at rest, and it opens
// in a read-only place too.
Store::Mode readingMode(const QString &path)
{
    return QFileInfo::exists(path + QStringLiteral("-wal")) ? Store::Mode::ReadOnly : Store::Mode::Immutable;
}

// Every object of the schema with its type, table and SQL; statistics that
// ANALYZE may have added only guide the planner, and are left out.
QStringList schemaOf(Store &store)
{
    QStringList objects;
    Statement st = store.prepare(
        QStringLiteral("select type || ' ' || name || ' ' || tbl_name || ' ' || ifnull(sql, '') from sqlite_master"
                       " where not (type = 'table' and name like 'sqlite\\_stat%' escape '\\') order by 1"));
    while (st.next())
        objects << st.text(0);
    return objects;
}

// The schema our own steps make up to a version, made in memory: it follows
// the migrations as they change.
QStringList schemaAt(qint64 version)
{
    Store made(QStringLiteral("the history's schema"), QByteArray(), Store::Mode::Memory);
    migrateHistory(made, {}, int(std::clamp<qint64>(version, 0, HistoryFile::kSchemaVersion)));
    return schemaOf(made);
}

// Before any statement that could run a trigger or a view of the file: its
// version, or nothing for a newer file. Throws StoreDamaged when its tables,
// indexes, triggers or views are not what our steps make at that version.
std::optional<qint64> checkedVersion(Store &store)
{
    const qint64 version = userVersion(store);
    if (version > HistoryFile::kSchemaVersion)
        return std::nullopt;
    if (schemaOf(store) != schemaAt(version))
        throw Error(ErrorKind::StoreDamaged,
                    QStringLiteral("%1: holds tables, triggers or views that are not those of a Trenix history")
                        .arg(store.path()));
    return version;
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
    const auto newer = [&] {
        m_store.close();
        m_state = State::Newer;
        m_status = {HistoryNotice::Kind::Newer, HistoryNotice::Cause::None, info.fileName(), QString()};
        tell(m_status);
    };
    try {
        if (fresh && !createMissing)
            return; // nothing kept yet: the reader finds no games and no lists
        if (!fresh && !emptyWithJournal) {
            // Read the version and the schema without writing a byte: a newer file is left as it is.
            Store probe(path, QByteArray(), readingMode(path));
            probe.distrustSchema();
            const std::optional<qint64> version = checkedVersion(probe);
            if (!version) {
                newer();
                return;
            }
            if (!createMissing) { // to read only: an older file is brought forward in memory
                m_store = *version < kSchemaVersion ? Store::memoryCopy(probe) : std::move(probe);
                migrateHistory(m_store, m_entryOf);
                m_state = State::Ready;
                return;
            }
        }
        if (fresh && !QDir().mkpath(info.absolutePath()))
            throw Error(ErrorKind::File, QStringLiteral("%1: the folder cannot be created").arg(path));
        m_store = Store(path, QByteArray(), fresh || emptyWithJournal ? Store::Mode::Create : Store::Mode::ReadWrite);
        m_store.distrustSchema();
        // Again on what this connection reads (a journal, a change since the probe), before the first write.
        if (!checkedVersion(m_store)) {
            newer();
            return;
        }
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
