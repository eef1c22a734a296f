// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReviewQueue.h"

#include "Fsrs.h"
#include "HistoryFile.h"

#include <map>
#include <optional>

namespace trenix {

namespace {

constexpr qint64 kDayMs = 86400000;

// What one showing says of a word: nothing for a word still falling when the
// game ended; the worst showing of a game counts.
std::optional<fsrs::Rating> rating(bool hit, bool landed, qint64 top, qint64 fieldHeight)
{
    if (landed)
        return fsrs::Rating::Again;
    if (!hit)
        return std::nullopt;
    return top * 2 > fieldHeight ? fsrs::Rating::Hard : fsrs::Rating::Good;
}

struct Key {
    QString word;
    bool isEntry;
    bool operator<(const Key &o) const { return word < o.word || (word == o.word && isEntry < o.isEntry); }
};

// One game's reviews, applied to the table in one go; or, replaying a whole
// history, to cards kept in memory and written once (flush): a read and a write
// per word and game took a third of bringing a long history forward.
class ReviewUpdate {
public:
    explicit ReviewUpdate(Store &store, bool inMemory = false)
        : m_inMemory(inMemory),
          m_read(store.prepare(QStringLiteral(
              "select stability, difficulty, due_utc, last_review_utc, reps, lapses, state from review_words"
              " where word = ?1"))),
          m_write(store.prepare(QStringLiteral(
              "insert or replace into review_words(word, is_entry, stability, difficulty, due_utc, last_review_utc,"
              " reps, lapses, state, last_game) values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)")))
    {
    }
    void note(const WordOutcome &w, qint64 fieldHeight)
    {
        const std::optional<fsrs::Rating> r = rating(w.hit, w.landed, w.top, fieldHeight);
        if (!r)
            return;
        const Key key{w.entry.isEmpty() ? w.word : w.entry, !w.entry.isEmpty()};
        auto [it, added] = m_game.emplace(key, *r);
        if (!added && int(*r) < int(it->second))
            it->second = *r;
    }
    void apply(qint64 gameId, qint64 atUtcMs)
    {
        for (const auto &[key, r] : m_game) {
            std::optional<fsrs::Card> card = read(key.word);
            if (!card && r == fsrs::Rating::Good)
                continue; // a word typed quickly has nothing to review yet
            const fsrs::Card next = fsrs::review(card.value_or(fsrs::Card()), r, atUtcMs).card;
            if (m_inMemory)
                m_cards[key.word] = {key.isEntry, next, gameId};
            else
                write(key.word, {key.isEntry, next, gameId});
        }
        m_game.clear();
    }
    void flush()
    {
        for (const auto &[word, kept] : m_cards)
            write(word, kept);
        m_cards.clear();
    }

private:
    struct Kept {
        bool isEntry;
        fsrs::Card card;
        qint64 lastGame;
    };

    void write(const QString &word, const Kept &k)
    {
        const fsrs::Card &c = k.card;
        m_write.bind(1, word).bind(2, k.isEntry ? 1 : 0).bind(3, c.stability).bind(4, c.difficulty);
        m_write.bind(5, c.dueMs).bind(6, c.lastReviewMs).bind(7, c.reps).bind(8, c.lapses);
        m_write.bind(9, int(c.state)).bind(10, k.lastGame).run();
    }

    std::optional<fsrs::Card> read(const QString &word)
    {
        if (m_inMemory) {
            const auto it = m_cards.find(word);
            return it == m_cards.end() ? std::nullopt : std::optional<fsrs::Card>(it->second.card);
        }
        m_read.bind(1, word);
        std::optional<fsrs::Card> card;
        if (m_read.next()) {
            card.emplace();
            card->stability = m_read.real(0);
            card->difficulty = m_read.real(1);
            card->dueMs = m_read.integer(2);
            card->lastReviewMs = m_read.integer(3);
            card->reps = int(m_read.integer(4));
            card->lapses = int(m_read.integer(5));
            card->state = m_read.integer(6) == int(fsrs::CardState::Review) ? fsrs::CardState::Review
                                                                             : fsrs::CardState::New;
        }
        m_read.reset();
        return card;
    }

    bool m_inMemory;
    Statement m_read, m_write;
    std::map<Key, fsrs::Rating> m_game;
    std::map<QString, Kept> m_cards; // inMemory: every card so far
};

} // namespace

void ReviewQueue::noteGame(Store &store, qint64 gameId, const GameRecord &game)
{
    ReviewUpdate review(store);
    for (const WordOutcome &w : game.words)
        review.note(w, game.fieldHeight);
    review.apply(gameId, game.endUtcMs);
}

void ReviewQueue::rebuild(Store &store)
{
    store.exec(QStringLiteral("delete from review_words"));
    ReviewUpdate review(store, true);
    Statement rows = store.prepare(QStringLiteral(
        "select g.id, g.end_utc, g.field_height, w.word, w.entry, w.hit, w.landed, w.top from game_words w"
        " join games g on g.id = w.game_id order by g.end_utc, g.id"));
    qint64 game = -1, end = 0;
    while (rows.next()) {
        if (rows.integer(0) != game && game >= 0)
            review.apply(game, end);
        game = rows.integer(0);
        end = rows.integer(1);
        WordOutcome w{rows.text(3), rows.integer(5) != 0, rows.integer(6) != 0, 0, rows.integer(7),
                      rows.isNull(4) ? QString() : rows.text(4)};
        review.note(w, rows.integer(2));
    }
    if (game >= 0)
        review.apply(game, end);
    review.flush();
}

std::vector<ReviewWord> ReviewQueue::due(qint64 atUtcMs, int limit)
{
    return m_file.read(
        [&] {
            std::vector<ReviewWord> words;
            Statement st = m_file.store().prepare(QStringLiteral(
                "select word, is_entry from review_words where due_utc <= ?1 order by due_utc, word limit ?2"));
            st.bind(1, atUtcMs).bind(2, limit);
            while (st.next())
                words.push_back({st.text(0), st.integer(1) != 0});
            return words;
        },
        std::vector<ReviewWord>());
}

qint64 ReviewQueue::single(const QString &sql, qint64 bound)
{
    return m_file.read(
        [&] {
            Statement st = m_file.store().prepare(sql);
            if (sql.contains(QLatin1String("?1")))
                st.bind(1, bound);
            return st.next() ? st.integer(0) : qint64(0);
        },
        qint64(0));
}

qint64 ReviewQueue::dueBy(qint64 utcMs)
{
    return single(QStringLiteral("select count(*) from review_words where due_utc <= ?1"), utcMs);
}

std::optional<qint64> ReviewQueue::nextDue()
{
    return m_file.read(
        [&] {
            Statement st = m_file.store().prepare(QStringLiteral("select min(due_utc) from review_words"));
            return st.next() && !st.isNull(0) ? std::optional<qint64>(st.integer(0)) : std::nullopt;
        },
        std::optional<qint64>());
}

qint64 ReviewQueue::learned()
{
    return single(QStringLiteral("select count(*) from review_words where due_utc - last_review_utc >= ?1"),
                  kLearnedDays * kDayMs);
}

qint64 ReviewQueue::count() { return single(QStringLiteral("select count(*) from review_words"), 0); }

} // namespace trenix
