// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one small RAII wrapper over SQLCipher used for both stores.
// Values always go in as bound parameters; only fixed SQL text is prepared.
#include "Error.h"
#include <QString>
#include <QVariant>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace trenix {

class Statement;

class Store {
public:
    // Immutable: read-only, and taken as a file nothing changes while it is
    // open: no locks, no journal files made beside it, and a journal left there
    // is not read. It opens a write-ahead store where the journal's index cannot
    // be made (a read-only folder or file system). Memory: a private database
    // in memory; path only names it in messages.
    enum class Mode { ReadOnly, ReadWrite, Create, Immutable, Memory };

    Store() = default;
    // Opens an existing file (Create makes one: the build tools, the progress store).
    // An empty key opens a plain SQLite file. Throws Error naming the file.
    Store(const QString &path, const QByteArray &key, Mode mode);
    // A copy in memory of a plain store, to be changed without touching the file.
    static Store memoryCopy(Store &from);
    ~Store();
    Store(Store &&other) noexcept;
    Store &operator=(Store &&other) noexcept;
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    bool isOpen() const { return m_db != nullptr; }
    const QString &path() const { return m_path; }
    void close();

    // Runs fixed SQL text without parameters (may hold several statements).
    void exec(const QString &sql);
    Statement prepare(const QString &sql);

    void begin();
    void commit();
    void rollback() noexcept;

    // For a file that may have been made by someone else: the engine's
    // defensive mode where it has one, and no function of the file's schema
    // runs with more trust than the statement that reaches it.
    void distrustSchema();

    [[noreturn]] void fail(ErrorKind kind, const QString &what, int rc) const;

private:
    sqlite3 *m_db = nullptr;
    QString m_path;
};

// A prepared statement; reset automatically before it is run again.
class Statement {
public:
    Statement() = default;
    Statement(Store *store, sqlite3_stmt *stmt, QString sql);
    ~Statement();
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_stmt != nullptr; }
    Statement &bind(int index, qint64 value);
    Statement &bind(int index, int value) { return bind(index, qint64(value)); }
    Statement &bind(int index, double value);
    Statement &bind(int index, const QString &value);
    Statement &bindNull(int index);

    // Steps once; true when a row is ready. The first call resets the statement.
    bool next();
    // Runs to completion, ignoring rows.
    void run();

    bool isNull(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    QString text(int column) const;
    QVariant value(int column) const;
    void reset();

private:
    Store *m_store = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_sql;
    bool m_running = false;
};

// Rolls back unless committed: a failed game start leaves no half-written list.
class Transaction {
public:
    explicit Transaction(Store &store) : m_store(store) { m_store.begin(); }
    ~Transaction()
    {
        if (!m_done)
            m_store.rollback();
    }
    void commit()
    {
        m_store.commit();
        m_done = true;
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

private:
    Store &m_store;
    bool m_done = false;
};

} // namespace trenix
