// SPDX-License-Identifier: GPL-3.0-or-later
#include "CsvWriter.h"

#include "Error.h"
#include "FileWrite.h"
#include "History.h"
#include "Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

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

namespace {
enum class Target { File, StandardOutput, Pipe, NotAFile };
constexpr int kStandardOutput = 1; // its descriptor

// Where the CSV goes. A plain file (or none yet) is replaced whole; the
// program's own standard output and a named pipe are written through; any
// other thing (a device, a folder, a socket) is refused: never replaced by a file.
Target targetOf(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return Target::File; // none yet, or out of reach: the save says which
    struct stat out {};
    if (::fstat(kStandardOutput, &out) == 0 && out.st_dev == st.st_dev && out.st_ino == st.st_ino)
        return Target::StandardOutput;
    if (S_ISREG(st.st_mode))
        return Target::File;
    return S_ISFIFO(st.st_mode) ? Target::Pipe : Target::NotAFile;
#else
    const QFileInfo info(path);
    return !info.exists() || info.isFile() ? Target::File : Target::NotAFile;
#endif
}
} // namespace

qint64 writeHistoryCsv(GameHistory &history, const QString &path, const CsvNaming &naming)
{
    const QString shown = QDir::toNativeSeparators(path);
    const Target target = targetOf(path);
    const auto failed = [&](const QString &why) {
        return Error(
            ErrorKind::File,
            target == Target::File
                ? QStringLiteral("%1: cannot be written (%2); nothing was written").arg(shown, why)
                : QStringLiteral("%1: cannot be written (%2); what it received is incomplete").arg(shown, why));
    };
    if (target == Target::NotAFile)
        throw Error(ErrorKind::File, QStringLiteral("%1: is not a plain file (a device, a folder or a socket); nothing"
                                                    " was written. Name a new or a plain file, or /dev/stdout to print"
                                                    " the CSV")
                                         .arg(shown));
    QSaveFile save(path);
    QFile through(path);
    QFileDevice &file = target == Target::File ? static_cast<QFileDevice &>(save) : through;
    const bool opened = target == Target::File ? save.open(QIODevice::WriteOnly)
                        : target == Target::Pipe
                            ? through.open(QIODevice::WriteOnly)
                            : through.open(kStandardOutput, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    if (!opened)
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
    QString why;
    if (target == Target::File ? !commitSave(save, &why) : !writeAndSync(through, QByteArray(), &why))
        throw failed(why);
    return games;
}

int exportHistoryCommand(const QString &progressPath, const QString &storePath, const QString &csvPath,
                         const CsvNaming &naming)
{
    try {
        const SystemWallClock clock;
        History history(clock);
        openHistoryToRead(history, progressPath, storePath); // none yet: the export is the header alone
        const qint64 games = writeHistoryCsv(history.games, csvPath, naming);
        std::fprintf(stderr, "trenix: %lld %s written to %s\n", static_cast<long long>(games),
                     games == 1 ? "game" : "games", forTerminal(QDir::toNativeSeparators(csvPath)).constData());
        return 0;
    } catch (const Error &e) {
        std::fprintf(stderr, "trenix: error: %s\n", forTerminal(e.message()).constData());
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
