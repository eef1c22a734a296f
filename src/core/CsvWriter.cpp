// SPDX-License-Identifier: GPL-3.0-or-later
#include "CsvWriter.h"

#include "Error.h"
#include "History.h"
#include "Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

namespace trenix {

QString csvField(const QString &value)
{
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (QChar c : value)
        quote = quote || special.contains(c);
    if (!quote)
        return value;
    QString quoted = value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvLine(const QStringList &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        line += csvField(fields[i]);
    }
    return line + QStringLiteral("\r\n");
}

qint64 writeHistoryCsv(GameHistory &history, const QString &path, const CsvNaming &naming)
{
    const auto failed = [&path](const QString &why) {
        return Error(
            ErrorKind::File,
            QStringLiteral("%1: cannot be written (%2); nothing was written").arg(QDir::toNativeSeparators(path), why));
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw failed(file.errorString());
    QByteArray bytes("\xEF\xBB\xBF");
    bytes += csvLine(GameHistory::csvHeader()).toUtf8();
    qint64 games = 0;
    const auto flush = [&] {
        if (file.write(bytes) != bytes.size())
            throw failed(file.errorString());
        bytes.clear();
    };
    history.forEachCsvRow(
        [&](const QStringList &row) {
            bytes += csvLine(row).toUtf8();
            ++games;
            if (bytes.size() > (1 << 16))
                flush();
        },
        naming);
    flush();
    if (!file.commit())
        throw failed(file.errorString());
    return games;
}

int exportHistoryCommand(const QString &progressPath, const QString &csvPath, const CsvNaming &naming)
{
    try {
        const SystemWallClock clock;
        History history(clock);
        openHistoryToRead(history, progressPath); // none yet: the export is the header alone
        const qint64 games = writeHistoryCsv(history.games, csvPath, naming);
        std::fprintf(stderr, "trenix: %lld games written to %s\n", static_cast<long long>(games),
                     QDir::toNativeSeparators(csvPath).toLocal8Bit().constData());
        return 0;
    } catch (const Error &e) {
        std::fprintf(stderr, "trenix: error: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
}

QString defaultCsvName(const QString &player, const QDate &day)
{
    // Letters and digits of any script stay; separators and the rest become one dash.
    QString name;
    for (const QChar c : player) {
        if (c.isLetterOrNumber() || c.isMark())
            name += c;
        else if (!name.isEmpty() && !name.endsWith(u'-'))
            name += u'-';
    }
    while (name.endsWith(u'-'))
        name.chop(1);
    return QStringLiteral("trenix-%1%2.csv")
        .arg(name.isEmpty() ? QString() : name + u'-', day.toString(QStringLiteral("yyyyMMdd")));
}

} // namespace trenix
