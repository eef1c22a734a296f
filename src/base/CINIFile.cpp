// SPDX-License-Identifier: GPL-3.0-or-later
#include "CINIFile.h"

#include "FileWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <limits>
#include <optional>

// The INI rules, chosen to give the results of the classic Windows profile
// functions without needing Windows:
// - the file is UTF-8; a BOM at the start is skipped; lines end with CRLF, LF
//   or CR;
// - section and key names compare case-insensitively; blanks around names,
//   inside the brackets and around values are ignored;
// - a line whose first non-blank character is ';' is a comment; a line that
//   is no section header and holds no '=' is ignored; keys before the first
//   section belong to no section;
// - the first matching section and, in it, the first matching key win;
//   a value wrapped in a matching pair of " or ' loses the pair;
// - a missing, unreadable or non-regular file reads as a file without keys;
// - ReadString counts UTF-16 units, never keeps half a surrogate pair, and
//   keeps nothing when Size is 0 or less;
// - only the first kMaxFileBytes (1 MiB) of a file are read (a huge file cannot hang
//   the program); a line cut by that limit is ignored, and such a file is
//   never rewritten, so its tail cannot be lost; nor is a file that is not
//   valid UTF-8;
// - numbers: optional blanks, optional sign, decimal digits up to the first
//   non-digit ("12abc" is 12, "abc" and "" are 0); values beyond the 32-bit
//   range are clamped to it, so the caller sees them as out of range instead
//   of a wrapped small number;
// - a write keeps every other line as it was (BOM and line ends included),
//   replaces the value of the first matching key, or adds the key after the
//   last non-blank line of the first matching section, or adds the section at
//   the end; a new file gets CRLF line ends. Names or values that would change
//   the file's structure (line breaks, an empty key, '=' in a key, a key read
//   as a comment or section) are refused; the new file takes the old one's
//   place only once it has been written, flushed and synced (a full disk
//   leaves the old file as it was).

namespace trenix {

namespace {

const QString kNoFileMessage = QStringLiteral("没有指定 INI 文件");
const QString kWriteFailedMessage = QStringLiteral("写入失败");
const QString kCannotReadMessage = QStringLiteral("不能读取");

constexpr qint64 kMaxFileBytes = 1024 * 1024;
constexpr char kBom[] = "\xEF\xBB\xBF";

struct Line {
    QString text; // without its line end
    QString end;  // "\r\n", "\n", "\r" or "" for a last line without one
};

struct IniText {
    bool bom = false;
    QList<Line> lines;
};

enum class ReadOutcome { Read, Missing, Failed, TooLarge, NotUtf8 };

struct Loaded {
    ReadOutcome outcome = ReadOutcome::Missing;
    IniText ini;
};

IniText splitLines(const QString &text, bool bom)
{
    IniText ini;
    ini.bom = bom;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar ch = text.at(i);
        if (ch != u'\n' && ch != u'\r')
            continue;
        Line line{text.mid(start, i - start), QString()};
        if (ch == u'\r' && i + 1 < size && text.at(i + 1) == u'\n') {
            line.end = QStringLiteral("\r\n");
            ++i;
        } else {
            line.end = QString(ch);
        }
        ini.lines.append(line);
        start = i + 1;
    }
    if (start < size)
        ini.lines.append({text.mid(start), QString()});
    return ini;
}

// Reads at most kMaxFileBytes. For reading (allowPartial) a longer file is cut
// and bad UTF-8 becomes U+FFFD; for rewriting both are refused.
Loaded loadFile(const QString &path, bool allowPartial)
{
    Loaded loaded;
    const QFileInfo info(path);
    if (!info.exists()) {
        loaded.outcome = ReadOutcome::Missing;
        return loaded;
    }
    // A pipe or device could block or never end.
    if (!info.isFile()) {
        loaded.outcome = ReadOutcome::Failed;
        return loaded;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        loaded.outcome = ReadOutcome::Failed;
        return loaded;
    }
    QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (bytes.isEmpty() && file.error() != QFileDevice::NoError) {
        loaded.outcome = ReadOutcome::Failed;
        return loaded;
    }
    if (bytes.size() > kMaxFileBytes) {
        if (!allowPartial) {
            loaded.outcome = ReadOutcome::TooLarge;
            return loaded;
        }
        bytes.truncate(kMaxFileBytes);
        // A line cut in the middle could read as another value ("12" as "1").
        const qsizetype lastEnd = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        bytes.truncate(lastEnd + 1);
    }
    const bool bom = bytes.startsWith(kBom);
    if (bom)
        bytes.remove(0, 3);
    // Only the one BOM above is dropped; a second one stays text.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder(bytes);
    // Rewriting a file in another encoding would damage its other lines.
    if (decoder.hasError() && !allowPartial) {
        loaded.outcome = ReadOutcome::NotUtf8;
        return loaded;
    }
    loaded.outcome = ReadOutcome::Read;
    loaded.ini = splitLines(text, bom);
    return loaded;
}

bool sameName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The section name of a header line, or nothing.
std::optional<QString> sectionOf(const QString &lineText)
{
    const QString t = lineText.trimmed();
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.lastIndexOf(u']');
    if (close < 1)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

bool isComment(const QString &lineText) { return lineText.trimmed().startsWith(u';'); }

// Index of the '=' of a key line, or -1 when the line holds no key.
qsizetype keySeparator(const QString &lineText)
{
    if (isComment(lineText) || sectionOf(lineText))
        return -1;
    return lineText.indexOf(u'=');
}

struct Found {
    qsizetype sectionLine = -1; // header of the first matching section
    qsizetype keyLine = -1;     // first matching key in that section
    qsizetype lastContent = -1; // last non-blank line of that section
};

Found find(const IniText &ini, const QString &section, const QString &key)
{
    Found found;
    const QString wantSection = section.trimmed();
    const QString wantKey = key.trimmed();
    bool inside = false;
    for (qsizetype i = 0; i < ini.lines.size(); ++i) {
        const QString &text = ini.lines.at(i).text;
        if (const auto name = sectionOf(text)) {
            if (inside)
                break;
            if (sameName(*name, wantSection)) {
                inside = true;
                found.sectionLine = i;
                found.lastContent = i;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!text.trimmed().isEmpty())
            found.lastContent = i;
        const qsizetype eq = keySeparator(text);
        if (eq >= 0 && found.keyLine < 0 && !wantKey.isEmpty() && sameName(text.left(eq).trimmed(), wantKey))
            found.keyLine = i;
    }
    return found;
}

QString valueOf(const QString &lineText)
{
    QString value = lineText.mid(keySeparator(lineText) + 1).trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

// The value of the key, or nothing when the file, section or key is missing.
std::optional<QString> lookUp(const QString &path, const QString &section, const QString &key)
{
    const Loaded loaded = loadFile(path, true);
    if (loaded.outcome != ReadOutcome::Read)
        return std::nullopt;
    const Found found = find(loaded.ini, section, key);
    if (found.keyLine < 0)
        return std::nullopt;
    return valueOf(loaded.ini.lines.at(found.keyLine).text);
}

// The count of characters kept is what the profile function would return.
QString profileString(const QString &path, const QString &section, const QString &key, const QString &defaultValue,
                      qint32 size)
{
    QString value = lookUp(path, section, key).value_or(defaultValue);
    const qsizetype room = size > 0 ? qsizetype(size) - 1 : 0;
    if (value.size() > room) {
        value.truncate(room);
        // Never keep half of a surrogate pair.
        if (!value.isEmpty() && value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

qint32 parseProfileInt(const QString &value)
{
    constexpr qint64 kMax = std::numeric_limits<qint32>::max();
    constexpr qint64 kMin = std::numeric_limits<qint32>::min();
    qsizetype i = 0;
    while (i < value.size() && value.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < value.size() && (value.at(i) == u'-' || value.at(i) == u'+')) {
        negative = value.at(i) == u'-';
        ++i;
    }
    qint64 magnitude = 0;
    for (; i < value.size(); ++i) {
        const char16_t ch = value.at(i).unicode();
        if (ch < u'0' || ch > u'9')
            break;
        // Stop growing once past the range; the result is clamped below.
        if (magnitude <= kMax + 1)
            magnitude = magnitude * 10 + (ch - u'0');
    }
    const qint64 signedValue = negative ? -magnitude : magnitude;
    return qint32(std::clamp(signedValue, kMin, kMax));
}

qint32 profileInt(const QString &path, const QString &section, const QString &key, qint32 defaultValue)
{
    const std::optional<QString> value = lookUp(path, section, key);
    return value ? parseProfileInt(*value) : defaultValue;
}

// A name or value that would change the file's structure cannot be written
// back faithfully, so it is refused.
bool writable(const QString &section, const QString &key, const QString &value)
{
    const auto hasLineBreak = [](const QString &s) { return s.contains(u'\n') || s.contains(u'\r'); };
    const QString k = key.trimmed();
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return false;
    return !k.isEmpty() && !k.contains(u'=') && !k.startsWith(u';') && !k.startsWith(u'[');
}

bool profileWrite(const QString &path, const QString &section, const QList<std::pair<QString, QString>> &values,
                  QString *why)
{
    const auto refuse = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    for (const auto &[key, value] : values) {
        if (!writable(section, key, value))
            return refuse(QStringLiteral("a name or value would break the file's lines"));
    }
    Loaded loaded = loadFile(path, false);
    if (loaded.outcome == ReadOutcome::TooLarge)
        return refuse(QStringLiteral("the file is larger than 1 MiB"));
    if (loaded.outcome == ReadOutcome::NotUtf8)
        return refuse(QStringLiteral("the file is not UTF-8"));
    if (loaded.outcome != ReadOutcome::Read && loaded.outcome != ReadOutcome::Missing)
        return refuse(QStringLiteral("it is not a file that can be read"));
    // Replacing through a temporary file would get round a read-only file.
    if (loaded.outcome == ReadOutcome::Read && !QFileInfo(path).isWritable())
        return refuse(QStringLiteral("the file is read-only"));
    IniText &ini = loaded.ini;

    QString newline = QStringLiteral("\r\n");
    for (const Line &line : std::as_const(ini.lines)) {
        if (!line.end.isEmpty()) {
            newline = line.end;
            break;
        }
    }

    for (const auto &[key, value] : values) {
        const Found found = find(ini, section, key);
        if (found.keyLine >= 0) {
            Line &line = ini.lines[found.keyLine];
            line.text = line.text.left(keySeparator(line.text) + 1) + value;
        } else {
            const Line keyLine{key.trimmed() + u'=' + value, newline};
            if (found.sectionLine >= 0) {
                // New keys go after the section's last non-blank line.
                Line &previous = ini.lines[found.lastContent];
                if (previous.end.isEmpty())
                    previous.end = newline;
                ini.lines.insert(found.lastContent + 1, keyLine);
            } else {
                if (!ini.lines.isEmpty() && ini.lines.back().end.isEmpty())
                    ini.lines.back().end = newline;
                ini.lines.append({u'[' + section.trimmed() + u']', newline});
                ini.lines.append(keyLine);
            }
        }
    }

    QString text;
    for (const Line &line : std::as_const(ini.lines))
        text += line.text + line.end;
    QByteArray bytes = text.toUtf8();
    if (ini.bom)
        bytes.prepend(kBom);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return refuse(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return refuse(reason);
    }
    return commitSave(file, why);
}

} // namespace

bool writeIniValues(const QString &path, const QString &section, const QList<std::pair<QString, QString>> &values,
                    QString *why)
{
    return profileWrite(path, section, values, why);
}

void CINIFile::SpecifyIniFile(const QString &FilePathName)
{
    ResetState();
    IniFileName = FilePathName.trimmed();
}

qint16 CINIFile::WriteString(const QString &Section, const QString &Key, const QString &value)
{
    if (CheckIniFile())
        return 1;
    if (!profileWrite(IniFileName, Section, {{Key, value}}, nullptr)) {
        ErrorMsg = kWriteFailedMessage;
        return 2;
    }
    return 0;
}

qint16 CINIFile::ReadString(const QString &Section, const QString &Key, qint32 Size, QString &StringReaded)
{
    StringReaded.clear();
    if (CheckIniFile())
        return 1;
    const QString kept = profileString(IniFileName, Section, Key, QStringLiteral("1"), Size);
    // A value of exactly "1" cannot be told from the default.
    if (kept == QLatin1String("1"))
        return 3;
    StringReaded = kept;
    return 0;
}

qint16 CINIFile::ReadNumber(const QString &Section, const QString &Key, qint32 &NumberReaded)
{
    if (CheckIniFile())
        return 1;
    // Two defaults tell a missing key from a stored 0.
    qint32 v = profileInt(IniFileName, Section, Key, 0);
    if (v == 0) {
        v = profileInt(IniFileName, Section, Key, 1);
        if (v == 1) {
            ErrorMsg = kCannotReadMessage;
            return 3;
        }
    }
    NumberReaded = v;
    return 0;
}

void CINIFile::ResetState()
{
    IniFileName.clear();
    ErrorMsg.clear();
    ErrorCode = 0;
}

bool CINIFile::CheckIniFile()
{
    if (!IniFileName.isEmpty()) {
        ErrorMsg.clear();
        return false;
    }
    ErrorMsg = kNoFileMessage;
    return true;
}

} // namespace trenix
