// SPDX-License-Identifier: GPL-3.0-or-later
#include "CEncryption.h"

#include <algorithm>

// Character codes: a character up to U+00FF has its Latin-1 code; any other
// character has no single-byte code. In a text it is dropped like every code
// outside 32..126; in a key it is skipped (it neither changes the seed nor
// moves the shift counters), so "密a" and "a" are the same key.
// Texts and keys longer than 32767 characters work as well; nothing here is
// limited to 16 bits.

namespace trenix {

namespace {

constexpr int kFirstPrintable = 32;
constexpr int kLastPrintable = 126;
constexpr int kPrintableCount = kLastPrintable - kFirstPrintable + 1; // 95

bool isPrintable(QChar ch) { return ch.unicode() >= kFirstPrintable && ch.unicode() <= kLastPrintable; }

} // namespace

qint32 CEncryption::SeedFromKey(const QString &key)
{
    // Unsigned: c <= 255 and shifts <= 22 keep every product within 30 bits,
    // and unsigned shifts and XOR cannot overflow.
    quint32 seed = 0;
    unsigned a = 0;
    unsigned b = 0;
    for (const QChar ch : key) {
        if (ch.unicode() > 0xFF)
            continue;
        const quint32 c = ch.unicode();
        seed ^= (c << a) ^ (c << b);
        a = (a + 7) % 19;
        b = (b + 13) % 23;
    }
    return qint32(seed);
}

void CEncryption::StartSequence(const QString &key)
{
    const qint32 seed = SeedFromKey(key);
    m_generator.restart();
    m_generator.seed(seed);
}

int CEncryption::NextShift()
{
    // A draw is below 1, so the shift is 0..95; the bound guards rounding.
    return std::min(int(m_generator.next() * 96.0), 95);
}

QString CEncryption::Encrypt(const QString &key, const QString &text) { return Shift(key, text, +1); }

QString CEncryption::Decrypt(const QString &key, const QString &text) { return Shift(key, text, -1); }

QString CEncryption::Shift(const QString &key, const QString &text, int direction)
{
    StartSequence(key);
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        if (!isPrintable(ch))
            continue; // dropped, and no draw is made for it
        const int d = ch.unicode() - kFirstPrintable;
        int t = (d + direction * NextShift()) % kPrintableCount;
        if (t < 0)
            t += kPrintableCount;
        result.append(QChar(char16_t(t + kFirstPrintable)));
    }
    return result;
}

} // namespace trenix
