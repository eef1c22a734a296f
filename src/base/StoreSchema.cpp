// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreSchema.h"

namespace trenix {

void createDictionaryTable(Store &store, int languageCode)
{
    const QString table = QStringLiteral("zidian%1").arg(languageCode);
    store.exec(
        QStringLiteral("create table %1 (xh integer primary key, cz text not null, py text, yw text, sm text, yd text,"
                       " hsk3 text, simplified text not null);"
                       "create unique index %1_cz on %1(cz);"
                       "create unique index %1_simplified on %1(simplified);"
                       "create index %1_hsk3 on %1(hsk3);")
            .arg(table));
}

void createPracticeTable(Store &store)
{
    store.exec(QStringLiteral(
        "create table trenix (id integer primary key, sm text, yd text, xh integer, cz text, py text, yw text,"
        " flag integer not null default 0, ishold integer not null default 0,"
        " lleft integer, ltop integer, lwidth integer);"
        "create index trenix_flag_xh on trenix(flag, xh);"
        "create index trenix_ishold on trenix(ishold, ltop);"
        "create index trenix_cz on trenix(cz);"));
}

void insertDictionary(Store &store, int languageCode, const QList<DictionaryEntry> &entries)
{
    Statement insert = store.prepare(QStringLiteral("insert into zidian%1 (xh, cz, py, yw, sm, yd, hsk3, simplified)"
                                                    " values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)")
                                         .arg(languageCode));
    for (const DictionaryEntry &e : entries) {
        insert.bind(1, e.xh).bind(2, e.cz).bind(3, e.py).bind(4, e.yw).bind(5, e.sm).bind(6, e.yd).bind(7, e.hsk3);
        insert.bind(8, e.simplified.isEmpty() ? e.cz : e.simplified); // dictionaries built in code stay valid
        insert.run();
    }
}

void createLanguageTable(Store &store)
{
    // Identifiers compare without regard to letter case, as the lookups expect.
    store.exec(
        QStringLiteral("create table CWord (ID text not null collate nocase, Clanguage text not null, CValue text);"
                       "create unique index CWord_key on CWord(ID, Clanguage);"));
}

void insertText(Store &store, const QString &id, const QString &language, const QString *value)
{
    Statement insert = store.prepare(QStringLiteral("insert into CWord (ID, Clanguage, CValue) values (?1, ?2, ?3)"));
    insert.bind(1, id).bind(2, language);
    if (value)
        insert.bind(3, *value);
    else
        insert.bindNull(3);
    insert.run();
}

} // namespace trenix
