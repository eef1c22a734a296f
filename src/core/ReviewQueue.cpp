// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReviewQueue.h"

#include "HistoryFile.h"

#include <map>

namespace trenix {

namespace {

// What one game says of a word that showed in it. A word caught only late, or
// not at all, is trouble; a hit in the top half is quick; a word still falling
// when the game ended tells nothing.
enum class Showing { Neutral, Quick, Troubled };

Showing showing(bool hit, bool landed, qint64 top, qint64 fieldHeight)
{
    if (landed || (hit && top * 2 > fieldHeight))
        return Showing::Troubled;
    return hit ? Showing::Quick : Showing::Neutral;
}

// The review as each game changes it; the same for a new game and for the
// history an older file brings.
class ReviewUpdate {
public:
    explicit ReviewUpdate(Store &store)
        : m_enter(store.prepare(QStringLiteral(
            "insert or replace into review_words(word, troubled_game, quick_games) values (?1, ?2, 0)"))),
          m_quick(
              store.prepare(QStringLiteral("update review_words set quick_games = quick_games + 1 where word = ?1"))),
          m_leave(store.prepare(QStringLiteral("delete from review_words where word = ?1 and quick_games >= 2")))
    {
    }
    void note(const QString &word, Showing s)
    {
        Showing &seen = m_game[word];
        seen = std::max(seen, s); // a word shown twice in a game: its worst showing counts
    }
    void apply(qint64 gameId)
    {
        for (const auto &[word, s] : m_game) {
            if (s == Showing::Troubled) {
                m_enter.bind(1, word).bind(2, gameId).run();
            } else if (s == Showing::Quick) {
                m_quick.bind(1, word).run();
                m_leave.bind(1, word).run();
            }
        }
        m_game.clear();
    }

private:
    Statement m_enter, m_quick, m_leave;
    std::map<QString, Showing> m_game;
};

} // namespace

void ReviewQueue::noteGame(Store &store, qint64 gameId, const GameRecord &game)
{
    ReviewUpdate review(store);
    for (const WordOutcome &w : game.words)
        review.note(w.word, showing(w.hit, w.landed, w.top, game.fieldHeight));
    review.apply(gameId);
}

void ReviewQueue::rebuild(Store &store)
{
    ReviewUpdate review(store);
    Statement rows = store.prepare(
        QStringLiteral("select w.game_id, w.word, w.hit, w.landed, w.top, g.field_height from game_words w"
                       " join games g on g.id = w.game_id order by w.game_id"));
    qint64 game = -1;
    while (rows.next()) {
        if (rows.integer(0) != game && game >= 0)
            review.apply(game);
        game = rows.integer(0);
        review.note(rows.text(1),
                    showing(rows.integer(2) != 0, rows.integer(3) != 0, rows.integer(4), rows.integer(5)));
    }
    if (game >= 0)
        review.apply(game);
}

std::vector<QString> ReviewQueue::words(int limit)
{
    return m_file.read(
        [&] {
            std::vector<QString> words;
            Statement st = m_file.store().prepare(
                QStringLiteral("select word from review_words order by troubled_game desc, word limit ?1"));
            st.bind(1, limit);
            while (st.next())
                words.push_back(st.text(0));
            return words;
        },
        std::vector<QString>());
}

qint64 ReviewQueue::count()
{
    return m_file.read(
        [&] {
            Statement st = m_file.store().prepare(QStringLiteral("select count(*) from review_words"));
            return st.next() ? st.integer(0) : qint64(0);
        },
        qint64(0));
}

} // namespace trenix
