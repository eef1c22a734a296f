// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The statements of the game against the practice store, prepared once on the
// one connection. Numbers and words are bound, never pasted into the SQL text;
// the dictionary table name built from the language code is the only joined piece.
#include "Store.h"
#include "WordSet.h"

#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

namespace trenix {

struct DrawnRow {
    QString cz;
    qint64 xh = 0;
};

struct PileRow {
    QString cz;
    qint64 left = 0, top = 0, width = 0;
};

struct ListPinyin {
    qint64 xh = 0;
    QString cz, py; // a Null py reads as the empty string
};

struct DetailEntry {
    QString cz, py, yw; // a Null column reads as the empty string
};

// The levels at which the HSK lists teach a word; 0 where a standard does not.
struct WordLevels {
    int hsk2 = 0;
    int hsk3 = 0; // 7: the band 7-9
};

class PracticeStore {
public:
    explicit PracticeStore(Store &store) : m_store(store) {}

    Store &store() { return m_store; }

    // Word range and list preparation.
    qint64 countRange(int languageCode, qint64 from, qint64 to);
    void emptyList();
    void fillList(int languageCode, qint64 from, qint64 to);
    // The words fillList() copies, in the dictionary's order, and their pinyin.
    QStringList wordsInRange(int languageCode, qint64 from, qint64 to);
    QStringList pinyinInRange(int languageCode, qint64 from, qint64 to);

    // Word sets: the words of an HSK 2.0 (sm) or HSK 3.0 (hsk3) level in
    // dictionary order, the size of each level (one grouped query), and a set's
    // words as the practice list, xh 1..n, with the dictionary's columns for
    // every word the dictionary holds.
    std::vector<SetWord> levelWords(int languageCode, int level);
    std::map<int, qint64> levelCounts(int languageCode);
    std::vector<SetWord> hsk3Words(int languageCode, int level);
    std::map<int, qint64> hsk3Counts(int languageCode);
    void fillWords(int languageCode, const std::vector<SetWord> &words);

    // The draw.
    qint64 countDictionary(int languageCode);
    std::optional<DrawnRow> firstUndrawnFrom(qint64 s);
    std::optional<qint64> highestUndrawn();
    void markDrawn(qint64 xh);

    // Pinyin games: every word of the practice list with its pinyin, and a word left out of the game.
    std::vector<ListPinyin> listPinyin();
    void dropFromList(qint64 xh);

    // The pile.
    std::optional<qint64> floorUnder(qint64 left, qint64 right);
    void recordLanding(qint64 left, qint64 top, qint64 width, const QString &cz);
    // The landed word higher up that covers an edge, if any (the burial query).
    std::optional<PileRow> coverAbove(qint64 top, qint64 left, qint64 right);
    void releaseFromPile(const QString &cz);

    // Word details.
    std::optional<DetailEntry> detail(int languageCode, const QString &cz);
    // Whether the store holds the language's dictionary table at all.
    bool hasDictionary(int languageCode);
    // Both levels of a dictionary word; nothing for a word the dictionary lacks.
    std::optional<WordLevels> levels(int languageCode, const QString &cz);

    // Entries: the same word in every dictionary, by its simplified form. The
    // entry of a dictionary's word; an entry as a dictionary shows it.
    std::optional<QString> entryOf(int languageCode, const QString &cz);
    std::optional<DetailEntry> entryDetail(int languageCode, const QString &entry);

    // First field of the first row as text; "" when there is no row or it is Null.
    static QString GetFieldValue(Statement &query);

    // Forget prepared statements (the tables may have changed under us).
    void clearCache() { m_cache.clear(); }

private:
    QStringList columnInRange(int languageCode, const char *column, qint64 from, qint64 to);
    Statement &statement(const QString &sql);
    std::vector<SetWord> wordsAtLevel(int languageCode, const char *column, int level);
    std::map<int, qint64> countsByLevel(int languageCode, const char *column);
    Store &m_store;
    std::map<QString, Statement> m_cache;
};

} // namespace trenix
