// SPDX-License-Identifier: GPL-3.0-or-later
#include "GlVexM.h"

#include "DataPaths.h"
#include "Texts.h"

namespace trenix {

ModuleVariables GlVexM;

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
}

void InitIniFile(const QString &programFolder)
{
    GlVexM.iniFile = std::make_unique<CINIFile>();
    const QString separator =
        (programFolder.endsWith(u'/') || programFolder.endsWith(u'\\')) ? QString() : QStringLiteral("/");
    GlVexM.iniFile->SpecifyIniFile(programFolder + separator + QLatin1String(kSettingsFile));
}

qint16 ReadLanguage()
{
    qint32 number = 0;
    if (!GlVexM.iniFile
        || GlVexM.iniFile->ReadNumber(QStringLiteral("config"), QStringLiteral("language"), number) != 0)
        return 1;
    // A code that does not fit the 16-bit range counts as not read.
    if (number < -32768 || number > 32767)
        return 1;
    GlVexM.languageCode = qint16(number);
    return 0;
}

} // namespace trenix
