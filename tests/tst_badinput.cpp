// Strange input from the files and the player: a settings file of garbage, a
// language without texts, a damaged language store, words that look like SQL
// or lie outside the BMP, and sessions long enough to overflow narrow counters.
#include "GameCore.h"
#include "TestSupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <memory>

using namespace trenix;
using namespace trenix::test;

namespace {
constexpr qint64 kWordWidth = 900;

QByteArray digest(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QByteArray garbage(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray bytes(size, '\0');
    for (char &b : bytes) {
        b = char(gen.bounded(256));
        if (b == '=') // no accidental key line
            b = '\0';
    }
    return bytes;
}

// Rows and a digest of a dictionary table, read on the given store.
QPair<qint64, QByteArray> dictionary(Store &store, int languageCode)
{
    Statement rows = store.prepare(QStringLiteral("select xh, cz, py, yw from zidian%1 order by xh").arg(languageCode));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    qint64 n = 0;
    while (rows.next()) {
        ++n;
        for (int c = 0; c < 4; ++c)
            hash.addData(rows.value(c).toString().toUtf8() + '\x1f');
    }
    return {n, hash.result()};
}
} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

    FakeClock clock;
    ScriptedDialogs dialogs;
    Random random;
    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<GameCore> core;
    GameView view;

    void setUpGame(const QMap<int, QList<DictionaryEntry>> &dicts, qint16 from, qint16 to, qint16 lang = 2)
    {
        core.reset();
        folder = gameFolder(dicts, from, to, lang);
        random.seed(3);
        core = std::make_unique<GameCore>(GlVexM.storeConn, [](const QString &) { return kWordWidth; });
        core->setView(&view);
        core->load();
    }

    void type(const QString &text)
    {
        core->screen.TxT = text;
        core->TxT_KeyUp(GameCore::kKeyEnter, 0);
    }

    // The visible falling word, if there is one.
    WordLabel *fallingWord()
    {
        for (size_t i = 1; i < core->Label1.size(); ++i)
            if (core->Label1[i].falling())
                return &core->Label1[i];
        return nullptr;
    }

private slots:
    void init()
    {
        resetAll(&clock, &dialogs, &random);
        dialogs = ScriptedDialogs();
        clock.now = 1000;
    }

    void cleanup()
    {
        core.reset();
        resetModuleVariables();
        GlVexM.programFolder.clear();
        folder.reset();
    }

    // --- config.dat -----------------------------------------------------------------

    void settingsGarbage_misreadOrRewritten_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("code");
        QTest::newRow("binary garbage") << garbage(4096, 1) << 1 << 9;
        QTest::newRow("binary garbage, a little") << garbage(7, 2) << 1 << 9;
        QTest::newRow("garbage around a valid key")
            << garbage(2000, 3) + "\n[config]\nlanguage=3\n" + garbage(2000, 4) << 0 << 3;
        QTest::newRow("NUL inside the value") << QByteArray("[config]\nlanguage=3\0" "7\n", 20) << 0 << 3;
        QTest::newRow("UTF-16 text") << QByteArray("\xFF\xFE[\0c\0o\0n\0f\0i\0g\0]\0\n\0", 20) << 1 << 9;
    }

    void settingsGarbage_misreadOrRewritten()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, result);
        QFETCH(int, code);
        ProgramFolder settings;
        settings.writeFile(QLatin1String(kSettingsFile), content);
        settings.install();
        GlVexM.languageCode = 9;
        InitIniFile();
        QCOMPARE(ReadLanguage(), qint16(result));
        QCOMPARE(GlVexM.languageCode, qint16(code));
        QFile f(settings.file(QLatin1String(kSettingsFile)));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY2(f.readAll() == content, "reading changed the settings file");
    }

    void languageWithoutTexts_gameFailsToPlay()
    {
        // Language 7 has a dictionary but no interface texts: the game still
        // plays to its end, with empty labels where the texts would be.
        setUpGame({{7, numberedEntries(3)}}, 1, 3, 7);
        QCOMPARE(GetLanguageText(QStringLiteral("NDCJ"), QStringLiteral("7")), QString());
        core->Label3_Click();
        QVERIFY2(!core->screen.lbmessageVisible, qPrintable(core->screen.lbmessage));
        WordLabel *w = fallingWord();
        QVERIFY(w);
        type(w->Caption);
        QCOMPARE(core->rightCount, qint64(1));
        core->Label7_Click();
        QVERIFY(GlVexM.isPaused);
        core->TxT_KeyUp(GameCore::kKeySpace, 0);
        QVERIFY(core->running());
        clock.advance(5000);
        core->Label8_Click();
        QCOMPARE(dialogs.questions.size(), 1);
        QVERIFY2(dialogs.questions.first().contains(QStringLiteral(":5")), qPrintable(dialogs.questions.first()));
        QVERIFY(!core->running());
    }

    // --- word_language.mdb ---------------------------------------------------------

    void languageStoreDamage_crashesOrWrongText_data()
    {
        QTest::addColumn<int>("damage"); // 0 missing, 1 no CWord, 2 Null text, 3 very long text
        QTest::addColumn<QString>("expected"); // the text, or what the error names
        QTest::addColumn<bool>("throws");
        QTest::newRow("file missing") << 0 << QStringLiteral("missing") << true;
        QTest::newRow("no CWord table") << 1 << QStringLiteral("CWord") << true;
        QTest::newRow("Null text") << 2 << QString() << false;
        QTest::newRow("very long text") << 3 << QString(1'000'000, QChar(0x5B57)) + QStringLiteral("😀") << false;
    }

    void languageStoreDamage_crashesOrWrongText()
    {
        QFETCH(int, damage);
        QFETCH(QString, expected);
        QFETCH(bool, throws);
        ProgramFolder texts;
        const QString path = texts.file(QLatin1String(kLanguageFile));
        if (damage == 1) {
            Store store(path, QByteArray(), Store::Mode::Create);
            store.exec(QStringLiteral("create table Other (x text)"));
        } else if (damage >= 2) {
            texts.makeLanguageStore({{QStringLiteral("RJXX"), QStringLiteral("2"),
                                      damage == 2 ? std::nullopt : std::optional<QString>(expected)}});
        }
        texts.install();
        const QByteArray before = digest(path);
        QString got;
        QString error;
        try {
            got = GetLanguageText(QStringLiteral("RJXX"), QStringLiteral("2"));
        } catch (const Error &e) {
            error = e.message();
        }
        if (throws) {
            QVERIFY2(error.contains(path) && error.contains(expected), qPrintable(error));
        } else {
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(got.size(), expected.size());
            QVERIFY(got == expected);
        }
        closeLanguageStore();
        QVERIFY2(digest(path) == before, "a lookup changed the language store");
    }

    // --- strange words --------------------------------------------------------------

    void strangeWord_runAsSqlOrMismatched_data()
    {
        QTest::addColumn<QString>("word");  // the dictionary's one word
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("hit");
        const auto same = [](const char *name, const QString &w) { QTest::newRow(name) << w << w << true; };
        same("single quote", QStringLiteral("他's"));
        same("double quotes", QStringLiteral("\"引\"号"));
        same("backslashes", QStringLiteral("反\\斜\\\\杠\\"));
        same("percent and underscore", QStringLiteral("百%分_之"));
        same("injection", QStringLiteral("' or 1=1 --"));
        same("statement after a quote", QStringLiteral("x'); drop table zidian2; --"));
        same("emoji", QStringLiteral("笑😀"));
        same("outside the BMP, CJK extension B", QStringLiteral("𠀀𪚥"));
        same("NUL-free control characters", QStringLiteral("tab\there"));
        QTest::newRow("percent typed is no wildcard") << QStringLiteral("百分比") << QStringLiteral("百%") << false;
        QTest::newRow("underscore typed is no wildcard") << QStringLiteral("百分") << QStringLiteral("百_") << false;
        QTest::newRow("injection typed at a plain word") << QStringLiteral("中国") << QStringLiteral("中国' or '1'='1") << false;
        QTest::newRow("half an emoji typed") << QStringLiteral("笑😀") << QStringLiteral("笑\xD83D") << false;
    }

    void strangeWord_runAsSqlOrMismatched()
    {
        QFETCH(QString, word);
        QFETCH(QString, typed);
        QFETCH(bool, hit);
        QList<DictionaryEntry> entries{{1, word, QStringLiteral("py'%\\"), QStringLiteral("en \"x\""), QString(), QString()}};
        setUpGame({{2, entries}, {3, numberedEntries(5)}}, 1, 1);
        const auto dict2 = dictionary(GlVexM.storeConn, 2);
        const auto dict3 = dictionary(GlVexM.storeConn, 3);

        core->Label3_Click();
        QVERIFY2(!core->screen.lbmessageVisible, qPrintable(core->screen.lbmessage));
        QCOMPARE(core->Label1.size(), size_t(2));
        QCOMPARE(core->Label1[1].Caption, word); // drawn unchanged

        // Let it land, so that the pile statements see it too.
        for (int i = 0; i < 20 && !core->Label1[1].landed(); ++i)
            core->pictScroll_Timer();
        QVERIFY(core->Label1[1].landed());
        Statement pile = GlVexM.storeConn.prepare(QStringLiteral("select count(*) from trenix where ishold=1 and cz=?1"));
        pile.bind(1, word);
        QVERIFY(pile.next());
        QCOMPARE(pile.integer(0), qint64(1));
        pile.reset();

        const std::optional<DetailEntry> detail = core->practice().detail(2, word);
        QVERIFY(detail);
        QCOMPARE(detail->cz, word);
        QCOMPARE(detail->py, QStringLiteral("py'%\\"));

        type(typed);
        QCOMPARE(core->inputCount, qint64(1));
        QCOMPARE(core->rightCount, qint64(hit ? 1 : 0));
        QCOMPARE(core->Label1[1].Caption.isEmpty(), hit);
        pile.bind(1, word);
        QVERIFY(pile.next());
        QCOMPARE(pile.integer(0), qint64(hit ? 0 : 1));
        pile.reset();

        QCOMPARE(dictionary(GlVexM.storeConn, 2), dict2);
        QCOMPARE(dictionary(GlVexM.storeConn, 3), dict3);
    }

    // --- long sessions --------------------------------------------------------------

    void longSession_figuresWrapOrOverflow_data()
    {
        QTest::addColumn<qint64>("startMs");  // clock at the game start
        QTest::addColumn<qint64>("stepMs");   // clock between hits
        QTest::addColumn<QString>("seconds"); // seconds played at the end
        QTest::addColumn<QString>("speed");   // live figure, hits per minute
        QTest::addColumn<QString>("resultSpeed");
        // 546 hits of 61 s: 33306 s, past the 16-bit 32767.
        QTest::newRow("past 32767 seconds") << qint64(1000) << qint64(61000)
                                            << QStringLiteral("33306") << QStringLiteral(".98") << QStringLiteral("1");
        // 546 hits of 2 s: 1092 s, across 2^31 ms (24.8 days, a signed 32-bit count).
        QTest::newRow("across 2^31 ms") << (qint64(1) << 31) - 600'000 << qint64(2000)
                                        << QStringLiteral("1092") << QStringLiteral("30.") << QStringLiteral("30");
        // Across 2^32 ms (49.7 days), where a 32-bit millisecond count wraps.
        QTest::newRow("across 2^32 ms") << (qint64(1) << 32) - 600'000 << qint64(2000)
                                        << QStringLiteral("1092") << QStringLiteral("30.") << QStringLiteral("30");
        QTest::newRow("a year of uptime") << qint64(365) * 24 * 3600 * 1000 << qint64(2000)
                                          << QStringLiteral("1092") << QStringLiteral("30.") << QStringLiteral("30");
    }

    void longSession_figuresWrapOrOverflow()
    {
        QFETCH(qint64, startMs);
        QFETCH(qint64, stepMs);
        QFETCH(QString, seconds);
        QFETCH(QString, speed);
        QFETCH(QString, resultSpeed);
        constexpr int kHits = 546;
        setUpGame({{2, numberedEntries(kHits)}}, 1, kHits);
        clock.now = startMs;
        core->Label3_Click();
        for (int i = 0; i < kHits; ++i) {
            if (i > 0)
                core->pictScroll_Timer();
            WordLabel *w = fallingWord();
            QVERIFY2(w, qPrintable(QStringLiteral("no falling word before hit %1").arg(i + 1)));
            clock.advance(stepMs);
            type(w->Caption);
            if (i == kHits / 2) {
                // An hour of pause does not count.
                core->Label7_Click();
                clock.advance(3600 * 1000);
                core->TxT_KeyUp(GameCore::kKeySpace, 0);
            }
        }
        core->GaTime_Timer();
        QCOMPARE(core->rightCount, qint64(kHits));
        QCOMPARE(core->screen.timeDisplay, seconds);
        QCOMPARE(core->screen.lbsd, speed);
        QCOMPARE(core->screen.lbzql, QStringLiteral("100.%"));
        QCOMPARE(core->screen.lbfs, QStringLiteral("546"));

        core->Label8_Click();
        QCOMPARE(core->playedSeconds, seconds.toLongLong());
        QCOMPARE(dialogs.questions.size(), 1);
        const QString result = dialogs.questions.first();
        QVERIFY2(result.contains(u':' + seconds) && result.contains(u':' + resultSpeed) && result.contains(QStringLiteral("100.%")),
                 qPrintable(result));
    }
};

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
