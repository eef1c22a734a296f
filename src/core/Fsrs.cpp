// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fsrs.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace trenix::fsrs {

namespace {

// FSRS-6's default weights w0 .. w20, as ts-fsrs 5.4.2 ships them (default_w).
// w17 .. w19 serve only the short-term steps, which we leave off.
constexpr std::array<double, 21> w = {
    0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194, 0.001,  1.8722, 0.1666, 0.796,
    1.4835, 0.0614, 0.2629, 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542,
};
constexpr double kRequestRetention = 0.9;
constexpr int kMaximumInterval = 36500;
constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500;
constexpr qint64 kDayMs = 24 * 60 * 60 * 1000;

// JavaScript's Math.round: a half goes up, also below zero.
double jsRound(double x)
{
    const double down = std::floor(x);
    return x - down >= 0.5 ? down + 1 : down;
}

// ts-fsrs rounds nearly every result to 8 decimals; matching it keeps the
// intervals the same where a value lands near a half day.
double round8(double x) { return jsRound(x * 1e8) / 1e8; }

double clamp(double x, double low, double high) { return std::min(std::max(x, low), high); }

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

const double kDecay = -w[20];
const double kFactor = round8(std::exp(std::pow(kDecay, -1) * std::log(0.9)) - 1);
const double kIntervalModifier = round8((std::pow(kRequestRetention, 1 / kDecay) - 1) / kFactor);

double forgettingCurve(double elapsedDays, double stability)
{
    return round8(std::pow(1 + kFactor * elapsedDays / stability, kDecay));
}

double initDifficulty(int g) { return round8(w[4] - std::exp((g - 1) * w[5]) + 1); }

double initStability(int g) { return std::max(w[g - 1], 0.1); }

double nextDifficulty(double d, int g)
{
    const double delta = -w[6] * (g - 3);
    const double damped = d + round8(delta * (10 - d) / 9); // smaller steps near 10
    return clamp(round8(w[7] * initDifficulty(4) + (1 - w[7]) * damped), 1, 10);
}

double recallStability(double d, double s, double r, int g)
{
    const double hardPenalty = g == int(Rating::Hard) ? w[15] : 1;
    const double easyBonus = g == int(Rating::Easy) ? w[16] : 1;
    return round8(clamp(s
                            * (1
                               + std::exp(w[8]) * (11 - d) * std::pow(s, -w[9]) * (std::exp((1 - r) * w[10]) - 1)
                                     * hardPenalty * easyBonus),
                        kMinStability, kMaxStability));
}

double forgetStability(double d, double s, double r)
{
    return round8(clamp(w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) * std::exp((1 - r) * w[14]),
                        kMinStability, kMaxStability));
}

// Without short-term steps a lapse never raises the stability.
double nextStability(const Card &card, double r, int g)
{
    if (card.state == CardState::New)
        return initStability(g);
    if (g == int(Rating::Again))
        return clamp(round8(card.stability), kMinStability, forgetStability(card.difficulty, card.stability, r));
    return recallStability(card.difficulty, card.stability, r, g);
}

int nextInterval(double stability)
{
    return int(std::min(std::max(1.0, jsRound(stability * kIntervalModifier)), double(kMaximumInterval)));
}

} // namespace

Scheduled review(const Card &card, Rating rating, qint64 atMs)
{
    const bool isNew = card.state == CardState::New;
    const qint64 elapsed =
        isNew ? 0 : std::max<qint64>(0, floorDiv(atMs, kDayMs) - floorDiv(card.lastReviewMs, kDayMs));
    const double r = isNew ? 0 : forgettingCurve(double(elapsed), card.stability);

    // Each rating's interval is kept above the one of the rating below it, so all four are needed. (ts-fsrs
    // also caps Again at Hard's; without short-term steps Again's stability never exceeds Hard's.)
    std::array<int, 4> intervals;
    for (int g = 1; g <= 4; ++g)
        intervals[g - 1] = nextInterval(nextStability(card, r, g));
    for (int i = 1; i < 4; ++i)
        intervals[i] = std::max(intervals[i], intervals[i - 1] + 1);

    const int g = int(rating);
    Scheduled next{card, intervals[g - 1]};
    next.card.stability = nextStability(card, r, g);
    next.card.difficulty = isNew ? clamp(initDifficulty(g), 1, 10) : nextDifficulty(card.difficulty, g);
    next.card.dueMs = atMs + next.intervalDays * kDayMs;
    next.card.lastReviewMs = atMs;
    next.card.reps = card.reps + 1;
    next.card.lapses = card.lapses + (!isNew && rating == Rating::Again ? 1 : 0);
    next.card.state = CardState::Review;
    return next;
}

double retrievability(const Card &card, qint64 atMs)
{
    if (card.state == CardState::New)
        return 0;
    // ts-fsrs reads the stability to 8 decimals here; ours already is.
    const qint64 elapsed = std::max<qint64>(0, floorDiv(atMs - card.lastReviewMs, kDayMs));
    return forgettingCurve(double(elapsed), card.stability);
}

} // namespace trenix::fsrs
