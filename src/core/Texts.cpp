// SPDX-License-Identifier: GPL-3.0-or-later
#include "Texts.h"

#include "DataPaths.h"
#include "GlVexM.h"
#include "Store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <optional>
#include <utility>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace trenix {

namespace {
using FileIdentity = std::pair<quint64, quint64>;

// Which file stands behind the path now; nothing when there is none.
std::optional<FileIdentity> fileIdentity(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino)};
#else
    // Elsewhere a file that is open cannot be deleted or replaced.
    if (!QFile::exists(path))
        return std::nullopt;
    return FileIdentity{0, 0};
#endif
}

// The language store is kept open between lookups; every lookup still reads
// what the file holds at that moment, and a replaced or deleted file is
// opened anew instead of read through the old handle.
struct LanguageStore {
    QString path;
    FileIdentity identity;
    Store store;
    Statement lookup;
};
std::optional<LanguageStore> g_language;
QString g_path;

QString languageStorePath()
{
    return g_path.isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath(QLatin1String(kLanguageFile))
                            : g_path;
}

// The store's text for an identifier and a language code, or the empty string.
QString GetLanguageText(const QString &textId, const QString &langCode)
{
    const QString path = languageStorePath();
    const std::optional<FileIdentity> identity = fileIdentity(path);
    if (!g_language || g_language->path != path || !identity || g_language->identity != *identity) {
        g_language.reset();
        Store store(path, QByteArray(), Store::Mode::ReadOnly);
        LanguageStore opened{path, identity.value_or(FileIdentity{}), Store(), Statement()};
        g_language.emplace(std::move(opened));
        g_language->store = std::move(store);
        try { // prepared on the store where it stays: a statement knows its store by address
            g_language->lookup = g_language->store.prepare(
                QStringLiteral("select CValue from CWord where ID=?1 and Clanguage=?2 limit 1"));
        } catch (...) {
            g_language.reset();
            throw;
        }
    }
    Statement &lookup = g_language->lookup;
    lookup.bind(1, textId).bind(2, langCode);
    QString result;
    if (lookup.next() && !lookup.isNull(0))
        result = lookup.text(0);
    lookup.reset();
    return result;
}

bool keepsPlaceholders(const QString &value, int count)
{
    for (int i = 1; i <= count; ++i) {
        if (!value.contains(u'%' + QString::number(i)))
            return false;
    }
    return true;
}
} // namespace

void useLanguageStore(const QString &path)
{
    closeLanguageStore();
    g_path = path;
}

void closeLanguageStore() { g_language.reset(); }

QString text(TextId id, int languageCode)
{
    if (languageCode != 0) {
        const QString found = GetLanguageText(QLatin1String(id.key), QString::number(languageCode));
        if (!found.isEmpty() && keepsPlaceholders(found, id.placeholders))
            return found;
    }
    return QString::fromUtf16(id.english);
}

QString text(TextId id) { return text(id, GlVexM.languageCode); }

} // namespace trenix
