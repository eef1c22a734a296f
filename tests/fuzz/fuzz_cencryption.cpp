// SPDX-License-Identifier: GPL-3.0-or-later
// Cipher round trips on any key and text: the printable characters come back,
// in order, and the cipher text is printable and as long.
#include "CEncryption.h"

#include <algorithm>
#include <cstdint>

static void check(bool ok, const char *what)
{
    if (!ok)
        qFatal("fuzz_cencryption: %s", what); // aborts: libFuzzer keeps the input
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString all(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    const qsizetype cut = all.indexOf(QChar(0)); // key, NUL, text; no NUL: text only
    const QString key = all.left(std::max<qsizetype>(cut, 0));
    const QString text = all.mid(cut + 1);
    const auto printableChar = [](QChar ch) { return ch.unicode() >= 32 && ch.unicode() <= 126; };
    const QString printable = QString(text).removeIf([&](QChar ch) { return !printableChar(ch); });

    trenix::Random generator;
    trenix::CEncryption cipher(generator);
    const QString secret = cipher.Encrypt(key, text);
    check(secret.size() == printable.size(), "cipher text length differs from the printable characters");
    check(std::all_of(secret.begin(), secret.end(), printableChar), "cipher text holds a character outside 32..126");
    check(cipher.Decrypt(key, secret) == printable, "round trip lost the text");
    check(cipher.Encrypt(key, text) == secret, "same key and text gave another cipher text");
    return 0;
}
