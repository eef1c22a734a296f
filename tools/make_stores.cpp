// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the practice store and the language store from the TSV sources in data/.
//   trenix_make_stores practice OUT.dat zidian1.tsv zidian2.tsv zidian3.tsv
//   trenix_make_stores language OUT.mdb texts.tsv
//   trenix_make_stores textids OUT.h texts.tsv
// Every input is checked in full before anything is written; the store is built
// under OUT.tmp and renamed over OUT only when complete.
#include "DataPaths.h"
#include "StoreSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

namespace {

using trenix::Error;
using trenix::ErrorKind;

[[noreturn]] void failAt(const QString &path, qsizetype line, const QString &what)
{
    throw Error(ErrorKind::Input, QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(what));
}

// The data rows of a TSV file, each with its line number.
struct Table {
    QString path;
    QList<std::pair<qsizetype, QStringList>> rows;
};

Table readTsv(const QString &path, const QStringList &header)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(ErrorKind::File, QStringLiteral("%1: cannot read (%2)").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(ErrorKind::File, QStringLiteral("%1: cannot read (%2)").arg(path, file.errorString()));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        failAt(path, 1, QStringLiteral("starts with a byte-order mark; save it as UTF-8 without one"));

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QStringList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QString line = decoder.decode(QByteArrayView(bytes).sliced(start, end - start));
        if (decoder.hasError())
            failAt(path, lines.size() + 1, QStringLiteral("not valid UTF-8"));
        lines << line;
        start = end + 1;
    }
    if (lines.isEmpty())
        failAt(
            path, 1,
            QStringLiteral("the file is empty; the first line must be \"%1\"").arg(header.join(QStringLiteral("\\t"))));

    Table table{path, {}};
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        const qsizetype number = i + 1;
        for (const QChar c : line) {
            if (c != u'\t' && c.category() == QChar::Other_Control) {
                failAt(path, number,
                       QStringLiteral("control character U+%1%2")
                           .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'))
                           .arg(c == u'\r' ? QStringLiteral(" (Windows line ends? use LF only)") : QString()));
            }
        }
        const QStringList fields = line.split(u'\t');
        if (i == 0) {
            if (fields != header) {
                // An older file lacks the columns added since; say which.
                const bool older = fields.size() < header.size() && header.mid(0, fields.size()) == fields;
                failAt(path, number,
                       QStringLiteral("the header must be \"%1\"%2")
                           .arg(header.join(QStringLiteral("\\t")),
                                older ? QStringLiteral(" (missing: %1; regenerate the file)")
                                            .arg(header.mid(fields.size()).join(QStringLiteral(", ")))
                                      : QString()));
            }
            continue;
        }
        if (fields.size() != header.size())
            failAt(path, number,
                   QStringLiteral("%1 columns, expected %2 (%3)")
                       .arg(fields.size())
                       .arg(header.size())
                       .arg(header.join(QStringLiteral(", "))));
        table.rows.append({number, fields});
    }
    if (table.rows.isEmpty())
        failAt(path, 2, QStringLiteral("no entries after the header"));
    return table;
}

// The language code a dictionary file stands for: the number in its name (zidian2.tsv -> 2).
int languageCodeOf(const QString &path)
{
    static const QRegularExpression digits(QStringLiteral("(\\d+)\\.tsv$"));
    const QRegularExpressionMatch m = digits.match(QFileInfo(path).fileName());
    bool ok = false;
    const int code = m.hasMatch() ? m.captured(1).toInt(&ok) : 0;
    if (!ok || code < 1 || code > 32767)
        throw Error(
            ErrorKind::Input,
            QStringLiteral("%1: the file name must end in the language code and .tsv, as zidian2.tsv").arg(path));
    return code;
}

QList<trenix::DictionaryEntry> readDictionary(const QString &path)
{
    const Table table = readTsv(path, {QStringLiteral("xh"), QStringLiteral("cz"), QStringLiteral("py"),
                                       QStringLiteral("yw"), QStringLiteral("sm"), QStringLiteral("yd"),
                                       QStringLiteral("hsk3"), QStringLiteral("simplified")});
    static const QRegularExpression hsk3Level(QStringLiteral("\\A[1-7]?\\z"));
    QList<trenix::DictionaryEntry> entries;
    QHash<qint64, qsizetype> lineOfXh;
    QHash<QString, qsizetype> lineOfCz;
    QHash<QString, qsizetype> lineOfSimplified;
    for (const auto &[number, f] : table.rows) {
        bool ok = false;
        const qint64 xh = f[0].toLongLong(&ok);
        // Only plain digits: "+3", " 3" or "03" would hide a typing slip.
        if (!ok || xh < 1 || f[0] != QString::number(xh))
            failAt(path, number, QStringLiteral("xh \"%1\" is not a whole number from 1 up").arg(f[0]));
        if (lineOfXh.contains(xh))
            failAt(path, number, QStringLiteral("xh %1 is already on line %2").arg(xh).arg(lineOfXh[xh]));
        lineOfXh.insert(xh, number);
        if (f[1].isEmpty())
            failAt(path, number, QStringLiteral("cz is empty"));
        if (f[1].trimmed() != f[1])
            failAt(path, number, QStringLiteral("cz \"%1\" has spaces at its ends").arg(f[1]));
        if (lineOfCz.contains(f[1]))
            failAt(path, number, QStringLiteral("cz \"%1\" is already on line %2").arg(f[1]).arg(lineOfCz[f[1]]));
        lineOfCz.insert(f[1], number);
        if (!hsk3Level.match(f[6]).hasMatch())
            failAt(path, number, QStringLiteral("hsk3 \"%1\" is not empty or a level 1 to 7").arg(f[6]));
        if (f[7].isEmpty())
            failAt(path, number, QStringLiteral("simplified is empty"));
        if (f[7].trimmed() != f[7])
            failAt(path, number, QStringLiteral("simplified \"%1\" has spaces at its ends").arg(f[7]));
        if (lineOfSimplified.contains(f[7]))
            failAt(path, number,
                   QStringLiteral("simplified \"%1\" is already on line %2").arg(f[7]).arg(lineOfSimplified[f[7]]));
        lineOfSimplified.insert(f[7], number);
        entries.append({xh, f[1], f[2], f[3], f[4], f[5], f[6], f[7]});
    }
    // Unique numbers from 1 up leave a gap exactly when one is missing below the count.
    const qint64 count = entries.size();
    for (qint64 xh = 1; xh <= count; ++xh) {
        if (!lineOfXh.contains(xh))
            throw Error(ErrorKind::Input, QStringLiteral("%1: xh must run from 1 to %2 without gaps, but %3 is missing")
                                              .arg(path)
                                              .arg(count)
                                              .arg(xh));
    }
    return entries;
}

struct Text {
    QString id, language;
    std::optional<QString> value;
    qsizetype line = 0;
};

// The interface languages every text must have: English, simplified and traditional Chinese.
const QStringList kLanguages{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};

// The placeholders %1..%9 a text uses.
QList<int> placeholders(const QString &value)
{
    static const QRegularExpression placeholder(QStringLiteral("%([1-9])"));
    QList<int> found;
    for (const QRegularExpressionMatch &m : placeholder.globalMatch(value)) {
        if (!found.contains(m.captured(1).toInt()))
            found << m.captured(1).toInt();
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Every identifier in every language, and no translation that drops a placeholder
// the English text fills: the message would lose what it is about.
void checkTranslations(const QString &path, const QList<Text> &texts)
{
    QHash<QString, QHash<QString, const Text *>> byId; // case-folded identifier -> language -> text
    QStringList order;
    for (const Text &t : texts) {
        const QString key = t.id.toCaseFolded();
        if (!byId.contains(key))
            order << key;
        byId[key].insert(t.language, &t);
    }
    for (const QString &key : std::as_const(order)) {
        const QHash<QString, const Text *> &languages = byId[key];
        const Text *first = *std::min_element(languages.begin(), languages.end(),
                                              [](const Text *a, const Text *b) { return a->line < b->line; });
        for (const QString &language : kLanguages) {
            if (!languages.contains(language))
                failAt(path, first->line, QStringLiteral("ID %1 has no text for language %2").arg(first->id, language));
        }
        const Text *english = languages.value(kLanguages.front());
        const QList<int> wanted = english->value ? placeholders(*english->value) : QList<int>();
        for (const Text *t : languages) {
            const QList<int> has = t->value ? placeholders(*t->value) : QList<int>();
            for (const int n : wanted) {
                if (!has.contains(n))
                    failAt(path, t->line,
                           QStringLiteral("ID %1, language %2: %%3 is missing; the English text has it")
                               .arg(t->id, t->language)
                               .arg(n));
            }
        }
    }
}

// \n, \t and \\ stand for newline, tab and backslash; a field of exactly \N is Null.
std::optional<QString> unescape(const QString &path, qsizetype number, const QString &field)
{
    if (field == QStringLiteral("\\N"))
        return std::nullopt;
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (i + 1 == field.size())
            failAt(path, number, QStringLiteral("CValue ends with a lone backslash; write \\\\ for one"));
        const QChar e = field.at(++i);
        if (e == u'n')
            out += u'\n';
        else if (e == u't')
            out += u'\t';
        else if (e == u'\\')
            out += u'\\';
        else
            failAt(path, number, QStringLiteral("unknown escape \\%1 in CValue (only \\n, \\t, \\\\)").arg(e));
    }
    return out;
}

QList<Text> readTexts(const QString &path)
{
    const Table table = readTsv(path, {QStringLiteral("ID"), QStringLiteral("Clanguage"), QStringLiteral("CValue")});
    QList<Text> texts;
    QHash<QString, qsizetype> lineOfKey;
    for (const auto &[number, f] : table.rows) {
        if (f[0].isEmpty() || f[1].isEmpty())
            failAt(path, number, QStringLiteral("ID and Clanguage must not be empty"));
        // The store compares identifiers without regard to case, so must the check.
        const QString key = f[0].toCaseFolded() + u'\t' + f[1];
        if (lineOfKey.contains(key))
            failAt(path, number,
                   QStringLiteral("ID %1 with language %2 is already on line %3").arg(f[0], f[1]).arg(lineOfKey[key]));
        lineOfKey.insert(key, number);
        texts.append({f[0], f[1], unescape(path, number, f[2]), number});
    }
    checkTranslations(path, texts);
    return texts;
}

void removeTemporary(const QString &tmp)
{
    for (const QString &name : {tmp, tmp + QStringLiteral("-journal")}) {
        if (QFile::exists(name) && !QFile::remove(name))
            throw Error(ErrorKind::File, QStringLiteral("%1: cannot remove the leftover file").arg(name));
    }
}

// Builds under OUT.tmp, then renames over OUT: a failure leaves OUT as it was.
template <typename Fill> void buildStore(const QString &out, const QByteArray &key, Fill fill)
{
    const QString folder = QFileInfo(out).absolutePath();
    if (!QDir().mkpath(folder))
        throw Error(ErrorKind::File, QStringLiteral("%1: cannot create the folder").arg(folder));
    const QString tmp = out + QStringLiteral(".tmp");
    removeTemporary(tmp);
    try {
        {
            trenix::Store store(tmp, key, trenix::Store::Mode::Create);
            {
                trenix::Transaction transaction(store);
                fill(store);
                transaction.commit();
            }
            store.exec(QStringLiteral("vacuum"));
        }
        // A journal left beside the old file by a program that was killed would be
        // played into the new one at its next opening, and damage it.
        for (const char *journal : {"-wal", "-shm"}) {
            QFile stale(out + QLatin1String(journal));
            if (stale.exists() && !stale.remove())
                throw Error(ErrorKind::File,
                            QStringLiteral("%1: cannot remove it (%2); close Trenix and build again")
                                .arg(stale.fileName(), stale.errorString()));
        }
        if (std::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(out).constData()) != 0) {
            throw Error(ErrorKind::File, QStringLiteral("cannot rename %1 to %2 (%3)")
                                             .arg(tmp, out, QString::fromLocal8Bit(std::strerror(errno))));
        }
    } catch (...) {
        removeTemporary(tmp); // then the error goes on to be reported
        throw;
    }
}

void makePractice(const QString &out, const QStringList &dictionaries)
{
    QList<std::pair<int, QList<trenix::DictionaryEntry>>> tables;
    QHash<int, QString> fileOfCode;
    for (const QString &path : dictionaries) {
        const int code = languageCodeOf(path);
        if (fileOfCode.contains(code))
            throw Error(ErrorKind::Input,
                        QStringLiteral("%1 and %2 are both for zidian%3").arg(fileOfCode[code], path).arg(code));
        fileOfCode.insert(code, path);
        tables.append({code, readDictionary(path)});
    }
    buildStore(out, QByteArray(trenix::kStorePassword), [&](trenix::Store &store) {
        for (const auto &[code, entries] : tables) {
            trenix::createDictionaryTable(store, code);
            trenix::insertDictionary(store, code, entries);
        }
        trenix::createPracticeTable(store);
    });
    for (const auto &[code, entries] : tables)
        std::printf("%s: zidian%d %lld entries\n", qPrintable(out), code, static_cast<long long>(entries.size()));
}

void makeLanguage(const QString &out, const QString &textsPath)
{
    const QList<Text> texts = readTexts(textsPath);
    buildStore(out, QByteArray(), [&](trenix::Store &store) {
        trenix::createLanguageTable(store);
        for (const Text &t : texts)
            trenix::insertText(store, t.id, t.language, t.value ? &*t.value : nullptr);
    });
    std::printf("%s: CWord %lld texts\n", qPrintable(out), static_cast<long long>(texts.size()));
}

// The C++ name of an identifier: GLVex.label2 -> GLVex_label2, Frmhelp.label1(0) -> Frmhelp_label1_0.
QString constantName(const QString &id)
{
    QString name;
    for (const QChar c : id)
        name += (c.isLetterOrNumber() && c.unicode() < 0x80) ? c : u'_';
    while (name.endsWith(u'_'))
        name.chop(1);
    if (name.isEmpty() || name.front().isDigit())
        name.prepend(u'T');
    return name;
}

QString cppLiteral(const QString &value)
{
    QString out;
    for (const QChar c : value) {
        if (c == u'\\' || c == u'"')
            out += u'\\' + QString(c);
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return QStringLiteral("u\"") + out + u'"';
}

// A header of constants, one per identifier, with the English text as fallback:
// a mistyped identifier then fails to compile instead of showing nothing.
void makeTextIds(const QString &out, const QString &textsPath)
{
    const QList<Text> texts = readTexts(textsPath);
    QString body;
    QStringList names;
    QHash<QString, QString> idOfName;
    for (const Text &t : texts) {
        if (t.language != kLanguages.front())
            continue;
        const QString name = constantName(t.id);
        if (idOfName.contains(name))
            failAt(textsPath, t.line,
                   QStringLiteral("ID %1 and ID %2 give the same constant %3").arg(idOfName[name], t.id, name));
        idOfName.insert(name, t.id);
        names << name;
        const QString english = t.value.value_or(QString());
        const QList<int> used = placeholders(english);
        // Joined, not arg()-ed: the English text holds placeholders of its own.
        body += QStringLiteral("inline constexpr TextId ") + name + QStringLiteral("{\"") + t.id
                + QStringLiteral("\", ") + cppLiteral(english) + QStringLiteral(", ")
                + QString::number(used.isEmpty() ? 0 : used.back()) + QStringLiteral("};\n");
    }
    QString header = QStringLiteral("// Generated from data/texts.tsv by trenix_make_stores; do not edit.\n"
                                    "#pragma once\n#include \"TextId.h\"\n\nnamespace trenix::tid {\n\n");
    header += body;
    header += QStringLiteral("\n// Every identifier, in the order of texts.tsv.\ninline constexpr TextId kAll[] = {\n");
    for (const QString &name : std::as_const(names))
        header += QStringLiteral("    %1,\n").arg(name);
    header += QStringLiteral("};\n\n} // namespace trenix::tid\n");
    const QByteArray bytes = header.toUtf8();

    // Rewritten only when it changes, so that a new translation rebuilds nothing.
    QFile current(out);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes)
        return;
    current.close();
    const QString folder = QFileInfo(out).absolutePath();
    if (!QDir().mkpath(folder))
        throw Error(ErrorKind::File, QStringLiteral("%1: cannot create the folder").arg(folder));
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw Error(ErrorKind::File, QStringLiteral("%1: cannot be written (%2)").arg(out, file.errorString()));
    std::printf("%s: %lld text identifiers\n", qPrintable(out), static_cast<long long>(names.size()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("trenix.store.debug=false"));
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.size() >= 3 && args[0] == QStringLiteral("practice")) {
            makePractice(args[1], args.mid(2));
            return 0;
        }
        if (args.size() == 3 && args[0] == QStringLiteral("language")) {
            makeLanguage(args[1], args[2]);
            return 0;
        }
        if (args.size() == 3 && args[0] == QStringLiteral("textids")) {
            makeTextIds(args[1], args[2]);
            return 0;
        }
    } catch (const Error &e) {
        std::fprintf(stderr, "trenix_make_stores: %s\n", e.what());
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "trenix_make_stores: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: trenix_make_stores practice OUT.dat DICT.tsv...\n"
                         "       trenix_make_stores language OUT.mdb TEXTS.tsv\n"
                         "       trenix_make_stores textids OUT.h TEXTS.tsv\n");
    return 2;
}
