// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history as CSV for spreadsheets and teachers: RFC 4180 (fields with a
// comma, a quote or a line break quoted, quotes doubled, CRLF line ends), UTF-8
// with a byte order mark so that spreadsheet programs show Chinese.
#include "GameHistory.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace trenix {

QString csvField(const QString &value);
QString csvLine(const QStringList &fields); // ends with CRLF

// Writes the header and one row per game to path, all or nothing: an existing
// file is replaced only once the new one is complete. Returns the games
// written; throws Error naming the file when it cannot be written.
qint64 writeHistoryCsv(GameHistory &games, const QString &path, const CsvNaming &naming = {});

// trenix --export-history FILE [--player NAME]: the exit status; what happened
// goes to stderr. An older history is brought forward with the practice store at storePath.
int exportHistoryCommand(const QString &progressPath, const QString &storePath, const QString &csvPath,
                         const CsvNaming &naming);

// A file name for the player's export: trenix-NAME-yyyyMMdd.csv, with what a file
// name cannot hold left out.
QString defaultCsvName(const QString &player, const QDate &day);

} // namespace trenix
