// SPDX-License-Identifier: GPL-3.0-or-later
#include "LanguageChoice.h"

#include "CINIFile.h"
#include "GlVexM.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcLanguage, "trenix.language")
#include <QRegularExpression>

namespace trenix {

namespace {
const QString kSection = QStringLiteral("config");
const QString kKey = QStringLiteral("language");
} // namespace

qint16 ReadPlayerLanguage(const QString &playerConfigFile)
{
    if (playerConfigFile.isEmpty() || !QFileInfo::exists(playerConfigFile))
        return 1;
    CINIFile ini;
    ini.SpecifyIniFile(playerConfigFile);
    qint32 number = 0;
    if (ini.ReadNumber(kSection, kKey, number) != 0)
        return 1;
    // Only the program writes this file, and only a language it offers: any
    // other code (an empty or mistyped value reads as 0) would leave every
    // window without its texts and dictionary.
    if (number < 1 || number > 3) {
        QString value;
        ini.ReadString(kSection, kKey, 64, value);
        qCWarning(lcLanguage).noquote() << QStringLiteral("%1: language \"%2\" is not 1, 2 or 3; it is ignored")
                                               .arg(QDir::toNativeSeparators(playerConfigFile), value);
        return 1;
    }
    GlVexM.languageCode = qint16(number);
    return 0;
}

bool saveLanguageChoice(const QString &playerConfigFile, qint16 code, QString &why)
{
    if (playerConfigFile.isEmpty()) {
        why = QStringLiteral("~/.config/trenix");
        return false;
    }
    const QString folder = QFileInfo(playerConfigFile).absolutePath();
    if (!QDir().mkpath(folder)) {
        why = QDir::toNativeSeparators(folder);
        return false;
    }
    CINIFile ini;
    ini.SpecifyIniFile(playerConfigFile);
    if (ini.WriteString(kSection, kKey, QString::number(code)) != 0) {
        why = QDir::toNativeSeparators(playerConfigFile);
        return false;
    }
    return true;
}

QString processEnvironment(const char *name) { return qEnvironmentVariable(name); }

std::optional<qint16> desktopLanguage(const Environment &environment)
{
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        // LANGUAGE is a list of preferences ("zh_TW:zh:en"): the first one counts.
        const QString value = environment(name).section(u':', 0, 0).trimmed();
        if (value.isEmpty())
            continue;
        // language[_Script][_REGION][.codeset][@modifier], with - or _ between the parts.
        const QStringList parts =
            value.section(u'.', 0, 0).section(u'@', 0, 0).toLower().split(QRegularExpression(QStringLiteral("[-_]")));
        if (parts.first() != QLatin1String("zh"))
            return 1;
        if (parts.contains(QLatin1String("hans")))
            return 2;
        for (const char *traditional : {"hant", "tw", "hk", "mo"})
            if (parts.contains(QLatin1String(traditional)))
                return 3;
        return 2;
    }
    return std::nullopt;
}

} // namespace trenix
