#include "GlVexM.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <optional>
#include <utility>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace trenix {

ModuleVariables GlVexM;

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
} // namespace

void closeLanguageStore() { g_language.reset(); }

void resetModuleVariables()
{
    closeLanguageStore();
    GlVexM.storeConn.close();
    GlVexM.wordFrom = 0;
    GlVexM.wordTo = 0;
    GlVexM.languageCode = 0;
    GlVexM.iniFile.reset();
    GlVexM.speedLevel = 0;
    GlVexM.isPaused = false;
    GlVexM.detailWord.clear();
    GlVexM.gameMinutes = 0;
    GlVexM.wordSet = WordSet();
    GlVexM.progress = nullptr;
    GlVexM.keptSettingsFile.clear();
}

QString programFile(const QString &fileName)
{
    QString folder = GlVexM.programFolder;
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    return QDir(folder).filePath(fileName);
}

void InitIniFile()
{
    GlVexM.iniFile = std::make_unique<CINIFile>();
    QString folder = GlVexM.programFolder;
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    const QString separator = (folder.endsWith(u'/') || folder.endsWith(u'\\')) ? QString() : QStringLiteral("/");
    GlVexM.iniFile->SpecifyIniFile(folder + separator + QLatin1String(kSettingsFile));
}

qint16 ReadLanguage()
{
    qint32 number = 0;
    if (!GlVexM.iniFile || GlVexM.iniFile->ReadNumber(QStringLiteral("config"), QStringLiteral("language"), number) != 0)
        return 1;
    // A code that does not fit the 16-bit range counts as not read.
    if (number < -32768 || number > 32767)
        return 1;
    GlVexM.languageCode = qint16(number);
    return 0;
}

QString GetLanguageText(const QString &textId, const QString &langCode)
{
    const QString path = programFile(QLatin1String(kLanguageFile));
    const std::optional<FileIdentity> identity = fileIdentity(path);
    if (!g_language || g_language->path != path || !identity || g_language->identity != *identity) {
        g_language.reset();
        Store store(path, QByteArray(), Store::Mode::ReadOnly);
        g_language.emplace();
        g_language->path = path;
        g_language->identity = identity.value_or(FileIdentity{});
        g_language->store = std::move(store);
        try {
            g_language->lookup = g_language->store.prepare(QStringLiteral(
                "select CValue from CWord where ID=?1 and Clanguage=?2 limit 1"));
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

QString lookupText(const QString &textId)
{
    return GetLanguageText(textId, QString::number(GlVexM.languageCode));
}

} // namespace trenix
