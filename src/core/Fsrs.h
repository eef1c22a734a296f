// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The review's scheduler: FSRS-6 with its published default weights, as the
// ts-fsrs library computes it with fuzz and short-term steps off, so every
// interval is whole days. Pure functions over a plain card; the history keeps
// the card in a table row.
#include <QtGlobal>

namespace trenix::fsrs {

enum class Rating { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// ts-fsrs's numbers, so that kept rows read the same there. Its Learning (1)
// and Relearning (3) only come with short-term steps, which we leave off.
enum class CardState { New = 0, Review = 2 };

// A default card is a new one. Times are ms since 1970-01-01 UTC.
struct Card {
    double stability = 0;  // days until recall falls to 90 %
    double difficulty = 0; // 1 .. 10 once reviewed
    qint64 dueMs = 0;
    qint64 lastReviewMs = 0;
    int reps = 0;
    int lapses = 0; // Again on a card already in review
    CardState state = CardState::New;
};

struct Scheduled {
    Card card;
    int intervalDays = 0; // the card is due this many whole days after the review
};

// The card after a review at a time. Days elapsed count the UTC midnights
// passed since the last review; a review before it (a clock turned back)
// counts as one on the same day.
Scheduled review(const Card &card, Rating rating, qint64 atMs);

// The chance of recall at a time: 0 for a new card, 1 up to a full day after
// the last review, falling with each whole day (of 24 hours, not midnights).
double retrievability(const Card &card, qint64 atMs);

} // namespace trenix::fsrs
