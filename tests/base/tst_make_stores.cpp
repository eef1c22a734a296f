// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
const QByteArray kHeader = "xh\tcz\tpy\tyw\tsm\tyd\thsk3\tsimplified\n";

Store shippedStore()
{
    return Store(u"" TRENIX_BIN_DIR "/"_s + QLatin1String(kStoreFile), QByteArray(kStorePassword),
                 Store::Mode::ReadOnly);
}

// Runs the store maker with these arguments; its exit code and what it said on stderr.
std::pair<int, QString> makeStores(const QStringList &arguments)
{
    QProcess tool;
    tool.start(u"" TRENIX_BIN_DIR "/../tools/trenix_make_stores"_s, arguments);
    return {tool.waitForFinished(-1) ? tool.exitCode() : -1, QString::fromUtf8(tool.readAllStandardError())};
}
} // namespace

class TestMakeStores : public QObject {
    Q_OBJECT
private slots:
    // Rules every dictionary keeps, and readings that were wrong once.
    void generatedDictionary_breaksARuleOrMisreads_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("expected"); // its one row
        // zidian1 learners, zidian2 simplified, zidian3 traditional
        for (const QString &table : {u"zidian1"_s, u"zidian2"_s, u"zidian3"_s}) {
            const auto row = [&](const char *rule, const QString &query) { // counts the rows of %1 that break it
                QTest::newRow(qPrintable(table + u": "_s + QLatin1String(rule))) << query.arg(table) << u"0"_s;
            };
            row("fewer rows than the HSK lists have words", u"select count(*) < 11000 from %1"_s);
            row("xh not running from 1 without gaps", u"select max(xh) - count(*) + (min(xh) <> 1) from %1"_s);
            row("a blank word, pinyin or gloss", u"select count(*) from %1 where coalesce(cz, '') = ''"
                                                 u" or coalesce(py, '') = '' or coalesce(yw, '') = ''"_s);
            row("an HSK 3.0 level that is none",
                u"select count(*) from %1 where hsk3 not in ('', '1', '2', '3', '4', '5', '6', '7')"_s);
            if (table != u"zidian2"_s) { // the same words as zidian2
                row("a word zidian2 lacks",
                    u"select count(*) from %1 where simplified not in (select simplified from zidian2)"_s);
                row("a zidian2 word it lacks",
                    u"select count(*) from zidian2 where simplified not in (select simplified from %1)"_s);
            }
            if (table != u"zidian3"_s)
                row("simplified unlike the word", u"select count(*) from %1 where simplified <> cz"_s);
            if (table != u"zidian1"_s) // the Chinese interfaces: 1-999 are the most common words
                row("a less common word first", u"select count(*) from %1 a join %1 b on b.xh = a.xh + 1"
                                                u" where cast(b.yd as integer) > cast(a.yd as integer)"_s);
        }
        const auto reading = [](const char *name, const char *table, const char *simplified, const char *expected) {
            const QString sql = u"select cz||'|'||py||'|'||yw||'|'||sm||'|'||hsk3 from %1 where simplified = '%2'"_s;
            QTest::newRow(name) << sql.arg(QLatin1String(table), QString::fromUtf8(simplified))
                                << QString::fromUtf8(expected); // cz|py|yw|sm|hsk3
        };
        reading("你好, not an HSK word", "zidian2", "你好", "你好|nǐ hǎo|hello; hi||");
        reading("长 as HSK 2 teaches it", "zidian1", "长", "长|cháng|long; length|2|2");
        reading("长 in traditional", "zidian3", "长", "長|cháng|long; length|2|2");
        reading("erhua, glossed as the word it varies", "zidian2", "一点儿", "一点儿|yī diǎn r|a bit; a little|1|1");
        reading("冬 winter, not the drum beat 鼕", "zidian3", "冬", "冬|dōng|winter|3|");
    }
    void generatedDictionary_breaksARuleOrMisreads()
    {
        QFETCH(QString, query);
        QFETCH(QString, expected);
        Store store = shippedStore();
        QCOMPARE(firstColumn(store, query), QStringList{expected});
    }

    // A dictionary or text source that breaks a rule stops the build at the line that is wrong; nothing is written.
    // A gap in xh, a level past HSK 7 or an empty simplified form in the shipped sources is caught by the rules above.
    void badSource_acceptedOrLineNotNamed_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("error"); // from the source's name on: zidian2.tsv or texts.tsv
        const QByteArray head = "ID\tClanguage\tCValue\n";
        const auto row = [](const char *name, const QByteArray &source, const QString &error) {
            QTest::newRow(name) << source << error;
        };
        row("simplified twice", kHeader + "1\ta\tā\tah\t\t\t\ta\n2\tb\tbā\tbah\t\t\t\ta\n",
            u"zidian2.tsv:3: simplified \"a\" is already on line 2"_s);
        row("traditional missing", head + "A.b\t1\tx\nA.b\t2\ty\n",
            u"texts.tsv:2: ID A.b has no text for language 3"_s);
        row("%1 lost", head + "M\t1\t%1 and %2\nM\t2\t%2 only\nM\t3\t%1%2\n",
            u"texts.tsv:3: ID M, language 2: %1 is missing; the English text has it"_s);
    }
    void badSource_acceptedOrLineNotNamed()
    {
        QFETCH(QByteArray, source);
        QFETCH(QString, error);
        const QString input = error.section(u':', 0, 0), kind = input == u"texts.tsv"_s ? u"textids"_s : u"practice"_s;
        ProgramFolder dir;
        dir.writeFile(input, source);
        const auto [exitCode, said] = makeStores({kind, dir.file(u"out"_s), dir.file(input)});
        QCOMPARE(exitCode, 1);
        QVERIFY2(said.contains(error), qPrintable(said));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{input});
    }

    // A store rebuilt beside the journal a killed program left for the old one: the journal must not be
    // played into the new store.
    void rebuiltStore_damagedByStaleJournal()
    {
        ProgramFolder dir;
        dir.writeFile(u"zidian2.tsv"_s, kHeader + "1\ta\tā\tah\t\t\t\ta\n");
        const QString out = dir.file(u"out.store"_s);
        const QStringList build{u"practice"_s, out, dir.file(u"zidian2.tsv"_s)};
        QCOMPARE(makeStores(build).first, 0);
        {
            Store old(out, QByteArray(kStorePassword), Store::Mode::ReadWrite);
            old.exec(u"pragma journal_mode=wal; create table killed(x); insert into killed values (1)"_s);
            QVERIFY(QFile::copy(out + u"-wal"_s, dir.file(u"stale-wal"_s)));
        }
        QVERIFY(QFile::rename(dir.file(u"stale-wal"_s), out + u"-wal"_s));
        QCOMPARE(makeStores(build).first, 0);
        Store rebuilt(out, QByteArray(kStorePassword), Store::Mode::ReadOnly);
        QCOMPARE(firstColumn(rebuilt, u"select cz from zidian2"_s), QStringList{u"a"_s});
    }
};

QTEST_GUILESS_MAIN(TestMakeStores)
#include "tst_make_stores.moc"
