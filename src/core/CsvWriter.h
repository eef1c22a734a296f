// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history as CSV for spreadsheets and teachers: RFC 4180 (fields with a
// comma, a quote or a line break quoted, quotes doubled, CRLF line ends), UTF-8
// with a byte order mark so that spreadsheet programs show Chinese.
#include <QString>
#include <QStringList>

namespace trenix {

class GameHistory;

QString csvField(const QString &value);
QString csvLine(const QStringList &fields); // ends with CRLF

// Writes the header and one row per game to path, all or nothing: an existing
// file is replaced only once the new one is complete. Returns the games
// written; throws Error naming the file when it cannot be written.
qint64 writeHistoryCsv(GameHistory &games, const QString &path);

// trenix --export-history FILE: the exit status; what happened goes to stderr.
// An older history is brought forward with the practice store at storePath.
int exportHistoryCommand(const QString &progressPath, const QString &storePath, const QString &csvPath);

} // namespace trenix
