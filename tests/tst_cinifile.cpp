// The settings-file class and the start-up procedures that read the language.
#include "CINIFile.h"
#include "GlVexM.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using trenix::CINIFile;
using trenix::GlVexM;
using trenix::test::ProgramFolder;

namespace {

const QString kNoFile = QStringLiteral("没有指定 INI 文件");
const QString kWriteFailed = QStringLiteral("写入失败");
const QString kCannotRead = QStringLiteral("不能读取");
const QString kSettings = QStringLiteral("config.dat");

constexpr qint32 kUntouched = 777;
constexpr qint64 kCap = 1024 * 1024;

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<cannot read ") + path.toUtf8() + '>';
    return f.readAll();
}

struct Number {
    qint16 result;
    qint32 value;
    QString message;
};

Number readNumber(const QString &path, const QString &section, const QString &key)
{
    CINIFile ini;
    ini.SpecifyIniFile(path);
    qint32 value = kUntouched;
    const qint16 result = ini.ReadNumber(section, key, value);
    return {result, value, ini.ErrorMsg};
}

} // namespace

class TestCINIFile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readNumber_wrongValueOrLookup_data();
    void readNumber_wrongValueOrLookup();
    void readNumber_missingFileNotMissingKey();
    void readString_sentinelOrTruncationWrong_data();
    void readString_sentinelOrTruncationWrong();
    void beforeSpecify_operationRunsWithoutFile_data();
    void beforeSpecify_operationRunsWithoutFile();
    void specifyIniFile_blanksKeptOrStateNotReset();
    void errorMsg_staleAfterSuccess();
    void writeString_otherLinesLostOrMisplaced_data();
    void writeString_otherLinesLostOrMisplaced();
    void writeString_failureUnreportedOrDestructive_data();
    void writeString_failureUnreportedOrDestructive();
    void hugeFile_hangsOrMisreads();
    void nonRegularFile_hangs();
    void readLanguage_wrongCodeOrPath_data();
    void readLanguage_wrongCodeOrPath();
};

void TestCINIFile::init()
{
    trenix::test::resetAll(nullptr, nullptr, nullptr);
}

void TestCINIFile::cleanup()
{
    // The test's folder is gone once it ends.
    GlVexM.programFolder.clear();
    trenix::resetModuleVariables();
}

void TestCINIFile::readNumber_wrongValueOrLookup_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("result");
    QTest::addColumn<qint32>("number");

    const QString config = QStringLiteral("config");
    const QString language = QStringLiteral("language");
    const auto row = [&](const char *name, const QByteArray &content, int result, qint32 number) {
        QTest::newRow(name) << content << config << language << result << number;
    };
    row("language 2", "[config]\nlanguage=2\n", 0, 2);
    row("language 0 is no failure", "[config]\nlanguage=0\n", 0, 0);
    row("language 1 is no failure", "[config]\nlanguage=1\n", 0, 1);
    row("key only in another section", "[other]\nlanguage=2\n[config]\nx=1\n", 3, kUntouched);
    row("key before every section", "language=2\n[config]\nx=1\n", 3, kUntouched);
    row("section missing", "[other]\nx=1\n", 3, kUntouched);
    row("empty file", "", 3, kUntouched);
    row("digits then letters", "[config]\nlanguage=12abc\n", 0, 12);
    row("letters only read as 0", "[config]\nlanguage=abc\n", 0, 0);
    row("empty value read as 0", "[config]\nlanguage=\n", 0, 0);
    row("negative", "[config]\nlanguage=-17\n", 0, -17);
    row("plus sign", "[config]\nlanguage=+5\n", 0, 5);
    row("digit after a blank is not read", "[config]\nlanguage=1 2\n", 0, 1);
    row("blanks around name and value", "[config]\n  language \t=   7  \n", 0, 7);
    row("blanks inside the brackets", "[ config ]\nlanguage=8\n", 0, 8);
    row("upper-case names in file", "[CONFIG]\nLANGUAGE=3\n", 0, 3);
    row("quoted value", "[config]\nlanguage=\"4\"\n", 0, 4);
    row("UTF-8 BOM", "\xEF\xBB\xBF[config]\r\nlanguage=4\r\n", 0, 4);
    row("CRLF line ends", "[config]\r\nlanguage=5\r\nx=1\r\n", 0, 5);
    row("no line end at the end", "[config]\nlanguage=6", 0, 6);
    row("commented-out key", "[config]\n;language=9\n", 3, kUntouched);
    row("comment before the key", "[config]\n  ; language=9\nlanguage=6\n", 0, 6);
    row("comment line with a section", ";[config]\n;language=9\n", 3, kUntouched);
    row("duplicate keys: first wins", "[config]\nlanguage=7\nLanguage=8\n", 0, 7);
    row("duplicate sections: first wins", "[config]\nlanguage=7\n[Config]\nlanguage=8\n", 0, 7);
    row("key only in a later duplicate section", "[config]\nx=1\n[config]\nlanguage=8\n", 3, kUntouched);
    row("largest 32-bit", "[config]\nlanguage=2147483647\n", 0, std::numeric_limits<qint32>::max());
    row("smallest 32-bit", "[config]\nlanguage=-2147483648\n", 0, std::numeric_limits<qint32>::min());
    // Wrapping would turn these into small valid codes (2 and -2).
    row("above 32 bits clamps", "[config]\nlanguage=4294967298\n", 0, std::numeric_limits<qint32>::max());
    row("below 32 bits clamps", "[config]\nlanguage=-4294967298\n", 0, std::numeric_limits<qint32>::min());
    row("many digits clamp", "[config]\nlanguage=99999999999999999999999\n", 0, std::numeric_limits<qint32>::max());

    QTest::newRow("names asked with other case and blanks")
        << QByteArray("[config]\nlanguage=3\n") << QStringLiteral(" Config ") << QStringLiteral("LANGUAGE\t") << 0 << 3;
    QTest::newRow("empty key name") << QByteArray("[config]\n=3\n") << config << QString() << 3 << kUntouched;
    QTest::newRow("key that is a prefix") << QByteArray("[config]\nlanguages=3\n") << config << language << 3 << kUntouched;
    QTest::newRow("Chinese names") << QByteArray("[设置]\n语言=2\n") << QStringLiteral("设置") << QStringLiteral("语言") << 0 << 2;
}

void TestCINIFile::readNumber_wrongValueOrLookup()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(int, result);
    QFETCH(qint32, number);
    ProgramFolder folder;
    folder.writeFile(kSettings, content);
    const Number read = readNumber(folder.file(kSettings), section, key);
    QCOMPARE(read.result, qint16(result));
    QCOMPARE(read.value, number);
    QCOMPARE(read.message, result == 0 ? QString() : kCannotRead);
}

void TestCINIFile::readNumber_missingFileNotMissingKey()
{
    ProgramFolder folder;
    const Number read = readNumber(folder.file(kSettings), QStringLiteral("config"), QStringLiteral("language"));
    QCOMPARE(read.result, qint16(3));
    QCOMPARE(read.value, kUntouched);
    QCOMPARE(read.message, kCannotRead);
    QVERIFY2(!QFileInfo::exists(folder.file(kSettings)), "reading created the settings file");
}

void TestCINIFile::readString_sentinelOrTruncationWrong_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint32>("size");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("text");

    QTest::newRow("value 1 reads as missing") << QByteArray("[s]\nk=1\n") << 255 << 3 << QString();
    QTest::newRow("value 12") << QByteArray("[s]\nk=12\n") << 255 << 0 << QStringLiteral("12");
    QTest::newRow("missing key") << QByteArray("[s]\nother=x\n") << 255 << 3 << QString();
    QTest::newRow("empty value") << QByteArray("[s]\nk=\n") << 255 << 0 << QString();
    QTest::newRow("blanks trimmed") << QByteArray("[s]\nk =  a b  \n") << 255 << 0 << QStringLiteral("a b");
    QTest::newRow("quotes stripped") << QByteArray("[s]\nk=' x '\n") << 255 << 0 << QStringLiteral(" x ");
    QTest::newRow("unmatched quote kept") << QByteArray("[s]\nk=\"x\n") << 255 << 0 << QStringLiteral("\"x");
    QTest::newRow("value with =") << QByteArray("[s]\nk=a=b\n") << 255 << 0 << QStringLiteral("a=b");
    QTest::newRow("exact fit") << QByteArray("[s]\nk=hello\n") << 6 << 0 << QStringLiteral("hello");
    QTest::newRow("one too long") << QByteArray("[s]\nk=hello\n") << 5 << 0 << QStringLiteral("hell");
    QTest::newRow("size 3") << QByteArray("[s]\nk=hello\n") << 3 << 0 << QStringLiteral("he");
    QTest::newRow("12 cut to the sentinel") << QByteArray("[s]\nk=12\n") << 2 << 3 << QString();
    QTest::newRow("size 1 keeps nothing") << QByteArray("[s]\nk=hello\n") << 1 << 0 << QString();
    QTest::newRow("size 1, missing key") << QByteArray("[s]\n") << 1 << 0 << QString();
    QTest::newRow("size 0") << QByteArray("[s]\nk=hello\n") << 0 << 0 << QString();
    QTest::newRow("negative size") << QByteArray("[s]\nk=hello\n") << -5 << 0 << QString();
    QTest::newRow("Chinese counted by character") << QByteArray("[s]\nk=中文字\n") << 3 << 0 << QStringLiteral("中文");
    QTest::newRow("no half surrogate pair") << QByteArray("[s]\nk=\xF0\x9F\x98\x80x\n") << 2 << 0 << QString();
}

void TestCINIFile::readString_sentinelOrTruncationWrong()
{
    QFETCH(QByteArray, content);
    QFETCH(qint32, size);
    QFETCH(int, result);
    QFETCH(QString, text);
    ProgramFolder folder;
    folder.writeFile(kSettings, content);
    CINIFile ini;
    ini.SpecifyIniFile(folder.file(kSettings));
    QString read = QStringLiteral("left over");
    QCOMPARE(ini.ReadString(QStringLiteral("s"), QStringLiteral("k"), size, read), qint16(result));
    QCOMPARE(read, text);
    QCOMPARE(ini.ErrorMsg, QString());
}

void TestCINIFile::beforeSpecify_operationRunsWithoutFile_data()
{
    QTest::addColumn<bool>("specify");
    QTest::addColumn<QString>("path");
    QTest::newRow("never specified") << false << QString();
    QTest::newRow("empty path") << true << QString();
    QTest::newRow("blank path") << true << QStringLiteral(" \t ");
}

void TestCINIFile::beforeSpecify_operationRunsWithoutFile()
{
    QFETCH(bool, specify);
    QFETCH(QString, path);
    ProgramFolder folder;
    CINIFile ini;
    if (specify) {
        // A file named before is forgotten, too.
        ini.SpecifyIniFile(folder.file(kSettings));
        ini.SpecifyIniFile(path);
    }
    QVERIFY(ini.fileName().isEmpty());

    qint32 number = kUntouched;
    QCOMPARE(ini.ReadNumber(QStringLiteral("config"), QStringLiteral("language"), number), qint16(1));
    QCOMPARE(number, kUntouched);
    QCOMPARE(ini.ErrorMsg, kNoFile);

    ini.ErrorMsg.clear();
    QString text = QStringLiteral("left over");
    QCOMPARE(ini.ReadString(QStringLiteral("config"), QStringLiteral("language"), 255, text), qint16(1));
    QCOMPARE(text, QString());
    QCOMPARE(ini.ErrorMsg, kNoFile);

    ini.ErrorMsg.clear();
    QCOMPARE(ini.WriteString(QStringLiteral("config"), QStringLiteral("language"), QStringLiteral("2")), qint16(1));
    QCOMPARE(ini.ErrorMsg, kNoFile);
    QVERIFY2(QDir(folder.path()).isEmpty(), "a write without a file created one");
    QCOMPARE(ini.ErrorCode, qint16(0));
}

void TestCINIFile::specifyIniFile_blanksKeptOrStateNotReset()
{
    ProgramFolder folder;
    folder.writeFile(kSettings, "[config]\nlanguage=2\n");
    CINIFile ini;
    ini.ErrorCode = 5;
    ini.ErrorMsg = QStringLiteral("old");
    ini.SpecifyIniFile(QStringLiteral("  ") + folder.file(kSettings) + QStringLiteral("\t "));
    QCOMPARE(ini.fileName(), folder.file(kSettings));
    QCOMPARE(ini.ErrorCode, qint16(0));
    QCOMPARE(ini.ErrorMsg, QString());
    qint32 number = kUntouched;
    QCOMPARE(ini.ReadNumber(QStringLiteral("config"), QStringLiteral("language"), number), qint16(0));
    QCOMPARE(number, 2);
}

void TestCINIFile::errorMsg_staleAfterSuccess()
{
    ProgramFolder folder;
    folder.writeFile(kSettings, "[config]\nlanguage=2\n");
    CINIFile ini;
    ini.SpecifyIniFile(folder.file(kSettings));
    qint32 number = kUntouched;
    QCOMPARE(ini.ReadNumber(QStringLiteral("config"), QStringLiteral("missing"), number), qint16(3));
    QCOMPARE(ini.ErrorMsg, kCannotRead);
    QCOMPARE(ini.ReadNumber(QStringLiteral("config"), QStringLiteral("language"), number), qint16(0));
    QCOMPARE(ini.ErrorMsg, QString());
    QCOMPARE(ini.ErrorCode, qint16(0));
}

void TestCINIFile::writeString_otherLinesLostOrMisplaced_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("replace keeps other lines")
        << true << QByteArray("; top\r\n[a]\r\nlanguage=1\r\n\r\n[config]\r\n  language = 2\r\nother=3\r\n")
        << QStringLiteral("CONFIG") << QStringLiteral(" Language ") << QStringLiteral("5")
        << QByteArray("; top\r\n[a]\r\nlanguage=1\r\n\r\n[config]\r\n  language =5\r\nother=3\r\n");
    QTest::newRow("first of duplicate keys replaced")
        << true << QByteArray("[config]\nlanguage=1\nlanguage=2\n")
        << QStringLiteral("config") << QStringLiteral("language") << QStringLiteral("3")
        << QByteArray("[config]\nlanguage=3\nlanguage=2\n");
    QTest::newRow("new key ends its section")
        << true << QByteArray("[config]\nlanguage=2\n\n[b]\ny=1\n")
        << QStringLiteral("config") << QStringLiteral("size") << QStringLiteral("9")
        << QByteArray("[config]\nlanguage=2\nsize=9\n\n[b]\ny=1\n");
    QTest::newRow("new key in an empty last section")
        << true << QByteArray("[a]\nx=1\n[config]")
        << QStringLiteral("config") << QStringLiteral("language") << QStringLiteral("4")
        << QByteArray("[a]\nx=1\n[config]\nlanguage=4\n");
    QTest::newRow("new section appended")
        << true << QByteArray("[a]\nx=1")
        << QStringLiteral("config") << QStringLiteral("language") << QStringLiteral("4")
        << QByteArray("[a]\nx=1\n[config]\nlanguage=4\n");
    QTest::newRow("BOM, comments and Chinese kept")
        << true << QByteArray("\xEF\xBB\xBF; 设置\r\n[config]\r\nname=中文\r\nlanguage=2\r\n")
        << QStringLiteral("config") << QStringLiteral("language") << QStringLiteral("3")
        << QByteArray("\xEF\xBB\xBF; 设置\r\n[config]\r\nname=中文\r\nlanguage=3\r\n");
    QTest::newRow("empty value")
        << true << QByteArray("[config]\nlanguage=2\n")
        << QStringLiteral("config") << QStringLiteral("language") << QString()
        << QByteArray("[config]\nlanguage=\n");
    QTest::newRow("new file")
        << false << QByteArray()
        << QStringLiteral("config") << QStringLiteral("language") << QStringLiteral("2")
        << QByteArray("[config]\r\nlanguage=2\r\n");
}

void TestCINIFile::writeString_otherLinesLostOrMisplaced()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    ProgramFolder folder;
    if (exists)
        folder.writeFile(kSettings, before);
    CINIFile ini;
    ini.SpecifyIniFile(folder.file(kSettings));
    QCOMPARE(ini.WriteString(section, key, value), qint16(0));
    QCOMPARE(ini.ErrorMsg, QString());
    QCOMPARE(readAll(folder.file(kSettings)), after);

    CINIFile reader;
    reader.SpecifyIniFile(folder.file(kSettings));
    QString read = QStringLiteral("left over");
    const qint16 result = reader.ReadString(section, key, 255, read);
    QCOMPARE(result, qint16(value == QLatin1String("1") ? 3 : 0));
    QCOMPARE(read, value.trimmed());
    QVERIFY2(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size() == 1, "a temporary file was left behind");
}

void TestCINIFile::writeString_failureUnreportedOrDestructive_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const QString language = QStringLiteral("language");
    QTest::newRow("folder missing") << QStringLiteral("no folder") << language << QStringLiteral("2");
    QTest::newRow("path is a folder") << QStringLiteral("folder") << language << QStringLiteral("2");
    QTest::newRow("read-only file") << QStringLiteral("read-only") << language << QStringLiteral("2");
    QTest::newRow("file above the size cap") << QStringLiteral("huge") << language << QStringLiteral("2");
    QTest::newRow("file not UTF-8") << QStringLiteral("not utf-8") << language << QStringLiteral("2");
    QTest::newRow("line break in value") << QStringLiteral("plain") << language << QStringLiteral("2\n[x]");
    QTest::newRow("line break in key") << QStringLiteral("plain") << QStringLiteral("a\rb") << QStringLiteral("2");
    QTest::newRow("empty key") << QStringLiteral("plain") << QStringLiteral("  ") << QStringLiteral("2");
    QTest::newRow("= in key") << QStringLiteral("plain") << QStringLiteral("a=b") << QStringLiteral("2");
    QTest::newRow("key read as a comment") << QStringLiteral("plain") << QStringLiteral(";k") << QStringLiteral("2");
}

void TestCINIFile::writeString_failureUnreportedOrDestructive()
{
    QFETCH(QString, what);
    QFETCH(QString, key);
    QFETCH(QString, value);
    ProgramFolder folder;
    QString path = folder.file(kSettings);
    QByteArray before = "[config]\nlanguage=1\n";
    if (what == QLatin1String("no folder")) {
        path = folder.file(QStringLiteral("missing/") + kSettings);
    } else if (what == QLatin1String("folder")) {
        QVERIFY(QDir(folder.path()).mkdir(kSettings));
    } else {
        if (what == QLatin1String("huge"))
            before += QByteArray(kCap, ';') + "\n[tail]\nkept=1\n";
        else if (what == QLatin1String("not utf-8"))
            before += "name=\xC4\xE3\xBA\xC3\n";
        folder.writeFile(kSettings, before);
        if (what == QLatin1String("read-only")) {
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
            if (QFileInfo(path).isWritable())
                QSKIP("this user may write read-only files");
        }
    }
    CINIFile ini;
    ini.SpecifyIniFile(path);
    QCOMPARE(ini.WriteString(QStringLiteral("config"), key, value), qint16(2));
    QCOMPARE(ini.ErrorMsg, kWriteFailed);
    if (QFileInfo(path).isFile())
        QVERIFY2(readAll(path) == before, "a failed write changed the file");
    const QStringList left = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QVERIFY2(left.isEmpty() || left == QStringList{kSettings}, qPrintable(QStringLiteral("files left: ") + left.join(QStringLiteral(", "))));
}

void TestCINIFile::hugeFile_hangsOrMisreads()
{
    ProgramFolder folder;
    QByteArray head = "[config]\nlanguage=3\n";
    // Padding up to where "value=12" is cut after "value=1" by the cap.
    const QByteArray cutLine = "value=12\n";
    QByteArray padding = "; ";
    const qint64 fill = kCap - head.size() - 3 - 7; // 3 for "; " and its line end, 7 for "value=1"
    padding += QByteArray(fill, 'x') + '\n';
    QByteArray content = head + padding + cutLine + "[late]\nk=5\n" + QByteArray(kCap, ';');
    QCOMPARE(qint64((head + padding).size() + 7), kCap);
    folder.writeFile(kSettings, content);

    const QString path = folder.file(kSettings);
    QCOMPARE(readNumber(path, QStringLiteral("config"), QStringLiteral("language")).value, 3);
    QVERIFY2(readNumber(path, QStringLiteral("config"), QStringLiteral("value")).result == 3,
             "a line cut by the size cap was read");
    QVERIFY2(readNumber(path, QStringLiteral("late"), QStringLiteral("k")).result == 3,
             "a key beyond the size cap was read");
}

void TestCINIFile::nonRegularFile_hangs()
{
#ifdef Q_OS_UNIX
    // Opening a pipe without a writer would wait for ever.
    ProgramFolder folder;
    const QString path = folder.file(kSettings);
    QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    const Number read = readNumber(path, QStringLiteral("config"), QStringLiteral("language"));
    QCOMPARE(read.result, qint16(3));
    QCOMPARE(read.value, kUntouched);
    CINIFile ini;
    ini.SpecifyIniFile(path);
    QCOMPARE(ini.WriteString(QStringLiteral("config"), QStringLiteral("language"), QStringLiteral("2")), qint16(2));
    QVERIFY2(!QFileInfo(path).isFile(), "the pipe was replaced by a file");
#else
    QSKIP("needs named pipes");
#endif
}

void TestCINIFile::readLanguage_wrongCodeOrPath_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("trailingSlash");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("code");

    constexpr int kBefore = 9; // languageCode before the read
    QTest::newRow("language 2") << true << QByteArray("[config]\nlanguage=2\n") << false << 0 << 2;
    QTest::newRow("language 0") << true << QByteArray("[config]\nlanguage=0\n") << false << 0 << 0;
    QTest::newRow("language 1") << true << QByteArray("[config]\nlanguage=1\n") << false << 0 << 1;
    QTest::newRow("folder ending with /") << true << QByteArray("[config]\nlanguage=2\n") << true << 0 << 2;
    QTest::newRow("largest 16-bit") << true << QByteArray("[config]\nlanguage=32767\n") << false << 0 << 32767;
    QTest::newRow("smallest 16-bit") << true << QByteArray("[config]\nlanguage=-32768\n") << false << 0 << -32768;
    QTest::newRow("above 16 bits") << true << QByteArray("[config]\nlanguage=32768\n") << false << 1 << kBefore;
    QTest::newRow("below 16 bits") << true << QByteArray("[config]\nlanguage=-32769\n") << false << 1 << kBefore;
    QTest::newRow("would wrap to 2") << true << QByteArray("[config]\nlanguage=4294967298\n") << false << 1 << kBefore;
    QTest::newRow("key in another section") << true << QByteArray("[other]\nlanguage=2\n") << false << 1 << kBefore;
    QTest::newRow("missing file") << false << QByteArray() << false << 1 << kBefore;
}

void TestCINIFile::readLanguage_wrongCodeOrPath()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(bool, trailingSlash);
    QFETCH(int, result);
    QFETCH(int, code);
    ProgramFolder folder;
    if (exists)
        folder.writeFile(kSettings, content);
    folder.install();
    if (trailingSlash)
        GlVexM.programFolder = folder.path() + u'/';
    GlVexM.languageCode = 9;

    trenix::InitIniFile();
    QVERIFY(GlVexM.iniFile);
    QCOMPARE(GlVexM.iniFile->fileName(), folder.path() + u'/' + kSettings);
    QCOMPARE(trenix::ReadLanguage(), qint16(result));
    QCOMPARE(GlVexM.languageCode, qint16(code));
}

QTEST_GUILESS_MAIN(TestCINIFile)
#include "tst_cinifile.moc"
