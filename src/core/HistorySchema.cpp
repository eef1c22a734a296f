// SPDX-License-Identifier: GPL-3.0-or-later
// The history's schema, version by version.
#include "HistoryFile.h"
#include "ReviewQueue.h"

namespace trenix {

namespace {

// Each step takes the schema from the version before it to its own. A later
// version appends its step; a step once released never changes.
struct Migration {
    int version;
    const char *sql;
    void (*fill)(Store &) = nullptr; // brings what the new tables derive from the history
};

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
     ReviewQueue::rebuild},
};

} // namespace

void migrateHistory(Store &store, int upTo)
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
            m.fill(store);
        store.exec(QStringLiteral("pragma user_version=%1").arg(m.version));
        tx.commit();
    }
}

} // namespace trenix
