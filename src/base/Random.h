// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one pseudo-random generator, and the seam through which the
// game draws from it (tests may script the draws).
#include <QtGlobal>

namespace trenix {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Uniform in [0, 1).
    virtual double next() = 0;
};

// SplitMix64 generator with a fixed restart state:
// after restart() and seed(s) the sequence depends on s alone.
class Random final : public RandomSource {
public:
    Random() { restart(); }
    void restart();
    void seed(qint32 seed);
    void seedFromTime();
    double next() override;

private:
    quint64 m_state = 0;
};

} // namespace trenix
