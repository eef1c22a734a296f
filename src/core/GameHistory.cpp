// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameHistory.h"

#include "HistoryFile.h"
#include "ProgressStats.h"
#include "ReadableNames.h"
#include "ReviewQueue.h"

#include <QDateTime>
#include <QFileInfo>

namespace trenix {

namespace {
std::optional<double> optionalReal(const Statement &st, int column)
{
    return st.isNull(column) ? std::nullopt : std::optional<double>(st.real(column));
}
} // namespace

bool GameHistory::record(const GameRecord &game)
{
    if (!m_file.makeReady()) {
        if (m_file.state() == HistoryFile::State::Unavailable) {
            HistoryNotice notice = m_file.status();
            notice.kind = HistoryNotice::Kind::NotRecorded;
            m_file.tell(notice);
        }
        return false;
    }
    try {
        write(game);
        return true;
    } catch (const Error &e) {
        // Damaged: set aside, and once more into the fresh file.
        if (e.kind() == ErrorKind::StoreDamaged && m_file.setAside(e.message())) {
            const HistoryNotice setAside = m_file.takeNotice();
            try {
                write(game);
                m_file.tell(setAside);
                return true;
            } catch (const Error &again) {
                return notRecorded(again);
            }
        }
        if (e.kind() == ErrorKind::StoreDamaged) { // could not be set aside: the file says why
            HistoryNotice notice = m_file.status();
            notice.kind = HistoryNotice::Kind::NotRecorded;
            m_file.tell(notice);
            return false;
        }
        return notRecorded(e);
    }
}

void GameHistory::noteMissed(Store &store, qint64 gameId)
{
    // A word that landed counts once per game, by its entry where it has one.
    Statement add = store.prepare(QStringLiteral(
        "insert or ignore into missed_words(word, is_entry, landed, last_game)"
        " select coalesce(entry, word), entry is not null, 0, ?1 from game_words"
        " where game_id = ?1 and landed = 1 group by coalesce(entry, word)"));
    add.bind(1, gameId).run();
    Statement count = store.prepare(QStringLiteral(
        "update missed_words set landed = landed + 1, last_game = ?1"
        " where word in (select coalesce(entry, word) from game_words where game_id = ?1 and landed = 1)"));
    count.bind(1, gameId).run();
}

void GameHistory::rebuildMissed(Store &store)
{
    // One grouped statement, as noteMissed counts game by game: two statements
    // per game took a third of bringing a long history forward.
    store.exec(
        QStringLiteral("delete from missed_words;"
                       "insert into missed_words(word, is_entry, landed, last_game)"
                       " select coalesce(entry, word), max(entry is not null), count(distinct game_id), max(game_id)"
                       " from game_words where landed = 1 group by coalesce(entry, word)"));
}

bool GameHistory::notRecorded(const Error &e)
{
    QString detail;
    const HistoryNotice::Cause cause = m_file.causeOf(e, &detail);
    m_file.tell({HistoryNotice::Kind::NotRecorded, cause, QFileInfo(m_file.path()).fileName(), detail});
    return false;
}

void GameHistory::write(const GameRecord &game)
{
    Transaction tx(m_file.store());
    Statement insert = m_file.store().prepare(QStringLiteral(
        "insert into games(start_utc, end_utc, utc_offset, seconds, language, dictionary, selection, word_from,"
        " word_to, speed_level, words_in_selection, entries, hits, speed, accuracy, words_landed, field_height,"
        " answer_mode, tone_rule, hints, player)"
        " values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21)"));
    insert.bind(1, game.startUtcMs).bind(2, game.endUtcMs).bind(3, qint64(game.utcOffsetS)).bind(4, game.seconds);
    insert.bind(5, game.language).bind(6, game.dictionary).bind(7, game.selection);
    game.wordFrom ? insert.bind(8, *game.wordFrom) : insert.bindNull(8);
    game.wordTo ? insert.bind(9, *game.wordTo) : insert.bindNull(9);
    insert.bind(10, game.speedLevel).bind(11, game.wordsInSelection).bind(12, game.entries).bind(13, game.hits);
    insert.bind(14, game.speed);
    game.accuracy ? insert.bind(15, *game.accuracy) : insert.bindNull(15);
    insert.bind(16, game.wordsLanded()).bind(17, game.fieldHeight);
    insert.bind(18, game.answerMode).bind(19, game.toneRule).bind(20, game.hints).bind(21, game.player);
    insert.run();
    Statement lastId = m_file.store().prepare(QStringLiteral("select last_insert_rowid()"));
    const qint64 id = lastId.next() ? lastId.integer(0) : 0;
    lastId.reset();
    Statement word = m_file.store().prepare(QStringLiteral(
        "insert into game_words(game_id, word, hit, landed, ticks, top, entry) values (?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
    for (const WordOutcome &w : game.words) {
        word.bind(1, id).bind(2, w.word).bind(3, w.hit ? 1 : 0).bind(4, w.landed ? 1 : 0);
        word.bind(5, w.ticks).bind(6, w.top);
        w.entry.isEmpty() ? word.bindNull(7) : word.bind(7, w.entry);
        word.run();
    }
    Statement miss = m_file.store().prepare(QStringLiteral(
        "insert into missed_entries(game_id, at_utc, text, field_words) values (?1, ?2, ?3, ?4)"));
    for (const MissedEntry &m : game.misses)
        miss.bind(1, id).bind(2, m.atUtcMs).bind(3, m.text).bind(4, m.fieldWords.join(u'\n')).run();
    noteMissed(m_file.store(), id);
    ReviewQueue::noteGame(m_file.store(), id, game);
    tx.commit();
}

ProgressSummary GameHistory::summary(qint64 todayLocalDay)
{
    return m_file.read(
        [&] {
            ProgressSummary s;
            Statement totals = m_file.store().prepare(
                QStringLiteral("select count(*), coalesce(sum(seconds), 0), coalesce(max(speed), 0) from games"));
            if (totals.next()) {
                s.games = totals.integer(0);
                s.seconds = totals.integer(1);
                s.bestSpeed = totals.real(2);
            }
            totals.reset();
            Statement last = m_file.store().prepare(QStringLiteral(
                "select avg(speed) from (select speed from games order by start_utc desc, id desc limit 10)"));
            if (last.next())
                s.averageLast10 = optionalReal(last, 0);
            last.reset();
            std::vector<qint64> days;
            Statement daysPlayed = m_file.store().prepare(QStringLiteral(
                "select distinct (start_utc / 1000 + utc_offset) / 86400 as day from games order by day desc"));
            while (daysPlayed.next())
                days.push_back(daysPlayed.integer(0));
            s.streakDays = currentStreak(days, todayLocalDay);
            return s;
        },
        ProgressSummary());
}

std::vector<GamePoint> GameHistory::points(qint64 sinceUtcMs)
{
    return m_file.read(
        [&] {
            std::vector<GamePoint> result;
            Statement st = m_file.store().prepare(
                QStringLiteral("select start_utc, speed, accuracy, utc_offset from games where start_utc >= ?1"
                               " order by start_utc, id"));
            st.bind(1, sinceUtcMs);
            while (st.next())
                result.push_back({st.integer(0), st.real(1), optionalReal(st, 2), qint32(st.integer(3))});
            return result;
        },
        std::vector<GamePoint>());
}

std::vector<MissedWord> GameHistory::mostMissed(int limit)
{
    return m_file.read(
        [&] {
            std::vector<MissedWord> result;
            Statement st = m_file.store().prepare(
                QStringLiteral("select word, is_entry, landed from missed_words order by landed desc, last_game desc"
                               " limit ?1"));
            st.bind(1, limit);
            while (st.next())
                result.push_back({st.text(0), st.integer(1) != 0, st.integer(2), QString(), QString()});
            return result;
        },
        std::vector<MissedWord>());
}

std::vector<RecentGame> GameHistory::recent(int limit)
{
    return m_file.read(
        [&] {
            std::vector<RecentGame> result;
            Statement st = m_file.store().prepare(QStringLiteral(
                "select start_utc, utc_offset, seconds, speed, accuracy, hits, entries, words_landed, selection"
                " from games order by start_utc desc, id desc limit ?1"));
            st.bind(1, limit);
            while (st.next()) {
                RecentGame g;
                g.startUtcMs = st.integer(0);
                g.utcOffsetS = qint32(st.integer(1));
                g.seconds = st.integer(2);
                g.speed = st.real(3);
                g.accuracy = optionalReal(st, 4);
                g.hits = st.integer(5);
                g.entries = st.integer(6);
                g.landed = st.integer(7);
                g.selection = st.text(8);
                result.push_back(std::move(g));
            }
            return result;
        },
        std::vector<RecentGame>());
}

QStringList GameHistory::csvHeader()
{
    return {QStringLiteral("game"),         QStringLiteral("start_utc"),    QStringLiteral("end_utc"),
            QStringLiteral("start_local"),  QStringLiteral("seconds"),      QStringLiteral("language"),
            QStringLiteral("dictionary"),   QStringLiteral("selection"),    QStringLiteral("word_from"),
            QStringLiteral("word_to"),      QStringLiteral("speed_level"),  QStringLiteral("words_in_selection"),
            QStringLiteral("entries"),      QStringLiteral("hits"),         QStringLiteral("speed_wpm"),
            QStringLiteral("accuracy_pct"), QStringLiteral("words_landed"), QStringLiteral("landed_words"),
            QStringLiteral("words_left_on_pile"), QStringLiteral("missed_entries"), QStringLiteral("answer_mode"),
            QStringLiteral("tone_rule"), QStringLiteral("hints"), QStringLiteral("player"),
            QStringLiteral("language_name"), QStringLiteral("dictionary_name"), QStringLiteral("selection_name"),
            QStringLiteral("speed_name")};
}

void GameHistory::forEachCsvRow(const std::function<void(const QStringList &)> &row, const CsvNaming &naming)
{
    if (!m_file.ready())
        return;
    Statement st = m_file.store().prepare(QStringLiteral(
        "select g.id, g.start_utc, g.end_utc, g.utc_offset, g.seconds, g.language, g.dictionary, g.selection,"
        " g.word_from, g.word_to, g.speed_level, g.words_in_selection, g.entries, g.hits, g.speed, g.accuracy,"
        " g.words_landed,"
        " (select group_concat(w.word, ' ') from game_words w where w.game_id = g.id and w.landed = 1),"
        " (select count(*) from game_words w where w.game_id = g.id and w.landed = 1 and w.hit = 0),"
        " (select count(*) from missed_entries m where m.game_id = g.id),"
        " g.answer_mode, g.tone_rule, g.hints, g.player"
        " from games g order by g.start_utc, g.id"));
    const auto utc = [](qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODate); };
    const auto number = [&st](int column) {
        return st.isNull(column) ? QString() : QString::number(st.integer(column));
    };
    while (st.next()) {
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(st.integer(1), Qt::OffsetFromUTC, int(st.integer(3)));
        const QString player = naming.everyRow || st.text(23).isEmpty() ? naming.player : st.text(23);
        const QStringList names{languageName(int(st.integer(5))), dictionaryName(st.text(6), naming.language),
                                setName(st.text(7), naming.language), speedName(int(st.integer(10)), naming.language)};
        row(QStringList{number(0), utc(st.integer(1)), utc(st.integer(2)),
                        local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), number(4), number(5), st.text(6),
                        st.text(7), number(8), number(9), number(10), number(11), number(12), number(13),
                        QString::number(st.real(14), 'f', 2),
                        st.isNull(15) ? QString() : QString::number(st.real(15) * 100.0, 'f', 2), number(16),
                        st.text(17), number(18), number(19), st.text(20), st.text(21), st.text(22), player}
            + names);
    }
}

void GameHistory::clear()
{
    if (!m_file.ready())
        return;
    Transaction tx(m_file.store());
    m_file.store().exec(QStringLiteral(
        "delete from review_words; delete from missed_words; delete from missed_entries; delete from game_words;"
        " delete from games;"));
    tx.commit();
}

} // namespace trenix
