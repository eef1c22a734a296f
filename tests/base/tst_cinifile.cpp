// SPDX-License-Identifier: GPL-3.0-or-later
// The settings-file class and the start-up procedures that read the language.
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <optional>
#include <sys/stat.h>

using namespace trenix;
using namespace Qt::StringLiterals;

namespace {
const QString kSettings = QLatin1String(kSettingsFile), kConfig = u"config"_s, kLanguage = u"language"_s;
constexpr qint32 kUntouched = 777;
constexpr qint64 kCap = 1024 * 1024;

struct Read {
    QByteArray content; // null: no file
    qint32 number;      // kUntouched: not found
    QString text;       // null: ReadString gives 3
    qint32 size = 255;  // of the ReadString buffer
};
} // namespace
Q_DECLARE_METATYPE(Read)

class TestCINIFile : public QObject {
    Q_OBJECT

private slots:
    void read_wrongValueOrLookup_data()
    {
        QTest::addColumn<Read>("r");
        const auto row = [](const char *name, const Read &r) { QTest::newRow(name) << r; };
        row("language 1, whose text reads as the default", {"[config]\nlanguage=1\n", 1, {}});
        row("non-numeric string cut before half a character",
            {"[config]\nlanguage=hel\xF0\x9F\x98\x80\n", 0, u"hel"_s, 5});
        row("digits then letters", {"[config]\nlanguage=12abc\n", 12, u"12abc"_s});
        row("key in a later section, not the first one's", {"[config]\nx=1\n[other]\nlanguage=2\n", kUntouched, {}});
        row("missing file", {QByteArray(), kUntouched, {}});
        row("empty file", {"", kUntouched, {}});
        row("upper-case names, quoted value", {"[CONFIG]\nLANGUAGE=\"3\"\n", 3, u"3"_s});
        row("UTF-8 BOM and CRLF", {"\xEF\xBB\xBF[config]\r\nlanguage=4\r\n", 4, u"4"_s});
        row("duplicate keys: first wins", {"[config]\nlanguage=7\nLanguage=8\n", 7, u"7"_s});
        row("smallest 16-bit", {"[config]\nlanguage=-32768\n", -32768, u"-32768"_s});
        row("above 16 bits", {"[config]\nlanguage=32768\n", 32768, u"32768"_s});
        row("key at the start of a huge file", {"[config]\nlanguage=3\n" + QByteArray(kCap, ';'), 3, u"3"_s});
        // the cap falls just after "language=1"
        row("line cut by the size cap",
            {"[config]\n" + QByteArray(kCap - 20, ';') + "\nlanguage=12\n", kUntouched, {}});
    }
    void read_wrongValueOrLookup()
    {
        QFETCH(Read, r);
        test::ProgramFolder folder;
        if (!r.content.isNull())
            folder.writeFile(kSettings, r.content);
        GlVexM.languageCode = 9;
        InitIniFile(folder.path() + u'/'); // a folder ending with '/' gives no "//"
        QCOMPARE(GlVexM.iniFile->fileName(), folder.file(kSettings));
        const bool found = r.number != kUntouched, valid = found && r.number >= -32768 && r.number <= 32767;
        qint32 value = kUntouched;
        QString text = u"left over"_s;
        // Read number and its result, string result, start-up's language result and code.
        QCOMPARE(
            (QList<qint32>{GlVexM.iniFile->ReadNumber(kConfig, kLanguage, value), value,
                           GlVexM.iniFile->ReadString(kConfig, kLanguage, r.size, text), ReadLanguage(),
                           GlVexM.languageCode}),
            (QList<qint32>{found ? 0 : 3, r.number, r.text.isNull() ? 3 : 0, valid ? 0 : 1, valid ? r.number : 9}));
        QCOMPARE(text, r.text);
        QCOMPARE(QFile::exists(folder.file(kSettings)), !r.content.isNull()); // reading neither creates nor changes it
        QCOMPARE(test::fileBytes(folder.file(kSettings)), r.content);
    }

    void writeString_fileDamagedOrFailureUnreported_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: a named pipe in its place
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after"); // null: the write fails and leaves the file
        const auto row = [](const char *name, const QByteArray &before, const QString &value,
                            const QByteArray &after = {}) { QTest::newRow(name) << before << value << after; };
        row("replace keeps other lines", "; top\r\n[a]\r\nlanguage=1\r\n\r\n[Config]\r\n  LANGUAGE = 2\r\nother=3\r\n",
            u"5"_s, "; top\r\n[a]\r\nlanguage=1\r\n\r\n[Config]\r\n  LANGUAGE =5\r\nother=3\r\n");
        row("LF file with a blank line stays LF", "[a]\nx=1\n\n[config]\nlanguage=1\n", u"5"_s,
            "[a]\nx=1\n\n[config]\nlanguage=5\n");
        row("key added to an LF file in LF", "[a]\nx=1\n", u"5"_s, "[a]\nx=1\n[config]\nlanguage=5\n");
        row("no file: made without a BOM", "(none)", u"5"_s, "[config]\r\nlanguage=5\r\n");
        row("file above the size cap", "[config]\nlanguage=1\n"_ba + QByteArray(kCap, ';') + "\n[tail]\nkept=1\n",
            u"2"_s);
        row("file not UTF-8", "[config]\nlanguage=1\nname=\xC4\xE3\xBA\xC3\n", u"2"_s);
        row("line break in value", "[config]\nlanguage=1\n", u"2\n[x]"_s);
        row("a pipe, neither read nor replaced", QByteArray(), u"2"_s);
        row("disk full: the file as it was, other sections too", "[config]\r\nlanguage=1\r\n[other]\r\nkept=1\r\n",
            u"2"_s);
    }
    void writeString_fileDamagedOrFailureUnreported()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        test::ProgramFolder folder;
        std::optional<test::SmallDisk> disk;
        if (QByteArray(QTest::currentDataTag()).startsWith("disk full") && !disk.emplace().mounted())
            QSKIP("mounting a tmpfs is not permitted here");
        const QDir dir(disk ? disk->path() : folder.path());
        const QString path = dir.filePath(kSettings);
        if (before.isNull())
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else if (before != "(none)")
            test::ProgramFolder::writeFileAt(path, before);
        if (disk)
            disk->fill();
        CINIFile ini;
        ini.SpecifyIniFile(path);
        qint32 number = kUntouched;
        QCOMPARE(ini.ReadNumber(kConfig, kLanguage, number), qint16(before.contains("language=") ? 0 : 3));
        QCOMPARE(ini.WriteString(kConfig, kLanguage, value), qint16(after.isNull() ? 2 : 0));
        if (disk)
            disk->emptyAgain();
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{kSettings});
        QVERIFY2(before.isNull() ? !QFileInfo(path).isFile()
                                 : test::fileBytes(path) == (after.isNull() ? before : after),
                 "the file holds other bytes, or the pipe was replaced by a file");
    }
};

QTEST_GUILESS_MAIN(TestCINIFile)
#include "tst_cinifile.moc"
