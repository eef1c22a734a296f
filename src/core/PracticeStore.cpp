// SPDX-License-Identifier: GPL-3.0-or-later
#include "PracticeStore.h"

#include <cmath>

namespace trenix {

namespace {
QString dictionary(int languageCode) { return QStringLiteral("zidian%1").arg(languageCode); }
} // namespace

Statement &PracticeStore::statement(const QString &sql)
{
    auto it = m_cache.find(sql);
    if (it == m_cache.end())
        it = m_cache.emplace(sql, m_store.prepare(sql)).first;
    it->second.reset();
    return it->second;
}

qint64 PracticeStore::countRange(int languageCode, qint64 from, qint64 to)
{
    Statement &st = statement(
        QStringLiteral("select count(*) as countzs from %1 where xh>=?1 and xh<=?2").arg(dictionary(languageCode)));
    st.bind(1, from).bind(2, to);
    const qint64 n = st.next() ? st.integer(0) : 0;
    st.reset();
    return n;
}

void PracticeStore::emptyList() { statement(QStringLiteral("delete from trenix")).run(); }

void PracticeStore::fillList(int languageCode, qint64 from, qint64 to)
{
    Statement &st = statement(QStringLiteral("insert or fail into trenix(sm,yd,xh,cz,py,yw,flag) select "
                                             "sm,yd,xh,cz,py,yw,0 from %1  where xh>=?1 and xh<=?2")
                                  .arg(dictionary(languageCode)));
    st.bind(1, from).bind(2, to);
    st.run();
}

QStringList PracticeStore::wordsInRange(int languageCode, qint64 from, qint64 to)
{
    return columnInRange(languageCode, "cz", from, to);
}

QStringList PracticeStore::pinyinInRange(int languageCode, qint64 from, qint64 to)
{
    return columnInRange(languageCode, "py", from, to);
}

QStringList PracticeStore::columnInRange(int languageCode, const char *column, qint64 from, qint64 to)
{
    Statement &st = statement(QStringLiteral("select %2 from %1 where xh>=?1 and xh<=?2 order by xh")
                                  .arg(dictionary(languageCode), QLatin1String(column)));
    st.bind(1, from).bind(2, to);
    QStringList values;
    while (st.next())
        values << st.text(0);
    return values;
}

std::vector<SetWord> PracticeStore::levelWords(int languageCode, int level)
{
    return wordsAtLevel(languageCode, "sm", level);
}

std::map<int, qint64> PracticeStore::levelCounts(int languageCode) { return countsByLevel(languageCode, "sm"); }

std::vector<SetWord> PracticeStore::hsk3Words(int languageCode, int level)
{
    return wordsAtLevel(languageCode, "hsk3", level);
}

std::map<int, qint64> PracticeStore::hsk3Counts(int languageCode) { return countsByLevel(languageCode, "hsk3"); }

std::vector<SetWord> PracticeStore::wordsAtLevel(int languageCode, const char *column, int level)
{
    Statement &st = statement(QStringLiteral("select cz from %1 where %2=?1 order by xh")
                                  .arg(dictionary(languageCode), QLatin1String(column)));
    st.bind(1, QString::number(level));
    std::vector<SetWord> words;
    while (st.next())
        words.push_back({st.text(0), QString(), QString()});
    st.reset();
    return words;
}

std::map<int, qint64> PracticeStore::countsByLevel(int languageCode, const char *column)
{
    Statement &st = statement(
        QStringLiteral("select %2, count(*) from %1 group by %2").arg(dictionary(languageCode), QLatin1String(column)));
    std::map<int, qint64> counts;
    while (st.next()) {
        bool ok = false;
        const int level = st.text(0).toInt(&ok);
        if (ok)
            counts[level] = st.integer(1);
    }
    st.reset();
    return counts;
}

void PracticeStore::fillWords(int languageCode, const std::vector<SetWord> &words)
{
    // Two hundred rows a statement, the rest one by one: a step per word cost a
    // sixth of a start. Each row takes the dictionary's columns, as the range's
    // copy would give them, where the dictionary holds the word; its own pinyin
    // and English where not. One pass: a second one over the list to add the
    // dictionary's columns cost a fifth of a start over HSK 3.0's band 7-9.
    constexpr size_t kRows = 200;
    const auto insert = [this, languageCode](size_t rows) -> Statement & {
        QString sql = QStringLiteral("with v(xh,cz,py,yw) as (values (?,?,?,?)");
        for (size_t r = 1; r < rows; ++r)
            sql += QStringLiteral(",(?,?,?,?)");
        return statement(sql
                         + QStringLiteral(") insert or fail into trenix(sm,yd,xh,cz,py,yw,flag)"
                                          " select z.sm,z.yd,v.xh,v.cz,case when z.cz is null then v.py else z.py end,"
                                          " case when z.cz is null then v.yw else z.yw end,0"
                                          " from v left join %1 z on z.cz=v.cz")
                               .arg(dictionary(languageCode)));
    };
    for (size_t first = 0; first < words.size();) {
        const size_t rows = words.size() - first >= kRows ? kRows : 1;
        Statement &add = insert(rows);
        for (size_t end = first + rows, at = 0; first < end; ++first, at += 4) {
            const SetWord &w = words[first];
            const int p = int(at);
            add.bind(p + 1, qint64(first + 1)).bind(p + 2, w.word).bind(p + 3, w.pinyin).bind(p + 4, w.english);
        }
        add.run();
    }
}

qint64 PracticeStore::countDictionary(int languageCode)
{
    Statement &st = statement(QStringLiteral("select count(*) as countzs from %1").arg(dictionary(languageCode)));
    const qint64 n = st.next() ? st.integer(0) : 0;
    st.reset();
    return n;
}

std::optional<DrawnRow> PracticeStore::firstUndrawnFrom(qint64 s)
{
    Statement &st = statement(QStringLiteral("select cz,xh from trenix where flag=0 and xh>=?1 order by xh limit 1"));
    st.bind(1, s);
    std::optional<DrawnRow> row;
    if (st.next())
        row = DrawnRow{st.text(0), st.integer(1)};
    st.reset();
    return row;
}

std::optional<qint64> PracticeStore::highestUndrawn()
{
    Statement &st = statement(QStringLiteral("select max(xh) from trenix where flag=0"));
    std::optional<qint64> xh;
    if (st.next() && !st.isNull(0))
        xh = st.integer(0);
    st.reset();
    return xh;
}

void PracticeStore::markDrawn(qint64 xh)
{
    // "flag=0" lets the (flag, xh) index find the row; by xh alone every draw
    // scanned the list. "or fail" keeps a change that cannot break a constraint
    // from opening a statement journal, whose pages the cipher would encrypt on
    // every draw inside the start's transaction.
    statement(QStringLiteral("update or fail trenix set flag=1 where flag=0 and xh=?1")).bind(1, xh).run();
}

std::vector<ListPinyin> PracticeStore::listPinyin()
{
    Statement &st = statement(QStringLiteral("select xh,cz,py from trenix"));
    std::vector<ListPinyin> rows;
    while (st.next())
        rows.push_back({st.integer(0), st.text(1), st.text(2)});
    st.reset();
    return rows;
}

void PracticeStore::dropFromList(qint64 xh)
{
    // Before the draw every row has flag=0, which lets the (flag, xh) index find it.
    statement(QStringLiteral("delete from trenix where flag=0 and xh=?1")).bind(1, xh).run();
}

QString PracticeStore::GetFieldValue(Statement &query)
{
    QString value;
    if (query.next() && !query.isNull(0))
        value = query.text(0);
    query.reset();
    return value;
}

std::optional<qint64> PracticeStore::floorUnder(qint64 left, qint64 right)
{
    Statement &st =
        statement(QStringLiteral("select ltop from trenix where ishold=1 and ((lleft<=?1 and lleft+lwidth>=?1) or "
                                 "(lleft<=?2 and lleft+lwidth>=?2)) order by ltop asc limit 1"));
    st.bind(1, left).bind(2, right);
    // An answer that is not a number leaves the floor at the bottom of the field.
    bool isNumber = false;
    const double top = GetFieldValue(st).toDouble(&isNumber);
    if (!isNumber)
        return std::nullopt;
    return qint64(std::nearbyint(top)); // halves to even
}

void PracticeStore::recordLanding(qint64 left, qint64 top, qint64 width, const QString &cz)
{
    statement(QStringLiteral("update trenix set ishold=1,lleft=?1,ltop=?2,lwidth=?3 where cz=?4"))
        .bind(1, left)
        .bind(2, top)
        .bind(3, width)
        .bind(4, cz)
        .run();
}

std::optional<PileRow> PracticeStore::coverAbove(qint64 top, qint64 left, qint64 right)
{
    Statement &st = statement(QStringLiteral(
        "select cz,lleft,ltop,lwidth from trenix where ishold=1 and ltop<?1 and ((lleft<=?2 and lleft+lwidth>=?2) or "
        "(lleft<=?3 and lleft+lwidth>=?3)) limit 1"));
    st.bind(1, top).bind(2, left).bind(3, right);
    std::optional<PileRow> row;
    // As the query's first field read as text: an empty or Null word covers nothing.
    if (st.next() && !st.isNull(0) && !st.text(0).isEmpty())
        row = PileRow{st.text(0), st.integer(1), st.integer(2), st.integer(3)};
    st.reset();
    return row;
}

void PracticeStore::releaseFromPile(const QString &cz)
{
    statement(QStringLiteral("update trenix set ishold=0 where cz=?1 and ishold=1")).bind(1, cz).run();
}

std::optional<DetailEntry> PracticeStore::detail(int languageCode, const QString &cz)
{
    Statement &st =
        statement(QStringLiteral("select cz,py,yw from %1  where cz=?1 limit 1").arg(dictionary(languageCode)));
    st.bind(1, cz);
    std::optional<DetailEntry> entry;
    if (st.next())
        entry = DetailEntry{st.text(0), st.text(1), st.text(2)};
    st.reset();
    return entry;
}

std::optional<WordLevels> PracticeStore::levels(int languageCode, const QString &cz)
{
    Statement &st = statement(QStringLiteral("select sm,hsk3 from %1 where cz=?1").arg(dictionary(languageCode)));
    st.bind(1, cz);
    std::optional<WordLevels> found;
    if (st.next())
        found = WordLevels{st.text(0).toInt(), st.text(1).toInt()}; // empty or Null: 0
    st.reset();
    return found;
}

std::optional<QString> PracticeStore::entryOf(int languageCode, const QString &cz)
{
    Statement &st = statement(QStringLiteral("select simplified from %1 where cz=?1").arg(dictionary(languageCode)));
    st.bind(1, cz);
    std::optional<QString> entry;
    if (st.next())
        entry = st.text(0);
    st.reset();
    return entry;
}

bool PracticeStore::hasDictionary(int languageCode)
{
    Statement &st = statement(QStringLiteral("select count(*) from sqlite_master where type='table' and name=?1"));
    st.bind(1, dictionary(languageCode));
    const bool held = st.next() && st.integer(0) > 0;
    st.reset();
    return held;
}

std::optional<DetailEntry> PracticeStore::entryDetail(int languageCode, const QString &entry)
{
    Statement &st =
        statement(QStringLiteral("select cz,py,yw from %1 where simplified=?1").arg(dictionary(languageCode)));
    st.bind(1, entry);
    std::optional<DetailEntry> found;
    if (st.next())
        found = DetailEntry{st.text(0), st.text(1), st.text(2)};
    st.reset();
    return found;
}

} // namespace trenix
