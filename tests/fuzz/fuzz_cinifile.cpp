// SPDX-License-Identifier: GPL-3.0-or-later
// The settings-file reader on a file with fuzzed bytes: no crash, no hang, and
// a write of one key changes that key only.
#include "CINIFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

static void check(bool ok, const char *what)
{
    if (!ok)
        qFatal("fuzz_cinifile: %s", what); // aborts: libFuzzer keeps the input
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.dat"));
    if (QFile file(path); !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                          || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        return 0;

    trenix::CINIFile ini;
    ini.SpecifyIniFile(path);
    const QString config = QStringLiteral("config"), language = QStringLiteral("language");
    qint32 number = -7;
    const qint16 rc = ini.ReadNumber(config, language, number);
    check(rc == 0 || (rc == 3 && number == -7), "ReadNumber gave an unknown result or changed the number on failure");
    QString value;
    ini.ReadString(config, language, qint32(size % 8), value);
    check(value.size() < qsizetype(size % 8) || value.isEmpty(), "ReadString kept more than Size - 1");

    const auto read = [&ini](const char *section, const char *key) {
        QString text;
        return ini.ReadString(QLatin1String(section), QLatin1String(key), 4096, text) == 0 ? text
                                                                                           : QStringLiteral("<none>");
    };
    const QString other = read("other", "k");
    const QString sibling = read("config", "x");
    if (ini.WriteString(config, language, QStringLiteral("5")) != 0)
        return 0; // refused (not UTF-8, unwritable): the file must be as it was
    check(ini.ReadNumber(config, language, number) == 0 && number == 5, "the written value does not read back");
    check(read("other", "k") == other, "a write changed a key of another section");
    check(read("config", "x") == sibling, "a write changed another key of the same section");
    return 0;
}
