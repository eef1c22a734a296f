#include "ProgressStore.h"

#include "GlVexM.h"
#include "ProgressStats.h"
#include "Texts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStorageInfo>
#include <map>

Q_LOGGING_CATEGORY(lcProgress, "trenix.progress")

namespace trenix {

namespace {

// Each step takes the schema from the version before it to its own. A later
// version appends its step; a step once released never changes.
struct Migration {
    int version;
    const char *sql;
    void (*fill)(Store &) = nullptr; // brings what the new tables derive from the history
};

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
          m_quick(store.prepare(QStringLiteral("update review_words set quick_games = quick_games + 1 where word = ?1"))),
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

void fillReview(Store &store)
{
    ReviewUpdate review(store);
    Statement rows = store.prepare(QStringLiteral(
        "select w.game_id, w.word, w.hit, w.landed, w.top, g.field_height from game_words w"
        " join games g on g.id = w.game_id order by w.game_id"));
    qint64 game = -1;
    while (rows.next()) {
        if (rows.integer(0) != game && game >= 0)
            review.apply(game);
        game = rows.integer(0);
        review.note(rows.text(1), showing(rows.integer(2) != 0, rows.integer(3) != 0, rows.integer(4), rows.integer(5)));
    }
    if (game >= 0)
        review.apply(game);
}

constexpr Migration kMigrations[] = {
    {1,
     "create table games ("
     " id integer primary key,"
     " start_utc integer not null,"      // ms since 1970, UTC
     " end_utc integer not null,"
     " utc_offset integer not null,"     // seconds east of UTC at the start
     " seconds integer not null,"
     " language integer not null,"
     " dictionary text not null,"
     " selection text not null,"         // range:FROM-TO
     " word_from integer,"
     " word_to integer,"
     " speed_level integer not null,"
     " words_in_selection integer not null,"
     " entries integer not null,"
     " hits integer not null,"
     " speed real not null,"             // words per minute
     " accuracy real,"                   // hits / entries
     " words_landed integer not null,"
     " field_height integer not null);"  // twips
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
     " landed integer not null,"         // games in which it reached the pile
     " last_game integer not null);"
     "create index missed_words_rank on missed_words(landed, last_game);"},
    {2,
     "create table word_lists ("
     " id integer primary key,"
     " name text not null unique,"
     " imported_utc integer not null);"  // ms since 1970, UTC
     "create table list_words ("
     " list_id integer not null references word_lists(id) on delete cascade,"
     " position integer not null,"       // 1..n, the list's order
     " word text not null,"
     " pinyin text not null,"
     " english text not null,"
     " primary key (list_id, position)) without rowid;"
     "create index list_words_word on list_words(word);"
     "create table review_words ("
     " word text primary key,"
     " troubled_game integer not null,"  // the last game in which it landed or was hit late
     " quick_games integer not null);"   // games since then in which it was hit in the top half
     "create index review_words_recent on review_words(troubled_game);",
     fillReview},
};

QString localized(TextId id)
{
    return text(id);
}

qint64 userVersion(Store &store)
{
    Statement st = store.prepare(QStringLiteral("pragma user_version"));
    return st.next() ? st.integer(0) : 0;
}

qint64 wallNow()
{
    return GlVexM.wallClock ? GlVexM.wallClock->utcMs() : QDateTime::currentMSecsSinceEpoch();
}

// The part of a store error the player can act on, without the folder and the
// engine's own words: "progress.db: the disk is full; nothing was changed".
QString shortReason(const Error &e, const QString &path)
{
    QString message = e.message();
    const QString name = QFileInfo(path).fileName();
    if (message.startsWith(path))
        message = name + message.mid(path.size());
    const int second = message.indexOf(QLatin1String(": "), name.size() + 2);
    return second > 0 ? message.left(second) : message;
}

// Nothing to keep: no file, or the empty one a first start cut short leaves.
bool isFresh(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() || (info.isFile() && info.size() == 0 && !QFileInfo::exists(path + QStringLiteral("-wal")));
}

// The engine says "unable to open" or "disk I/O error" when the folder cannot
// take the file or its journals; the player is told which.
QString openFailure(const Error &e, const QString &path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (folder.exists() && (!folder.isWritable() || (file.exists() && !file.isWritable())))
        return QStringLiteral("%1: the file or its folder is read-only").arg(file.fileName());
    if (folder.exists() && QStorageInfo(folder.absoluteFilePath()).bytesAvailable() < (qint64(1) << 16))
        return QStringLiteral("%1: the disk is full").arg(file.fileName());
    return shortReason(e, path);
}

std::optional<double> optionalReal(const Statement &st, int column)
{
    return st.isNull(column) ? std::nullopt : std::optional<double>(st.real(column));
}

} // namespace

QString ProgressStore::takeNotice()
{
    QString notice;
    notice.swap(m_notice);
    return notice;
}

void ProgressStore::tell(const QString &notice)
{
    m_notice = notice;
    qCWarning(lcProgress).noquote() << notice << "-" << QDir::toNativeSeparators(m_path);
}

void ProgressStore::close()
{
    m_store.close();
    m_state = State::Closed;
}

void ProgressStore::open(const QString &path)
{
    m_notice.clear();
    if (!isFresh(path)) {
        openFile(path, true);
        return;
    }
    // The file is made with the first game kept: a run without one leaves nothing behind.
    m_store.close();
    m_path = path;
    m_state = State::Closed;
    m_status.clear();
}

void ProgressStore::openExisting(const QString &path)
{
    m_notice.clear();
    openFile(path, false);
    if (m_state == State::Newer)
        throw Error(ErrorKind::StoreOpen, m_status);
}

void ProgressStore::openFile(const QString &path, bool createMissing)
{
    m_store.close();
    m_path = path;
    m_state = State::Closed;
    m_status.clear();
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
                m_status = localized(tid::Progress_newer)
                               .arg(info.fileName());
                tell(m_status);
                return;
            }
        }
        if (fresh && !QDir().mkpath(info.absolutePath()))
            throw Error(ErrorKind::File, QStringLiteral("%1: the folder cannot be created").arg(path));
        m_store = Store(path, QByteArray(), fresh || emptyWithJournal ? Store::Mode::Create : Store::Mode::ReadWrite);
        // WAL: a game's commit is one append; a kill never leaves a half-written game.
        m_store.exec(QStringLiteral("pragma journal_mode=wal; pragma synchronous=normal; pragma foreign_keys=on"));
        migrate();
        m_state = State::Ready;
    } catch (const Error &e) {
        m_store.close();
        if (e.kind() == ErrorKind::StoreDamaged && createMissing) {
            setAside(e.message());
            return;
        }
        m_state = State::Unavailable;
        m_reason = openFailure(e, path);
        m_status = localized(tid::Progress_unavailable).arg(m_reason);
        if (!createMissing)
            throw;
        tell(m_status);
    }
}

void ProgressStore::migrate()
{
    const qint64 version = userVersion(m_store);
    for (const Migration &m : kMigrations) {
        if (m.version <= version)
            continue;
        Transaction tx(m_store);
        m_store.exec(QString::fromUtf8(m.sql));
        if (m.fill)
            m.fill(m_store);
        m_store.exec(QStringLiteral("pragma user_version=%1").arg(m.version));
        tx.commit();
    }
}

void ProgressStore::setAside(const QString &why)
{
    m_store.close();
    qCWarning(lcProgress).noquote() << "damaged:" << why;
    const QString stamp = QDateTime::fromMSecsSinceEpoch(wallNow(), GlVexM.wallClock ? GlVexM.wallClock->timeZone()
                                                                                      : QTimeZone::systemTimeZone())
                              .toString(QStringLiteral("yyyyMMdd-HHmmss"));
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
            m_state = State::Unavailable;
            m_reason = QStringLiteral("%1 is damaged and cannot be set aside (%2)")
                           .arg(QFileInfo(from).fileName(), file.errorString());
            m_status = localized(tid::Progress_unavailable).arg(m_reason);
            tell(m_status);
            return;
        }
    }
    openFile(m_path, true);
    if (m_state == State::Ready)
        tell(localized(tid::Progress_damaged)
                 .arg(QFileInfo(target).fileName()));
}

bool ProgressStore::record(const GameRecord &game)
{
    if (m_state != State::Ready && m_state != State::Newer && !m_path.isEmpty())
        openFile(m_path, true); // the first game, or the folder may be writable again
    for (int attempt = 0; m_state == State::Ready && attempt < 2; ++attempt) {
        try {
            write(game);
            return true;
        } catch (const Error &e) {
            if (e.kind() == ErrorKind::StoreDamaged && attempt == 0) {
                setAside(e.message());
                continue; // once more, into the fresh file
            }
            tell(localized(tid::Progress_notRecorded).arg(shortReason(e, m_path)));
            return false;
        }
    }
    if (m_state == State::Unavailable)
        tell(localized(tid::Progress_notRecorded).arg(m_reason));
    return false;
}

void ProgressStore::write(const GameRecord &game)
{
    Transaction tx(m_store);
    Statement insert = m_store.prepare(QStringLiteral(
        "insert into games(start_utc, end_utc, utc_offset, seconds, language, dictionary, selection, word_from,"
        " word_to, speed_level, words_in_selection, entries, hits, speed, accuracy, words_landed, field_height)"
        " values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17)"));
    insert.bind(1, game.startUtcMs).bind(2, game.endUtcMs).bind(3, qint64(game.utcOffsetS)).bind(4, game.seconds);
    insert.bind(5, game.language).bind(6, game.dictionary).bind(7, game.selection);
    game.wordFrom ? insert.bind(8, *game.wordFrom) : insert.bindNull(8);
    game.wordTo ? insert.bind(9, *game.wordTo) : insert.bindNull(9);
    insert.bind(10, game.speedLevel).bind(11, game.wordsInSelection).bind(12, game.entries).bind(13, game.hits);
    insert.bind(14, game.speed);
    game.accuracy ? insert.bind(15, *game.accuracy) : insert.bindNull(15);
    insert.bind(16, game.wordsLanded()).bind(17, game.fieldHeight);
    insert.run();
    Statement lastId = m_store.prepare(QStringLiteral("select last_insert_rowid()"));
    const qint64 id = lastId.next() ? lastId.integer(0) : 0;
    lastId.reset();
    Statement word = m_store.prepare(QStringLiteral(
        "insert into game_words(game_id, word, hit, landed, ticks, top) values (?1, ?2, ?3, ?4, ?5, ?6)"));
    Statement missed = m_store.prepare(QStringLiteral(
        "insert or ignore into missed_words(word, landed, last_game) values (?1, 0, ?2)"));
    Statement missedAgain = m_store.prepare(QStringLiteral(
        "update missed_words set landed = landed + 1, last_game = ?2 where word = ?1"));
    ReviewUpdate review(m_store);
    for (const WordOutcome &w : game.words) {
        word.bind(1, id).bind(2, w.word).bind(3, w.hit ? 1 : 0).bind(4, w.landed ? 1 : 0);
        word.bind(5, w.ticks).bind(6, w.top);
        word.run();
        if (w.landed) {
            missed.bind(1, w.word).bind(2, id).run();
            missedAgain.bind(1, w.word).bind(2, id).run();
        }
        review.note(w.word, showing(w.hit, w.landed, w.top, game.fieldHeight));
    }
    review.apply(id);
    tx.commit();
}

template <typename T, typename F> T ProgressStore::reading(F &&read, T empty)
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

ProgressSummary ProgressStore::summary(qint64 todayLocalDay)
{
    return reading([&] {
        ProgressSummary s;
        Statement totals = m_store.prepare(QStringLiteral(
            "select count(*), coalesce(sum(seconds), 0), coalesce(max(speed), 0) from games"));
        if (totals.next()) {
            s.games = totals.integer(0);
            s.seconds = totals.integer(1);
            s.bestSpeed = totals.real(2);
        }
        totals.reset();
        Statement last = m_store.prepare(QStringLiteral(
            "select avg(speed) from (select speed from games order by start_utc desc, id desc limit 10)"));
        if (last.next())
            s.averageLast10 = optionalReal(last, 0);
        last.reset();
        std::vector<qint64> days;
        Statement daysPlayed = m_store.prepare(QStringLiteral(
            "select distinct (start_utc / 1000 + utc_offset) / 86400 as day from games order by day desc"));
        while (daysPlayed.next())
            days.push_back(daysPlayed.integer(0));
        s.streakDays = currentStreak(days, todayLocalDay);
        return s;
    }, ProgressSummary());
}

std::vector<GamePoint> ProgressStore::points(qint64 sinceUtcMs)
{
    return reading([&] {
        std::vector<GamePoint> result;
        Statement st = m_store.prepare(QStringLiteral(
            "select start_utc, speed, accuracy from games where start_utc >= ?1 order by start_utc, id"));
        st.bind(1, sinceUtcMs);
        while (st.next())
            result.push_back({st.integer(0), st.real(1), optionalReal(st, 2)});
        return result;
    }, std::vector<GamePoint>());
}

std::vector<MissedWord> ProgressStore::mostMissed(int limit)
{
    return reading([&] {
        std::vector<MissedWord> result;
        Statement st = m_store.prepare(QStringLiteral(
            "select word, landed from missed_words order by landed desc, last_game desc limit ?1"));
        st.bind(1, limit);
        while (st.next())
            result.push_back({st.text(0), st.integer(1), QString(), QString()});
        return result;
    }, std::vector<MissedWord>());
}

std::vector<RecentGame> ProgressStore::recent(int limit)
{
    return reading([&] {
        std::vector<RecentGame> result;
        Statement st = m_store.prepare(QStringLiteral(
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
    }, std::vector<RecentGame>());
}

QStringList ProgressStore::csvHeader()
{
    return {QStringLiteral("game"),          QStringLiteral("start_utc"),    QStringLiteral("end_utc"),
            QStringLiteral("start_local"),   QStringLiteral("seconds"),      QStringLiteral("language"),
            QStringLiteral("dictionary"),    QStringLiteral("selection"),    QStringLiteral("word_from"),
            QStringLiteral("word_to"),       QStringLiteral("speed_level"),  QStringLiteral("words_in_selection"),
            QStringLiteral("entries"),       QStringLiteral("hits"),         QStringLiteral("speed_wpm"),
            QStringLiteral("accuracy_pct"),  QStringLiteral("words_landed"), QStringLiteral("landed_words")};
}

void ProgressStore::forEachCsvRow(const std::function<void(const QStringList &)> &row)
{
    if (m_state != State::Ready)
        return;
    Statement st = m_store.prepare(QStringLiteral(
        "select g.id, g.start_utc, g.end_utc, g.utc_offset, g.seconds, g.language, g.dictionary, g.selection,"
        " g.word_from, g.word_to, g.speed_level, g.words_in_selection, g.entries, g.hits, g.speed, g.accuracy,"
        " g.words_landed,"
        " (select group_concat(w.word, ' ') from game_words w where w.game_id = g.id and w.landed = 1)"
        " from games g order by g.start_utc, g.id"));
    const auto utc = [](qint64 ms) {
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(Qt::ISODate);
    };
    const auto number = [&st](int column) { return st.isNull(column) ? QString() : QString::number(st.integer(column)); };
    while (st.next()) {
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(st.integer(1), Qt::OffsetFromUTC, int(st.integer(3)));
        row({number(0), utc(st.integer(1)), utc(st.integer(2)),
             local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), number(4), number(5), st.text(6), st.text(7),
             number(8), number(9), number(10), number(11), number(12), number(13),
             QString::number(st.real(14), 'f', 2),
             st.isNull(15) ? QString() : QString::number(st.real(15) * 100.0, 'f', 2), number(16), st.text(17)});
    }
}

void ProgressStore::clear()
{
    if (m_state != State::Ready)
        return;
    Transaction tx(m_store);
    m_store.exec(QStringLiteral(
        "delete from review_words; delete from missed_words; delete from game_words; delete from games;"));
    tx.commit();
}

void ProgressStore::writable()
{
    if (m_state != State::Ready && m_state != State::Newer && !m_path.isEmpty())
        openFile(m_path, true); // the first change makes the file
    if (m_state != State::Ready)
        throw Error(ErrorKind::StoreOpen, m_status.isEmpty() ? QStringLiteral("no progress file is open") : m_status);
}

std::vector<QString> ProgressStore::reviewWords(int limit)
{
    return reading([&] {
        std::vector<QString> words;
        Statement st = m_store.prepare(QStringLiteral(
            "select word from review_words order by troubled_game desc, word limit ?1"));
        st.bind(1, limit);
        while (st.next())
            words.push_back(st.text(0));
        return words;
    }, std::vector<QString>());
}

qint64 ProgressStore::reviewCount()
{
    return reading([&] {
        Statement st = m_store.prepare(QStringLiteral("select count(*) from review_words"));
        return st.next() ? st.integer(0) : qint64(0);
    }, qint64(0));
}

std::vector<ListInfo> ProgressStore::lists()
{
    return reading([&] {
        std::vector<ListInfo> result;
        Statement st = m_store.prepare(QStringLiteral(
            "select l.name, count(w.position) from word_lists l left join list_words w on w.list_id = l.id"
            " group by l.id order by l.name"));
        while (st.next())
            result.push_back({st.text(0), st.integer(1)});
        return result;
    }, std::vector<ListInfo>());
}

std::optional<std::vector<SetWord>> ProgressStore::listWords(const QString &name)
{
    using Words = std::optional<std::vector<SetWord>>;
    return reading([&]() -> Words {
        Statement list = m_store.prepare(QStringLiteral("select id from word_lists where name = ?1"));
        list.bind(1, name);
        if (!list.next())
            return std::nullopt;
        const qint64 id = list.integer(0);
        list.reset();
        std::vector<SetWord> words;
        Statement st = m_store.prepare(QStringLiteral(
            "select word, pinyin, english from list_words where list_id = ?1 order by position"));
        st.bind(1, id);
        while (st.next())
            words.push_back({st.text(0), st.text(1), st.text(2)});
        return words;
    }, Words());
}

std::optional<SetWord> ProgressStore::ownWord(const QString &word)
{
    return reading([&]() -> std::optional<SetWord> {
        Statement st = m_store.prepare(QStringLiteral(
            "select w.word, w.pinyin, w.english from list_words w join word_lists l on l.id = w.list_id"
            " where w.word = ?1 order by l.imported_utc desc, l.id desc limit 1"));
        st.bind(1, word);
        if (!st.next())
            return std::nullopt;
        return SetWord{st.text(0), st.text(1), st.text(2)};
    }, std::optional<SetWord>());
}

namespace {
constexpr int kMaxListName = 64;

void checkListName(const QString &name)
{
    bool control = false;
    for (const QChar c : name)
        control = control || c.category() == QChar::Other_Control;
    if (name.trimmed() != name || name.isEmpty() || name.toUcs4().size() > kMaxListName || control)
        throw Error(ErrorKind::Input,
                    text(tid::Lists_badName)
                        .arg(name));
}

[[noreturn]] void noSuchList(const QString &name)
{
    throw Error(ErrorKind::Input,
                text(tid::Lists_missing).arg(name));
}

[[noreturn]] void listExists(const QString &name)
{
    throw Error(ErrorKind::Input,
                text(tid::Lists_exists)
                    .arg(name));
}

std::optional<qint64> listId(Store &store, const QString &name)
{
    Statement st = store.prepare(QStringLiteral("select id from word_lists where name = ?1"));
    st.bind(1, name);
    return st.next() ? std::optional<qint64>(st.integer(0)) : std::nullopt;
}
} // namespace

void ProgressStore::saveList(const QString &name, const std::vector<SetWord> &words, bool replace)
{
    checkListName(name);
    writable();
    Transaction tx(m_store);
    if (const std::optional<qint64> old = listId(m_store, name)) {
        if (!replace)
            listExists(name);
        Statement drop = m_store.prepare(QStringLiteral("delete from word_lists where id = ?1"));
        drop.bind(1, *old).run(); // its words go with it
    }
    Statement list = m_store.prepare(QStringLiteral("insert into word_lists(name, imported_utc) values (?1, ?2)"));
    list.bind(1, name).bind(2, wallNow()).run();
    const qint64 id = *listId(m_store, name);
    Statement add = m_store.prepare(QStringLiteral(
        "insert into list_words(list_id, position, word, pinyin, english) values (?1, ?2, ?3, ?4, ?5)"));
    qint64 position = 0;
    for (const SetWord &w : words)
        add.bind(1, id).bind(2, ++position).bind(3, w.word).bind(4, w.pinyin).bind(5, w.english).run();
    tx.commit();
}

void ProgressStore::renameList(const QString &from, const QString &to)
{
    checkListName(to);
    writable();
    Transaction tx(m_store);
    const std::optional<qint64> id = listId(m_store, from);
    if (!id)
        noSuchList(from);
    if (from == to)
        return;
    if (listId(m_store, to))
        listExists(to);
    Statement st = m_store.prepare(QStringLiteral("update word_lists set name = ?2 where id = ?1"));
    st.bind(1, *id).bind(2, to).run();
    tx.commit();
}

void ProgressStore::deleteList(const QString &name)
{
    writable();
    Transaction tx(m_store);
    const std::optional<qint64> id = listId(m_store, name);
    if (!id)
        noSuchList(name);
    Statement st = m_store.prepare(QStringLiteral("delete from word_lists where id = ?1"));
    st.bind(1, *id).run();
    tx.commit();
}

QString progressStorePath()
{
    if (!GlVexM.storeFolder.isEmpty())
        return QDir(GlVexM.storeFolder).filePath(QLatin1String(kProgressFile));
    return programFile(QLatin1String(kProgressFile));
}

} // namespace trenix
