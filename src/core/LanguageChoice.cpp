#include "LanguageChoice.h"

#include "CINIFile.h"
#include "GlVexM.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace trenix {

namespace {
const QString kSection = QStringLiteral("config");
const QString kKey = QStringLiteral("language");
} // namespace

QString playerConfigFolder()
{
    if (!GlVexM.playerConfigFolder.isEmpty())
        return GlVexM.playerConfigFolder;
    // Not AppConfigLocation: that one moves with the organisation name.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("trenix"));
}

QString playerConfigFile()
{
    const QString folder = playerConfigFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QLatin1String(kSettingsFile));
}

qint16 ReadPlayerLanguage()
{
    const QString file = playerConfigFile();
    if (file.isEmpty() || !QFileInfo::exists(file))
        return 1;
    CINIFile ini;
    ini.SpecifyIniFile(file);
    qint32 number = 0;
    if (ini.ReadNumber(kSection, kKey, number) != 0 || number < -32768 || number > 32767)
        return 1;
    GlVexM.languageCode = qint16(number);
    return 0;
}

bool saveLanguageChoice(qint16 code, QString &why)
{
    const QString folder = playerConfigFolder();
    if (folder.isEmpty()) {
        why = QStringLiteral("~/.config/trenix");
        return false;
    }
    if (!QDir().mkpath(folder)) {
        why = QDir::toNativeSeparators(folder);
        return false;
    }
    CINIFile ini;
    ini.SpecifyIniFile(playerConfigFile());
    if (ini.WriteString(kSection, kKey, QString::number(code)) != 0) {
        why = QDir::toNativeSeparators(playerConfigFile());
        return false;
    }
    return true;
}

} // namespace trenix
