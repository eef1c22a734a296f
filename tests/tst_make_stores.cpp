// The generated practice store, and the store generator's handling of bad sources.
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using trenix::Store;
using namespace Qt::StringLiterals;

class TestMakeStores : public QObject {
    Q_OBJECT
private slots:
    void generatedDictionary_hasGapsDuplicatesOrBlanks_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("zidian1 (learners)") << u"zidian1"_s;
        QTest::newRow("zidian2 (simplified)") << u"zidian2"_s;
        QTest::newRow("zidian3 (traditional)") << u"zidian3"_s;
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

    void badSource_stillWritesStore_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("message");
        QTest::newRow("gap in xh") << QByteArray("1\ta\tā\tah\t\t\n3\tb\tbā\tbah\t\t\n")
                                   << u"zidian2.tsv: xh must run from 1 to 2 without gaps, but 2 is missing"_s;
        QTest::newRow("duplicate cz") << QByteArray("1\ta\tā\tah\t\t\n2\ta\tā\tah\t\t\n")
                                      << u"zidian2.tsv:3: cz \"a\" is already on line 2"_s;
    }
    void badSource_stillWritesStore()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString source = dir.filePath(u"zidian2.tsv"_s), out = dir.filePath(u"out.store"_s);
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("xh\tcz\tpy\tyw\tsm\tyd\n" + rows) > 0);
        f.close();

        QProcess tool;
        tool.start(QStringLiteral(TRENIX_BIN_DIR "/../tools/trenix_make_stores"), {u"practice"_s, out, source});
        QVERIFY(tool.waitForFinished(-1));
        const QString errors = QString::fromUtf8(tool.readAllStandardError());
        QVERIFY2(tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 1, qPrintable(errors));
        QVERIFY2(errors.contains(message), qPrintable(errors));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"zidian2.tsv"_s});
    }
};

QTEST_GUILESS_MAIN(TestMakeStores)
#include "tst_make_stores.moc"
