// SPDX-License-Identifier: GPL-3.0-or-later
#include "Store.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrl>
#include <sqlite3.h>

Q_LOGGING_CATEGORY(lcStore, "trenix.store", QtWarningMsg)

namespace trenix {

namespace {
QString describe(sqlite3 *db, int rc)
{
    const char *msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return QString::fromUtf8(msg ? msg : sqlite3_errstr(rc));
}

// The engine's own words name no cause the player can act on; these do.
// A failed statement is undone by the engine, so the store is as it was.
QString plainReason(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_READONLY: return QStringLiteral("the file is read-only; nothing was changed");
    case SQLITE_FULL: return QStringLiteral("the disk is full; nothing was changed");
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("the file is in use by another program; nothing was changed");
    case SQLITE_IOERR: return QStringLiteral("the file cannot be read or written; nothing was changed");
    case SQLITE_CANTOPEN: return QStringLiteral("the file or its journal cannot be opened; nothing was changed");
    case SQLITE_CORRUPT: return QStringLiteral("the file is damaged");
    default: return QString();
    }
}
} // namespace

Store::Store(const QString &path, const QByteArray &key, Mode mode) : m_path(path)
{
    // Before the engine starts: no page cache set aside per connection ahead of
    // use (100 pages each, about 430 KB for a store of 4 KB pages, most of them
    // never used by a language store of nine pages); pages come as they are read.
    static const bool configured = sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0) == SQLITE_OK;
    Q_UNUSED(configured);
    const QFileInfo info(path);
    const bool onDisk = mode != Mode::Memory;
    if (onDisk && mode != Mode::Create && !info.exists())
        throw Error(ErrorKind::StoreMissing, QStringLiteral("%1: the file is missing").arg(path));
    if (onDisk && mode != Mode::Create && !info.isFile())
        throw Error(ErrorKind::StoreOpen, QStringLiteral("%1: not a file").arg(path));
    // SQLite would take an empty file for a new empty database.
    if (onDisk && mode != Mode::Create && info.size() == 0)
        throw Error(ErrorKind::StoreOpen, QStringLiteral("%1: cannot open (the file is empty)").arg(path));

    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case Mode::ReadOnly: flags |= SQLITE_OPEN_READONLY; break;
    case Mode::ReadWrite: flags |= SQLITE_OPEN_READWRITE; break;
    case Mode::Create: flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE; break;
    case Mode::Immutable: flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI; break;
    case Mode::Memory: flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE; break;
    }
    QByteArray native = QFileInfo(path).absoluteFilePath().toUtf8();
    if (mode == Mode::Immutable)
        native = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1";
    else if (mode == Mode::Memory)
        native = QByteArrayLiteral(":memory:");
    int rc = sqlite3_open_v2(native.constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = describe(m_db, rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw Error(ErrorKind::StoreOpen, QStringLiteral("%1: cannot open (%2)").arg(path, why));
    }
    sqlite3_busy_timeout(m_db, 3000);
    sqlite3_extended_result_codes(m_db, 1);
    if (!key.isEmpty()) {
        rc = sqlite3_key(m_db, key.constData(), int(key.size()));
        if (rc != SQLITE_OK) {
            const QString why = describe(m_db, rc);
            sqlite3_close(m_db);
            m_db = nullptr;
            throw Error(ErrorKind::StoreOpen, QStringLiteral("%1: cannot set the key (%2)").arg(path, why));
        }
    }
    // The first read tells a wrong key or a file that is no database.
    if (mode != Mode::Create && mode != Mode::Memory) {
        char *err = nullptr;
        rc = sqlite3_exec(m_db, "select count(*) from sqlite_master", nullptr, nullptr, &err);
        if (rc != SQLITE_OK) {
            QString why = err ? QString::fromUtf8(err) : describe(m_db, rc);
            sqlite3_free(err);
            // Without a key, a file that is no database can only be damaged.
            const bool damaged = key.isEmpty() && ((rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT);
            if ((rc & 0xff) == SQLITE_NOTADB)
                why = key.isEmpty() ? QStringLiteral("not a database")
                                    : QStringLiteral("not a database, or the password does not match");
            sqlite3_close(m_db);
            m_db = nullptr;
            throw Error(damaged ? ErrorKind::StoreDamaged : ErrorKind::StoreOpen,
                        QStringLiteral("%1: cannot open (%2)").arg(path, why));
        }
    }
    qCDebug(lcStore) << "opened" << path;
}

Store Store::memoryCopy(Store &from)
{
    Store copy(from.path(), QByteArray(), Mode::Memory);
    sqlite3_backup *backup = sqlite3_backup_init(copy.m_db, "main", from.m_db, "main");
    if (!backup)
        copy.fail(ErrorKind::StoreOpen, QStringLiteral("cannot be read into memory"), sqlite3_errcode(copy.m_db));
    const int step = sqlite3_backup_step(backup, -1);
    const int done = sqlite3_backup_finish(backup);
    if (step != SQLITE_DONE)
        from.fail(ErrorKind::StoreOpen, QStringLiteral("cannot be read into memory"), step);
    if (done != SQLITE_OK)
        copy.fail(ErrorKind::StoreOpen, QStringLiteral("cannot be read into memory"), done);
    return copy;
}

Store::~Store() { close(); }

Store::Store(Store &&other) noexcept : m_db(other.m_db), m_path(std::move(other.m_path)) { other.m_db = nullptr; }

Store &Store::operator=(Store &&other) noexcept
{
    if (this != &other) {
        close();
        m_db = other.m_db;
        m_path = std::move(other.m_path);
        other.m_db = nullptr;
    }
    return *this;
}

void Store::close()
{
    if (m_db) {
        // Statements are owned by callers; close_v2 defers until they are finalized.
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

void Store::fail(ErrorKind kind, const QString &what, int rc) const
{
    const int primary = rc & 0xff;
    if (kind == ErrorKind::StoreQuery
        && (primary == SQLITE_READONLY || primary == SQLITE_FULL || primary == SQLITE_IOERR
            || primary == SQLITE_CANTOPEN || primary == SQLITE_BUSY || primary == SQLITE_LOCKED))
        kind = ErrorKind::StoreWrite;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        kind = ErrorKind::StoreDamaged;
    const QString reason = plainReason(rc);
    const QString detail = QStringLiteral("%1 (%2)").arg(what, describe(m_db, rc));
    throw Error(kind, reason.isEmpty() ? QStringLiteral("%1: %2").arg(m_path, detail)
                                       : QStringLiteral("%1: %2: %3").arg(m_path, reason, detail));
}

void Store::exec(const QString &sql)
{
    if (!m_db)
        throw Error(ErrorKind::StoreQuery, QStringLiteral("%1: the store is closed").arg(m_path));
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString why = err ? QString::fromUtf8(err) : QString();
        sqlite3_free(err);
        fail(ErrorKind::StoreQuery, QStringLiteral("statement failed: %1").arg(why), rc);
    }
}

Statement Store::prepare(const QString &sql)
{
    if (!m_db)
        throw Error(ErrorKind::StoreQuery, QStringLiteral("%1: the store is closed").arg(m_path));
    sqlite3_stmt *stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        qCWarning(lcStore).noquote() << "cannot prepare" << sql;
        fail(ErrorKind::StoreQuery, QStringLiteral("the store does not hold what the game needs"), rc);
    }
    return Statement(this, stmt, sql);
}

void Store::distrustSchema()
{
#ifdef SQLITE_DBCONFIG_DEFENSIVE
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
#endif
    // An engine that does not know a pragma passes over it.
    exec(QStringLiteral("pragma trusted_schema=off; pragma cell_size_check=on"));
}

void Store::begin() { exec(QStringLiteral("begin immediate")); }
void Store::commit() { exec(QStringLiteral("commit")); }

void Store::rollback() noexcept
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr);
}

// ---------------------------------------------------------------------------

Statement::Statement(Store *store, sqlite3_stmt *stmt, QString sql)
    : m_store(store), m_stmt(stmt), m_sql(std::move(sql))
{
}

Statement::~Statement()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement &&other) noexcept
    : m_store(other.m_store), m_stmt(other.m_stmt), m_sql(std::move(other.m_sql)), m_running(other.m_running)
{
    other.m_stmt = nullptr;
}

Statement &Statement::operator=(Statement &&other) noexcept
{
    if (this != &other) {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
        m_store = other.m_store;
        m_stmt = other.m_stmt;
        m_sql = std::move(other.m_sql);
        m_running = other.m_running;
        other.m_stmt = nullptr;
    }
    return *this;
}

void Statement::reset()
{
    // A statement that ran to its end was reset then; only one left mid-way needs it.
    if (m_stmt && m_running) {
        sqlite3_reset(m_stmt);
        m_running = false;
    }
}

Statement &Statement::bind(int index, qint64 value)
{
    reset();
    sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

Statement &Statement::bind(int index, double value)
{
    reset();
    sqlite3_bind_double(m_stmt, index, value);
    return *this;
}

Statement &Statement::bind(int index, const QString &value)
{
    reset();
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement &Statement::bindNull(int index)
{
    reset();
    sqlite3_bind_null(m_stmt, index);
    return *this;
}

bool Statement::next()
{
    if (!m_running) {
        sqlite3_reset(m_stmt);
        m_running = true;
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    m_running = false;
    if (rc == SQLITE_DONE) {
        sqlite3_reset(m_stmt);
        return false;
    }
    sqlite3_reset(m_stmt);
    qCWarning(lcStore).noquote() << "statement failed:" << m_sql;
    m_store->fail(ErrorKind::StoreQuery, QStringLiteral("the store could not be read or written"), rc);
}

void Statement::run()
{
    while (next()) {
    }
}

bool Statement::isNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
qint64 Statement::integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
double Statement::real(int column) const { return sqlite3_column_double(m_stmt, column); }

QString Statement::text(int column) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    const int n = sqlite3_column_bytes(m_stmt, column);
    return p ? QString::fromUtf8(p, n) : QString();
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return QVariant::fromValue<qlonglong>(integer(column));
    case SQLITE_FLOAT: return real(column);
    default: return text(column);
    }
}

} // namespace trenix
