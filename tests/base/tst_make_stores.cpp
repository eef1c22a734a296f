#include "TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using trenix::Store;
using namespace Qt::StringLiterals;

class TestMakeStores : public QObject {
    Q_OBJECT
private slots:
    void generatedDictionary_hasGapsDuplicatesOrBlanks_data()
    {
        QTest::addColumn<QString>("table"); // learners, simplified, traditional
        for (const char *table : {"zidian1", "zidian2", "zidian3"})
            QTest::newRow(table) << QString::fromLatin1(table);
    }
    void generatedDictionary_hasGapsDuplicatesOrBlanks()
    {
        QFETCH(QString, table);
        Store store(QStringLiteral(TRENIX_BIN_DIR "/") + QLatin1String(trenix::kStoreFile),
                    QByteArray(trenix::kStorePassword), Store::Mode::ReadOnly);
        trenix::Statement s = store.prepare(
            u"select count(*), min(xh), max(xh), count(distinct cz), "
            "sum(coalesce(cz, '') = '' or coalesce(py, '') = '' or coalesce(yw, '') = '') from %1"_s.arg(table));
        QVERIFY(s.next());
        const qint64 rows = s.integer(0);
        QVERIFY2(rows >= 3000, qPrintable(u"%1 has only %2 rows"_s.arg(table).arg(rows)));
        QCOMPARE(s.integer(1), 1);
        QCOMPARE(s.integer(2), rows);
        QCOMPARE(s.integer(3), rows); // distinct words
        QCOMPARE(s.integer(4), 0);    // rows with a blank word, pinyin or meaning
    }

    void badSource_stillWritesStore()
    {
        trenix::test::ProgramFolder dir;
        dir.writeFile(u"zidian2.tsv"_s, "xh\tcz\tpy\tyw\tsm\tyd\n1\ta\tā\tah\t\t\n3\tb\tbā\tbah\t\t\n"); // no xh 2
        QProcess tool;
        tool.start(QStringLiteral(TRENIX_BIN_DIR "/../tools/trenix_make_stores"),
                   {u"practice"_s, dir.file(u"out.store"_s), dir.file(u"zidian2.tsv"_s)});
        QVERIFY(tool.waitForFinished(-1));
        const QString errors = QString::fromUtf8(tool.readAllStandardError());
        QVERIFY2(tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 1, qPrintable(errors));
        QVERIFY2(errors.contains(u"zidian2.tsv: xh must run from 1 to 2 without gaps, but 2 is missing"_s), qPrintable(errors));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"zidian2.tsv"_s});
    }
};

QTEST_GUILESS_MAIN(TestMakeStores)
#include "tst_make_stores.moc"
