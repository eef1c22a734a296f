// The settings-file reader on a file with fuzzed bytes: no crash, no hang, and
// a write of one key changes that key only.
#include "CINIFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using trenix::CINIFile;

namespace {
void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_cinifile: %s\n", what);
        std::abort();
    }
}

QString readString(CINIFile &ini, const QString &section, const QString &key)
{
    QString value;
    return ini.ReadString(section, key, 4096, value) == 0 ? value : QStringLiteral("<none>");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.dat"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    CINIFile ini;
    ini.SpecifyIniFile(path);
    const QString config = QStringLiteral("config");
    qint32 number = -7;
    const qint16 rc = ini.ReadNumber(config, QStringLiteral("language"), number);
    check(rc == 0 || rc == 3, "ReadNumber gave an unknown result");
    check(rc == 0 || number == -7, "a failed ReadNumber changed the number");
    QString shortValue;
    ini.ReadString(config, QStringLiteral("language"), qint32(size % 8), shortValue);
    check(shortValue.size() < qsizetype(size % 8) || shortValue.isEmpty(), "ReadString kept more than Size - 1");

    const QString otherBefore = readString(ini, QStringLiteral("other"), QStringLiteral("k"));
    const QString siblingBefore = readString(ini, config, QStringLiteral("x"));
    if (ini.WriteString(config, QStringLiteral("language"), QStringLiteral("5")) != 0)
        return 0; // refused (not UTF-8, unwritable): the file must be as it was
    qint32 after = 0;
    check(ini.ReadNumber(config, QStringLiteral("language"), after) == 0 && after == 5,
          "the written value does not read back");
    check(readString(ini, QStringLiteral("other"), QStringLiteral("k")) == otherBefore,
          "a write changed a key of another section");
    check(readString(ini, config, QStringLiteral("x")) == siblingBefore,
          "a write changed another key of the same section");
    return 0;
}
