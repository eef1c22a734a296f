// The settings-file class and the start-up procedures that read the language.
#include "CINIFile.h"
#include "GlVexM.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>
#include <sys/stat.h>

using trenix::CINIFile;
using trenix::GlVexM;
using trenix::test::ProgramFolder;

namespace {
const QString kSettings = QStringLiteral("config.dat");
const QString kConfig = QStringLiteral("config");
const QString kLanguage = QStringLiteral("language");
constexpr qint32 kUntouched = 777;
constexpr qint64 kCap = 1024 * 1024;
} // namespace

class TestCINIFile : public QObject {
    Q_OBJECT

private slots:
    void init() { trenix::test::resetAll(nullptr, nullptr, nullptr); }

    void read_wrongValueOrLookup_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<qint32>("size");        // of the ReadString buffer
        QTest::addColumn<qint32>("number");      // kUntouched: not found
        QTest::addColumn<QString>("text");       // null: ReadString gives 3
        const auto row = [](const char *name, const QByteArray &content, qint32 number, const QString &text, qint32 size = 255) {
            QTest::newRow(name) << content << size << number << text;
        };
        QByteArray garbage(4096, '\0');
        QRandomGenerator(1).fillRange(reinterpret_cast<quint32 *>(garbage.data()), garbage.size() / 4);
        row("binary garbage", garbage.replace('=', '\0'), kUntouched, QString()); // no accidental key line
        row("language 1", "[config]\nlanguage=1\n", 1, QString());
        row("non-numeric string one too long", "[config]\nlanguage=hello\n", 0, QStringLiteral("hell"), 5);
        row("digits then letters", "[config]\nlanguage=12abc\n", 12, QStringLiteral("12abc"));
        row("key only in another section", "[other]\nlanguage=2\n[config]\nx=1\n", kUntouched, QString());
        row("key in a later section, not the first one's", "[config]\nx=1\n[other]\nlanguage=2\n", kUntouched, QString());
        row("huge number clamped, not wrapped", "[config]\nlanguage=99999999999\n", 2147483647, QStringLiteral("99999999999"));
        row("huge negative clamped", "[config]\nlanguage=-99999999999\n", -2147483647 - 1, QStringLiteral("-99999999999"));
        row("missing file", QByteArray(), kUntouched, QString());
        row("empty file", "", kUntouched, QString());
        row("upper-case names in file", "[CONFIG]\nLANGUAGE=3\n", 3, QStringLiteral("3"));
        row("UTF-8 BOM and CRLF", "\xEF\xBB\xBF[config]\r\nlanguage=4\r\n", 4, QStringLiteral("4"));
        row("duplicate keys: first wins", "[config]\nlanguage=7\nLanguage=8\n", 7, QStringLiteral("7"));
        row("duplicate sections: first wins", "[config]\nlanguage=7\n[Config]\nlanguage=8\n", 7, QStringLiteral("7"));
        row("largest 16-bit", "[config]\nlanguage=32767\n", 32767, QStringLiteral("32767"));
        row("smallest 16-bit", "[config]\nlanguage=-32768\n", -32768, QStringLiteral("-32768"));
        row("above 16 bits", "[config]\nlanguage=32768\n", 32768, QStringLiteral("32768"));
        row("key at the start of a huge file", "[config]\nlanguage=3\n" + QByteArray(kCap, ';'), 3, QStringLiteral("3"));
        // The size cap falls after "language=1".
        row("line cut by the size cap", "[config]\n" + QByteArray(kCap - 20, ';') + "\nlanguage=12\n", kUntouched, QString());
    }
    void read_wrongValueOrLookup()
    {
        QFETCH(QByteArray, content);
        QFETCH(qint32, size);
        QFETCH(qint32, number);
        QFETCH(QString, text);
        ProgramFolder folder;
        if (!content.isNull())
            folder.writeFile(kSettings, content);
        CINIFile ini;
        ini.SpecifyIniFile(folder.file(kSettings));
        const bool found = number != kUntouched;
        qint32 value = kUntouched;
        QCOMPARE(ini.ReadNumber(kConfig, kLanguage, value), qint16(found ? 0 : 3));
        QCOMPARE(value, number);
        QCOMPARE(ini.ErrorMsg, found ? QString() : QStringLiteral("不能读取"));
        QString read = QStringLiteral("left over");
        QCOMPARE(ini.ReadString(kConfig, kLanguage, size, read), qint16(text.isNull() ? 3 : 0));
        QCOMPARE(read, text);

        GlVexM.programFolder = folder.path() + u'/'; // a folder ending with '/' gives no "//"
        GlVexM.languageCode = 9;
        trenix::InitIniFile();
        QVERIFY(GlVexM.iniFile);
        QCOMPARE(GlVexM.iniFile->fileName(), folder.file(kSettings));
        const bool valid = found && number >= -32768 && number <= 32767;
        QCOMPARE(trenix::ReadLanguage(), qint16(valid ? 0 : 1));
        QCOMPARE(GlVexM.languageCode, qint16(valid ? number : 9));
        QFile file(folder.file(kSettings));
        QVERIFY2(file.exists() == !content.isNull(), "reading created the settings file");
        QVERIFY2(content.isNull() || (file.open(QIODevice::ReadOnly) && file.readAll() == content), "reading changed the settings file");
    }

    void beforeSpecify_operationRunsWithoutFile()
    {
        CINIFile ini;
        qint32 number = kUntouched;
        QString text = QStringLiteral("left over");
        const QList<qint16> results{ini.ReadNumber(kConfig, kLanguage, number), ini.ReadString(kConfig, kLanguage, 255, text),
                                    ini.WriteString(kConfig, kLanguage, QStringLiteral("2"))};
        QCOMPARE(results, QList<qint16>(3, qint16(1)));
        QCOMPARE(ini.ErrorMsg, QStringLiteral("没有指定 INI 文件"));
        QCOMPARE(number, kUntouched);
        QCOMPARE(text, QString());
        QCOMPARE(ini.ErrorCode, qint16(0));
    }

    void writeString_fileDamagedOrFailureUnreported_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: a named pipe in its place
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after"); // null: the write fails and leaves the file
        const QByteArray plain = "[config]\nlanguage=1\n";
        QTest::newRow("replace keeps other lines")
            << QByteArray("; top\r\n[a]\r\nlanguage=1\r\n\r\n[Config]\r\n  LANGUAGE = 2\r\nother=3\r\n") << QStringLiteral("5")
            << QByteArray("; top\r\n[a]\r\nlanguage=1\r\n\r\n[Config]\r\n  LANGUAGE =5\r\nother=3\r\n");
        QTest::newRow("LF file with a blank line stays LF")
            << QByteArray("[a]\nx=1\n\n[config]\nlanguage=1\n") << QStringLiteral("5") << QByteArray("[a]\nx=1\n\n[config]\nlanguage=5\n");
        QTest::newRow("file above the size cap") << plain + QByteArray(kCap, ';') + "\n[tail]\nkept=1\n" << QStringLiteral("2") << QByteArray();
        QTest::newRow("file not UTF-8") << plain + "name=\xC4\xE3\xBA\xC3\n" << QStringLiteral("2") << QByteArray();
        QTest::newRow("line break in value") << plain << QStringLiteral("2\n[x]") << QByteArray();
        QTest::newRow("a pipe, neither read nor replaced") << QByteArray() << QStringLiteral("2") << QByteArray();
    }
    void writeString_fileDamagedOrFailureUnreported()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        ProgramFolder folder;
        const QString path = folder.file(kSettings);
        if (before.isNull())
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else
            folder.writeFile(kSettings, before);
        CINIFile ini;
        ini.SpecifyIniFile(path);
        qint32 number = kUntouched;
        QCOMPARE(ini.ReadNumber(kConfig, kLanguage, number), qint16(before.isNull() ? 3 : 0));
        QCOMPARE(ini.WriteString(kConfig, kLanguage, value), qint16(after.isNull() ? 2 : 0));
        QCOMPARE(ini.ErrorMsg, after.isNull() ? QStringLiteral("写入失败") : QString());
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{kSettings});
        QFile file(path);
        QVERIFY2(before.isNull() ? !QFileInfo(path).isFile() : file.open(QIODevice::ReadOnly) && file.readAll() == (after.isNull() ? before : after),
                 "the file holds other bytes, or the pipe was replaced by a file");
    }
};

QTEST_GUILESS_MAIN(TestCINIFile)
#include "tst_cinifile.moc"
