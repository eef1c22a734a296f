// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tables and indexes of the two stores, shared by the build tool and the tests.
#include "Store.h"

#include <QList>
#include <QString>

namespace trenix {

struct DictionaryEntry {
    qint64 xh = 0;
    QString cz, py, yw, sm, yd;
    QString hsk3 = {};       // HSK 3.0 level 1..6, 7 for the 7-9 band, empty when not listed
    QString simplified = {}; // the same entry's key in every dictionary; empty: stored as cz
};

// Creates one dictionary table zidian<code> with its indexes (cz and simplified unique).
void createDictionaryTable(Store &store, int languageCode);
// Creates the practice-list table with the indexes the game's queries need.
void createPracticeTable(Store &store);
void insertDictionary(Store &store, int languageCode, const QList<DictionaryEntry> &entries);

void createLanguageTable(Store &store);
void insertText(Store &store, const QString &id, const QString &language, const QString *value);

} // namespace trenix
