// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file that keeps the player's history (progress.db): a plain SQLite file
// beside the practice store. It carries its schema version in PRAGMA
// user_version and is brought forward by the migrations in HistorySchema.cpp.
// A damaged file, or one whose tables, triggers or views are not ours, is set
// aside (renamed, never deleted) and a fresh one started; a file from a newer
// program is left as it is and nothing is written to it.
#include "Platform.h"
#include "Store.h"

#include <QString>
#include <functional>
#include <optional>

namespace trenix {

// The dictionary entry (its simplified form) of a word shown in a game of a
// language; nothing for a word the dictionary does not hold.
using EntryResolver = std::function<std::optional<QString>(int language, const QString &word)>;

// What the player is to be told about the history; the caller words it in the
// player's language (describeHistoryNotice).
struct HistoryNotice {
    enum class Kind {
        None,
        Newer,       // file: from a newer program, left as it is
        SetAside,    // file was damaged; detail: the name it is kept under
        Unavailable, // games cannot be kept for now: cause
        NotRecorded, // the last game was not kept: cause
    };
    enum class Cause {
        None,
        ReadOnly,       // file: the file or its folder is read-only
        DiskFull,       // file: the disk is full
        CannotSetAside, // file: damaged, and detail says why it cannot be renamed
        Engine,         // detail: the database engine's own words
    };
    Kind kind = Kind::None;
    Cause cause = Cause::None;
    QString file; // a file name, without its folder
    QString detail;
    bool isNone() const { return kind == Kind::None; }
};

class HistoryFile {
public:
    static constexpr int kSchemaVersion = 3;
    enum class State { Closed, Ready, Newer, Unavailable };

    explicit HistoryFile(const WallClock &clock) : m_clock(clock) {}

    // Where an older file finds the entries of its words when it is brought
    // forward; without one they stay words of their own.
    void setEntryResolver(EntryResolver resolver) { m_entryOf = std::move(resolver); }

    // Opens the file and brings its schema forward; a missing file is made by
    // the first change (writable()). Never throws: state() and takeNotice() tell.
    void open(const QString &path);
    // For the command line, to read only: the file as it lies (nothing is made
    // beside it), an older one brought forward in memory; none, or an empty
    // one, reads as an empty history. Never set aside: a newer file leaves
    // state() Newer; a damaged, foreign or unreadable one throws Error.
    void openExisting(const QString &path);
    void close();

    State state() const { return m_state; }
    bool ready() const { return m_state == State::Ready; }
    const QString &path() const { return m_path; }
    Store &store() { return m_store; }
    const WallClock &clock() const { return m_clock; }

    // What the player should be told about the last open or write, once.
    HistoryNotice takeNotice();
    void tell(const HistoryNotice &notice);
    // Why nothing can be kept, for as long as that lasts; None while it can.
    const HistoryNotice &status() const { return m_status; }

    // Opens or makes the file for a change: true when it is ready for one.
    bool makeReady();
    // Sets a damaged file aside and starts a fresh one; false when it could not.
    bool setAside(const QString &why);
    // The cause of a failed write, for the player.
    HistoryNotice::Cause causeOf(const Error &e, QString *detail) const;

    // Runs read() on a ready file; a damaged file met there is set aside and reads as empty.
    template <typename T, typename F> T read(F &&read, T empty)
    {
        if (m_state != State::Ready)
            return empty;
        try {
            return read();
        } catch (const Error &e) {
            if (e.kind() != ErrorKind::StoreDamaged)
                throw;
            setAside(e.message());
            return empty;
        }
    }

private:
    void openFile(const QString &path, bool createMissing);
    void unavailable(HistoryNotice::Cause cause, const QString &detail);

    const WallClock &m_clock;
    EntryResolver m_entryOf;
    Store m_store;
    State m_state = State::Closed;
    QString m_path;
    HistoryNotice m_notice;
    HistoryNotice m_status;
};

// Brings the schema of an open store to kSchemaVersion (or an earlier version,
// to make a file as an older program left it), one transaction per step;
// entryOf finds the entries of an older file's words. A resolver that throws
// leaves the file at the version before that step.
void migrateHistory(Store &store, const EntryResolver &entryOf = {}, int upTo = HistoryFile::kSchemaVersion);

} // namespace trenix
