// The generated practice store, and the store generator's handling of bad sources.
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using trenix::Store;

namespace {

QString toolPath()
{
    return QDir(QStringLiteral(TRENIX_BIN_DIR)).filePath(QStringLiteral("../tools/trenix_make_stores"));
}

struct Run {
    int exitCode = -1;
    QString errors;
};

Run runTool(const QStringList &args)
{
    QProcess tool;
    tool.start(toolPath(), args);
    if (!tool.waitForFinished(-1) || tool.exitStatus() != QProcess::NormalExit)
        return {-1, QStringLiteral("the tool did not run: ") + tool.errorString()};
    return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardError())};
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size(), qPrintable(path));
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

qint64 number(Store &store, const QString &sql)
{
    trenix::Statement s = store.prepare(sql);
    return s.next() ? s.integer(0) : -1;
}

const QByteArray kDictHeader = "xh\tcz\tpy\tyw\tsm\tyd\n";
const QByteArray kTextHeader = "ID\tClanguage\tCValue\n";

} // namespace

class TestMakeStores : public QObject {
    Q_OBJECT
private slots:
    void generatedDictionary_hasGapsDuplicatesOrBlanks_data();
    void generatedDictionary_hasGapsDuplicatesOrBlanks();
    void generatedStore_lacksEmptyPracticeTable();
    void badSource_stillWritesStore_data();
    void badSource_stillWritesStore();
    void languageSource_escapesDecodedWrongly_data();
    void languageSource_escapesDecodedWrongly();
};

void TestMakeStores::generatedDictionary_hasGapsDuplicatesOrBlanks_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("zidian1 (learners)") << 1;
    QTest::newRow("zidian2 (simplified)") << 2;
    QTest::newRow("zidian3 (traditional)") << 3;
}

void TestMakeStores::generatedDictionary_hasGapsDuplicatesOrBlanks()
{
    QFETCH(int, code);
    Store store(QDir(QStringLiteral(TRENIX_BIN_DIR)).filePath(QLatin1String(trenix::kStoreFile)),
                QByteArray(trenix::kStorePassword), Store::Mode::ReadOnly);
    const QString table = QStringLiteral("zidian%1").arg(code);
    const qint64 rows = number(store, QStringLiteral("select count(*) from %1").arg(table));
    QVERIFY2(rows >= 3000, qPrintable(QStringLiteral("%1 has only %2 rows").arg(table).arg(rows)));
    QCOMPARE(number(store, QStringLiteral("select min(xh) from %1").arg(table)), 1);
    QCOMPARE(number(store, QStringLiteral("select max(xh) from %1").arg(table)), rows);
    QCOMPARE(number(store, QStringLiteral("select count(distinct cz) from %1").arg(table)), rows);
    QCOMPARE(number(store, QStringLiteral(
        "select count(*) from %1 where coalesce(cz, '') = '' or coalesce(py, '') = '' or coalesce(yw, '') = ''")
        .arg(table)), 0);
}

void TestMakeStores::generatedStore_lacksEmptyPracticeTable()
{
    Store store(QDir(QStringLiteral(TRENIX_BIN_DIR)).filePath(QLatin1String(trenix::kStoreFile)),
                QByteArray(trenix::kStorePassword), Store::Mode::ReadOnly);
    QCOMPARE(number(store, QStringLiteral("select count(*) from trenix")), 0);
}

void TestMakeStores::badSource_stillWritesStore_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("oldStore");

    QTest::newRow("gap in xh") << "practice" << "zidian2.tsv"
        << kDictHeader + "1\ta\tā\tah\t\t\n3\tb\tbā\tbah\t\t\n"
        << "zidian2.tsv: xh must run from 1 to 2 without gaps, but 2 is missing" << false;
    QTest::newRow("repeated xh") << "practice" << "zidian2.tsv"
        << kDictHeader + "1\ta\tā\tah\t\t\n1\tb\tbā\tbah\t\t\n"
        << "zidian2.tsv:3: xh 1 is already on line 2" << false;
    QTest::newRow("duplicate cz") << "practice" << "zidian2.tsv"
        << kDictHeader + "1\ta\tā\tah\t\t\n2\ta\tā\tah\t\t\n"
        << "zidian2.tsv:3: cz \"a\" is already on line 2" << false;
    QTest::newRow("wrong column count") << "practice" << "zidian2.tsv"
        << kDictHeader + "1\ta\tā\tah\t\n" << "zidian2.tsv:2: 5 columns, expected 6" << false;
    QTest::newRow("wrong header") << "practice" << "zidian2.tsv"
        << QByteArray("xh\tcz\tpy\tyw\n1\ta\tā\tah\n") << "zidian2.tsv:1: the header must be" << false;
    QTest::newRow("Windows line ends") << "practice" << "zidian2.tsv"
        << QByteArray("xh\tcz\tpy\tyw\tsm\tyd\r\n") << "zidian2.tsv:1: control character U+000D" << false;
    QTest::newRow("bad dictionary keeps the old store") << "practice" << "zidian2.tsv"
        << kDictHeader + "1\t\tā\tah\t\t\n" << "zidian2.tsv:2: cz is empty" << true;
    QTest::newRow("unknown escape") << "language" << "texts.tsv"
        << kTextHeader + "RJXX\t2\ta\\qb\n" << "texts.tsv:2: unknown escape \\q" << false;
    QTest::newRow("identifier repeated in other case") << "language" << "texts.tsv"
        << kTextHeader + "RJXX\t2\ta\nrjxx\t2\tb\n" << "texts.tsv:3: ID rjxx with language 2 is already on line 2"
        << false;
    QTest::newRow("bad texts keep the old store") << "language" << "texts.tsv"
        << kTextHeader + "RJXX\t2\n" << "texts.tsv:2: 2 columns, expected 3" << true;
}

void TestMakeStores::badSource_stillWritesStore()
{
    QFETCH(QString, mode);
    QFETCH(QString, source);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFETCH(bool, oldStore);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("out.store"));
    const QByteArray old = "the store of an earlier build";
    if (oldStore)
        writeFile(out, old);
    writeFile(dir.filePath(source), content);

    const Run run = runTool({mode, out, dir.filePath(source)});
    QVERIFY2(run.exitCode == 1, qPrintable(QStringLiteral("exit %1: %2").arg(run.exitCode).arg(run.errors)));
    QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
    QVERIFY2(!QFile::exists(out + QStringLiteral(".tmp")), "the temporary store was left behind");
    if (oldStore)
        QCOMPARE(readFile(out), old);
    else
        QVERIFY2(!QFile::exists(out), "a store was written from a bad source");
}

void TestMakeStores::languageSource_escapesDecodedWrongly_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<bool>("isNull");
    QTest::addColumn<QString>("value");
    QTest::newRow("newline") << QByteArray("two\\nlines") << false << QStringLiteral("two\nlines");
    QTest::newRow("tab") << QByteArray("a\\tb") << false << QStringLiteral("a\tb");
    QTest::newRow("backslash before n") << QByteArray("c:\\\\new") << false << QStringLiteral("c:\\new");
    QTest::newRow("Null") << QByteArray("\\N") << true << QString();
    QTest::newRow("backslash and N is text") << QByteArray("\\\\N") << false << QStringLiteral("\\N");
    QTest::newRow("empty is text") << QByteArray() << false << QString();
    QTest::newRow("Chinese") << QByteArray("开始") << false << QStringLiteral("开始");
}

void TestMakeStores::languageSource_escapesDecodedWrongly()
{
    QFETCH(QByteArray, field);
    QFETCH(bool, isNull);
    QFETCH(QString, value);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("word_language.mdb"));
    writeFile(dir.filePath(QStringLiteral("texts.tsv")), kTextHeader + "RJXX\t2\t" + field + "\n");
    const Run run = runTool({QStringLiteral("language"), out, dir.filePath(QStringLiteral("texts.tsv"))});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));

    Store store(out, QByteArray(), Store::Mode::ReadOnly);
    trenix::Statement s = store.prepare(QStringLiteral("select CValue from CWord where ID = ?1 and Clanguage = ?2"));
    s.bind(1, QStringLiteral("rjxx")).bind(2, QStringLiteral("2"));
    QVERIFY2(s.next(), "the text is missing");
    QCOMPARE(s.isNull(0), isNull);
    if (!isNull)
        QCOMPARE(s.text(0), value);
}

QTEST_GUILESS_MAIN(TestMakeStores)
#include "tst_make_stores.moc"
