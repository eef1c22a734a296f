// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchSupport.h"

#include "Fonts.h"
#include "GlVexM.h"
#include "Startup.h"
#include "StoreSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <cstdlib>

namespace trenix::bench {

void die(const QString &why)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(why));
    std::exit(1);
}

Seams &seams()
{
    static Seams s;
    return s;
}

void copyBuiltData(const QString &folder)
{
    const QDir bin(QStringLiteral(TRENIX_BIN_DIR));
    const QDir to(folder);
    QDir().mkpath(folder);
    QStringList names = bin.entryList({QStringLiteral("TrenixUI-*.otf")});
    names << QLatin1String(kStoreFile) << QLatin1String(kLanguageFile) << QLatin1String(kSettingsFile);
    for (const QString &name : names) {
        QFile::remove(to.filePath(name));
        if (!QFile::copy(bin.filePath(name), to.filePath(name)))
            die(QStringLiteral("cannot copy %1 from %2 into %3 (is the trenix_data target built?)")
                    .arg(name, bin.path(), folder));
        QFile(to.filePath(name)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
}

void makeBigStore(const QString &folder, int count)
{
    const QString path = QDir(folder).filePath(QLatin1String(kStoreFile));
    QFile::remove(path);
    Store store(path, QByteArray(kStorePassword), Store::Mode::Create);
    Transaction tx(store);
    QList<DictionaryEntry> entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString cz = QString(QChar(0x4E00 + i / 160)) + QChar(0x4F00 + i % 160);
        entries.append({i + 1, cz, QStringLiteral("py%1").arg(i + 1), QStringLiteral("en%1").arg(i + 1),
                        QStringLiteral("1"), QString::number(count - i)});
    }
    createDictionaryTable(store, kLanguage);
    insertDictionary(store, kLanguage, entries);
    createPracticeTable(store);
    tx.commit();
}

void openProgramFolder(const DataPaths &paths)
{
    static bool fontsLoaded = false;
    if (!fontsLoaded) { // as main() does, once
        loadInterfaceFonts(paths.programFolder);
        fontsLoaded = true;
    }
    GlVexM.storeConn = Store(); // let go of the previous file first
    try {
        if (prepareStartup(paths, seams().dialogs, StoreOpening::Now) != StartupOutcome::ShowMainWindow)
            die(QStringLiteral("start-up declined in %1").arg(paths.programFolder));
        useWriteAheadJournal(GlVexM.storeConn);
    } catch (const Error &e) {
        die(QStringLiteral("start-up failed in %1: %2").arg(paths.programFolder, e.message()));
    }
    GlVexM.languageCode = kLanguage;
}

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace trenix::bench
