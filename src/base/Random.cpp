// SPDX-License-Identifier: GPL-3.0-or-later
#include "Random.h"

#include <QDateTime>

namespace trenix {

namespace {
// SplitMix64: small, fast, and every seed gives its own well-mixed sequence.
constexpr quint64 kRestartState = 0x853C49E6748FEA9BULL;
constexpr quint64 kGolden = 0x9E3779B97F4A7C15ULL;
} // namespace

void Random::restart() { m_state = kRestartState; }

void Random::seed(qint32 seed)
{
    // Replaces the whole state, so the sequence depends on the seed alone.
    m_state = kRestartState ^ (quint64(quint32(seed)) * kGolden);
}

void Random::seedFromTime() { seed(qint32(QDateTime::currentMSecsSinceEpoch() & 0x7fffffff)); }

double Random::next()
{
    m_state += kGolden;
    quint64 z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return double(z >> 11) * (1.0 / 9007199254740992.0); // 2^-53: always < 1
}

} // namespace trenix
