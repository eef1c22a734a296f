// SPDX-License-Identifier: GPL-3.0-or-later
// The history's schema, version by version.
#include "HistoryFile.h"
#include "GameHistory.h"
#include "ReviewQueue.h"

#include <tuple>
#include <vector>

namespace trenix {

namespace {

// Each step takes the schema from the version before it to its own. A later
// version appends its step; a step once released never changes.
struct Migration {
    int version;
    const char *sql;
    void (*fill)(Store &, const EntryResolver &) = nullptr; // what the new tables derive from the history
};

// Every word of every game gets its entry, looked up in the dictionary of the
// game's language; then the missed words and the review are built anew by entry.
void migrateToEntries(Store &store, const EntryResolver &entryOf)
{
    if (entryOf) {
        // One look-up per word and language, then one pass over the rows: a
        // statement per word would scan every game's words each time.
        std::vector<std::tuple<qint64, QString, QString>> found;
        Statement words = store.prepare(QStringLiteral(
            "select distinct g.language, w.word from game_words w join games g on g.id = w.game_id"));
        try {
            while (words.next()) {
                if (const std::optional<QString> entry = entryOf(int(words.integer(0)), words.text(1)))
                    found.emplace_back(words.integer(0), words.text(1), *entry);
            }
        } catch (const Error &e) {
            // The practice store's fault, not this file's: it must not be set aside as damaged.
            throw Error(ErrorKind::StoreOpen,
                        QStringLiteral("%1: the dictionary entries of its words cannot be looked up: %2")
                            .arg(store.path(), e.message()));
        }
        words.reset();
        store.exec(QStringLiteral("create temp table word_entries(language integer, word text, entry text not null,"
                                  " primary key (language, word)) without rowid"));
        Statement add = store.prepare(QStringLiteral("insert into temp.word_entries values (?1, ?2, ?3)"));
        for (const auto &[language, word, entry] : found)
            add.bind(1, language).bind(2, word).bind(3, entry).run();
        store.exec(QStringLiteral(
            "update game_words set entry = (select e.entry from temp.word_entries e where e.word = game_words.word"
            " and e.language = (select g.language from games g where g.id = game_words.game_id));"
            "drop table temp.word_entries"));
    }
    GameHistory::rebuildMissed(store);
    ReviewQueue::rebuild(store);
}

constexpr Migration kMigrations[] = {
    {1,
     "create table games ("
     " id integer primary key,"
     " start_utc integer not null," // ms since 1970, UTC
     " end_utc integer not null,"
     " utc_offset integer not null," // seconds east of UTC at the start
     " seconds integer not null,"
     " language integer not null,"
     " dictionary text not null,"
     " selection text not null," // range:FROM-TO
     " word_from integer,"
     " word_to integer,"
     " speed_level integer not null,"
     " words_in_selection integer not null,"
     " entries integer not null,"
     " hits integer not null,"
     " speed real not null," // words per minute
     " accuracy real,"       // hits / entries
     " words_landed integer not null,"
     " field_height integer not null);" // twips
     "create index games_start on games(start_utc);"
     "create table game_words ("
     " game_id integer not null references games(id) on delete cascade,"
     " word text not null,"
     " hit integer not null,"
     " landed integer not null,"
     " ticks integer not null,"
     " top integer not null);"
     "create index game_words_game on game_words(game_id);"
     // Kept with each game so that the window need not count the word rows.
     "create table missed_words ("
     " word text primary key,"
     " landed integer not null," // games in which it reached the pile
     " last_game integer not null);"
     "create index missed_words_rank on missed_words(landed, last_game);"},
    {2,
     "create table word_lists ("
     " id integer primary key,"
     " name text not null unique,"
     " imported_utc integer not null);" // ms since 1970, UTC
     "create table list_words ("
     " list_id integer not null references word_lists(id) on delete cascade,"
     " position integer not null," // 1..n, the list's order
     " word text not null,"
     " pinyin text not null,"
     " english text not null,"
     " primary key (list_id, position)) without rowid;"
     "create index list_words_word on list_words(word);"
     "create table review_words ("
     " word text primary key,"
     " troubled_game integer not null," // the last game in which it landed or was hit late
     " quick_games integer not null);"  // games since then in which it was hit in the top half
     "create index review_words_recent on review_words(troubled_game);",
     nullptr}, // its review was derived from the games; version 3 derives it anew
    {3,
     // How each game was played, for the review across scripts and for a class's exports.
     "alter table games add column answer_mode text not null default 'characters';"
     "alter table games add column tone_rule text not null default 'optional';"
     "alter table games add column hints text not null default 'off';"
     "alter table games add column player text not null default '';"
     // The dictionary entry of a word (its simplified form), so that it is found in every dictionary.
     "alter table game_words add column entry text;"
     "create table missed_entries ("
     " game_id integer not null references games(id) on delete cascade,"
     " at_utc integer not null,"
     " text text not null,"
     " field_words text not null);"       // the words on the field, one per line
     "create index missed_entries_game on missed_entries(game_id);"
     // Missed words and the review by entry (or by the text of a word no dictionary holds).
     "drop table missed_words;"
     "create table missed_words ("
     " word text primary key,"            // the entry, or the word's text
     " is_entry integer not null,"
     " landed integer not null,"
     " last_game integer not null);"
     "create index missed_words_rank on missed_words(landed, last_game);"
     "drop table review_words;"
     "create table review_words ("
     " word text primary key,"            // the entry, or the word's text
     " is_entry integer not null,"
     " stability real not null,"          // the FSRS card
     " difficulty real not null,"
     " due_utc integer not null,"
     " last_review_utc integer not null,"
     " reps integer not null,"
     " lapses integer not null,"
     " state integer not null,"
     " last_game integer not null);"
     "create index review_words_due on review_words(due_utc);",
     migrateToEntries},
};

} // namespace

void migrateHistory(Store &store, const EntryResolver &entryOf, int upTo)
{
    Statement st = store.prepare(QStringLiteral("pragma user_version"));
    const qint64 version = st.next() ? st.integer(0) : 0;
    st.reset();
    for (const Migration &m : kMigrations) {
        if (m.version <= version || m.version > upTo)
            continue;
        Transaction tx(store);
        store.exec(QString::fromUtf8(m.sql));
        if (m.fill)
            m.fill(store, entryOf);
        store.exec(QStringLiteral("pragma user_version=%1").arg(m.version));
        tx.commit();
    }
}

} // namespace trenix
