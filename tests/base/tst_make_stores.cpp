#include "TestSupport.h"

#include <QProcess>
#include <QTest>

using namespace trenix;
using namespace Qt::StringLiterals;

class TestMakeStores : public QObject {
    Q_OBJECT
private slots:
    void generatedDictionary_hasGapsDuplicatesOrBlanks()
    {
        Store store(u"" TRENIX_BIN_DIR "/"_s + QLatin1String(kStoreFile), QByteArray(kStorePassword), Store::Mode::ReadOnly);
        for (const QString &table : {u"zidian1"_s, u"zidian2"_s, u"zidian3"_s}) { // learners, simplified, traditional
            Statement s = store.prepare(u"select count(*) >= 3000 and min(xh) = 1 and max(xh) = count(*) and count(distinct cz) = count(*) "
                                        "and sum(coalesce(cz, '') = '' or coalesce(py, '') = '' or coalesce(yw, '') = '') = 0 from %1"_s.arg(table));
            QVERIFY2(s.next() && s.integer(0) == 1, qPrintable(table + u": under 3000 rows, a gap in xh, a word twice or a blank field"_s));
        }
    }

    void badSource_stillWritesStore()
    {
        test::ProgramFolder dir;
        dir.writeFile(u"zidian2.tsv"_s, "xh\tcz\tpy\tyw\tsm\tyd\n1\ta\tā\tah\t\t\n3\tb\tbā\tbah\t\t\n"); // no xh 2
        QProcess tool;
        tool.start(u"" TRENIX_BIN_DIR "/../tools/trenix_make_stores"_s, {u"practice"_s, dir.file(u"out.store"_s), dir.file(u"zidian2.tsv"_s)});
        const QString errors = tool.waitForFinished(-1) ? QString::fromUtf8(tool.readAllStandardError()) : u"did not finish"_s;
        QVERIFY2(tool.exitCode() == 1 && errors.contains(u"zidian2.tsv: xh must run from 1 to 2 without gaps, but 2 is missing"_s), qPrintable(errors));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"zidian2.tsv"_s});
    }

    // A text source that would leave a language without a text, or drop what a message is about,
    // stops the build at the line that is wrong; nothing is written.
    void badTexts_acceptedOrLineNotNamed_data()
    {
        QTest::addColumn<QByteArray>("tsv");
        QTest::addColumn<QString>("error");
        const QByteArray head = "ID\tClanguage\tCValue\n";
        QTest::newRow("traditional missing") << head + "A.b\t1\tx\nA.b\t2\ty\n" << u"texts.tsv:2: ID A.b has no text for language 3"_s;
        QTest::newRow("%1 lost") << head + "M\t1\t%1 and %2\nM\t2\t%2 only\nM\t3\t%1%2\n"
                                 << u"texts.tsv:3: ID M, language 2: %1 is missing; the English text has it"_s;
        QTest::newRow("two ids, one constant") << head + "a.b\t1\tx\na.b\t2\tx\na.b\t3\tx\na_b\t1\tx\na_b\t2\tx\na_b\t3\tx\n"
                                               << u"texts.tsv:5: ID a.b and ID a_b give the same constant a_b"_s;
    }
    void badTexts_acceptedOrLineNotNamed()
    {
        QFETCH(QByteArray, tsv);
        QFETCH(QString, error);
        test::ProgramFolder dir;
        dir.writeFile(u"texts.tsv"_s, tsv);
        QProcess tool;
        tool.start(u"" TRENIX_BIN_DIR "/../tools/trenix_make_stores"_s, {u"textids"_s, dir.file(u"TextIds.h"_s), dir.file(u"texts.tsv"_s)});
        QVERIFY(tool.waitForFinished(-1));
        QCOMPARE(tool.exitCode(), 1);
        QCOMPARE(QString::fromUtf8(tool.readAllStandardError()).trimmed().section(u"texts.tsv:"_s, 1).prepend(u"texts.tsv:"_s),
                 error);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"texts.tsv"_s});
    }
};

QTEST_GUILESS_MAIN(TestMakeStores)
#include "tst_make_stores.moc"
