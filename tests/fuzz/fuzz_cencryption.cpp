// Cipher round trips on any key and text: the printable characters come back,
// in order, and the cipher text is printable and as long.
#include "cipher/CEncryption.h"

#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_cencryption: %s\n", what);
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString all(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    const qsizetype cut = all.indexOf(QChar(0));
    const QString key = cut < 0 ? QString() : all.left(cut);
    const QString text = cut < 0 ? all : all.mid(cut + 1);

    QString printable;
    for (const QChar ch : text)
        if (ch.unicode() >= 32 && ch.unicode() <= 126)
            printable += ch;

    trenix::Random generator;
    trenix::CEncryption cipher(generator);
    const QString secret = cipher.Encrypt(key, text);
    check(secret.size() == printable.size(), "cipher text length differs from the printable characters");
    for (const QChar ch : secret)
        check(ch.unicode() >= 32 && ch.unicode() <= 126, "cipher text holds a character outside 32..126");
    check(cipher.Decrypt(key, secret) == printable, "round trip lost the text");
    check(cipher.Encrypt(key, text) == secret, "same key and text gave another cipher text");
    return 0;
}
