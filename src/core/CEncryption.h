// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A keyed shift cipher over the 95 printable ASCII characters; the key seeds
// the program's one generator, whose draws give the shifts.
#include "Random.h"

#include <QString>
#include <QtGlobal>

class TestCEncryption;

namespace trenix {

class CEncryption {
public:
    // Draws from (and leaves in a key-determined state) the given generator,
    // normally the program's one instance.
    explicit CEncryption(Random &generator) : m_generator(generator) {}

    QString Encrypt(const QString &key, const QString &text);
    QString Decrypt(const QString &key, const QString &text);

private:
    friend class ::TestCEncryption;

    static qint32 SeedFromKey(const QString &key);
    void StartSequence(const QString &key);
    int NextShift();
    // Shifts every printable character forward (+1) or back (-1) by the next draw.
    QString Shift(const QString &key, const QString &text, int direction);

    Random &m_generator;
};

} // namespace trenix
