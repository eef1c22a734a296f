#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace trenix::test {

ProgramFolder::ProgramFolder()
{
    if (!m_dir.isValid())
        qFatal("cannot make a temporary folder");
}

void ProgramFolder::copyFromBuild(const QStringList &names)
{
    for (const QString &name : names) {
        const QString from = QDir(QStringLiteral(TRENIX_BIN_DIR)).filePath(name);
        QFile::remove(file(name));
        if (!QFile::copy(from, file(name)))
            qFatal("cannot copy %s", qPrintable(from));
        QFile(file(name)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
}

void ProgramFolder::copyAllFromBuild()
{
    QStringList names{QLatin1String(kStoreFile), QLatin1String(kLanguageFile), QLatin1String(kSettingsFile)};
    for (int i = 1; i <= 7; ++i)
        names << QStringLiteral("help0%1.bmp").arg(i);
    copyFromBuild(names);
}

void ProgramFolder::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile f(file(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file(name)));
}

void ProgramFolder::makePracticeStore(const QMap<int, QList<DictionaryEntry>> &dictionaries, const QByteArray &key)
{
    QFile::remove(file(QLatin1String(kStoreFile)));
    Store store(file(QLatin1String(kStoreFile)), key, Store::Mode::Create);
    Transaction tx(store);
    for (auto it = dictionaries.begin(); it != dictionaries.end(); ++it) {
        createDictionaryTable(store, it.key());
        insertDictionary(store, it.key(), it.value());
    }
    createPracticeTable(store);
    tx.commit();
}

void ProgramFolder::makeLanguageStore(const QList<std::tuple<QString, QString, std::optional<QString>>> &rows)
{
    QFile::remove(file(QLatin1String(kLanguageFile)));
    Store store(file(QLatin1String(kLanguageFile)), QByteArray(), Store::Mode::Create);
    Transaction tx(store);
    createLanguageTable(store);
    for (const auto &[id, lang, value] : rows)
        insertText(store, id, lang, value ? &*value : nullptr);
    tx.commit();
}

void ProgramFolder::install()
{
    closeLanguageStore();
    GlVexM.programFolder = path();
}

std::unique_ptr<ProgramFolder> gameFolder(const QMap<int, QList<DictionaryEntry>> &dictionaries,
                                          qint16 from, qint16 to, qint16 languageCode)
{
    auto folder = std::make_unique<ProgramFolder>();
    folder->copyFromBuild({QLatin1String(kLanguageFile)});
    folder->makePracticeStore(dictionaries);
    folder->install();
    GlVexM.storeConn = Store(folder->file(QLatin1String(kStoreFile)), kStorePassword, Store::Mode::ReadWrite);
    GlVexM.wordFrom = from;
    GlVexM.wordTo = to;
    GlVexM.languageCode = languageCode;
    return folder;
}

void GameFixture::start(const QMap<int, QList<DictionaryEntry>> &dictionaries, qint16 from, qint16 to,
                        qint16 languageCode, GameView *view)
{
    core.reset();
    resetAll(&clock, &dialogs, &random);
    GlVexM.wallClock = &wallClock;
    dialogs = ScriptedDialogs();
    folder = gameFolder(dictionaries, from, to, languageCode);
    loadCore(view);
}

void GameFixture::loadCore(GameView *view)
{
    random.seed(7);
    core = std::make_unique<GameCore>(GlVexM.storeConn, [](const QString &) { return qint64(900); });
    core->setView(view);
    core->load();
}

void GameFixture::stop()
{
    core.reset();
    resetModuleVariables();
    GlVexM.programFolder.clear();
    folder.reset();
}

GameRecord sampleGame(qint64 startUtcMs, qint32 utcOffsetS, const QStringList &landed)
{
    GameRecord g;
    g.startUtcMs = startUtcMs;
    g.endUtcMs = startUtcMs + 60000;
    g.utcOffsetS = utcOffsetS;
    g.seconds = 60;
    g.selection = QStringLiteral("range:1-5");
    g.entries = 4;
    g.hits = 3;
    g.speed = 3;
    g.accuracy = 0.75;
    for (const QString &w : landed)
        g.words.push_back({w, false, true, 9, 5190});
    return g;
}

QList<DictionaryEntry> numberedEntries(int count, const QString &prefix)
{
    QList<DictionaryEntry> entries;
    entries.reserve(count);
    for (int i = 1; i <= count; ++i)
        entries.append({i, prefix + QString::number(i), QStringLiteral("py%1").arg(i),
                        QStringLiteral("en%1").arg(i), QString(), QString()});
    return entries;
}

void resetAll(FakeClock *clock, Dialogs *dialogs, Random *random)
{
    resetModuleVariables();
    // Never the player's own ~/.config/trenix.
    static QTemporaryDir playerConfig;
    GlVexM.playerConfigFolder = playerConfig.path();
    GlVexM.clock = clock;
    GlVexM.dialogs = dialogs;
    GlVexM.random = random;
}

} // namespace trenix::test
