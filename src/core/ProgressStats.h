// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Calendar arithmetic of the history: the player's local days, the streak of
// days practised, the periods the chart shows; and the report the progress
// window draws, gathered from the two stores.
#include "GameHistory.h"
#include "ReviewQueue.h"

#include <QTimeZone>
#include <vector>

namespace trenix {

class PracticeStore;

// Days since 1970-01-01 in local time, for a UTC instant and an offset east of UTC.
qint64 localDay(qint64 utcMs, qint32 utcOffsetS);
// Today for the wall clock's instant in its zone.
qint64 localToday(qint64 utcMs, const QTimeZone &zone);
// Offset of the zone from UTC at that instant, in seconds.
qint32 utcOffsetAt(qint64 utcMs, const QTimeZone &zone);

// Days in a row with a game, counted back from today; a day without a game yet
// today does not break it until the day is over. Days newest first, distinct.
int currentStreak(const std::vector<qint64> &daysNewestFirst, qint64 today);

// The first instant of the last `days` local calendar days (today included);
// 0 days means the whole history.
qint64 periodStartUtc(int days, qint64 nowUtcMs, const QTimeZone &zone);

// One local day of the chart: its games' mean and best speed, and their mean
// accuracy (none when no game of the day had an entry).
struct DayPoint {
    qint64 day = 0; // as localDay() counts
    qint64 games = 0;
    double meanSpeed = 0, bestSpeed = 0;
    std::optional<double> meanAccuracy;
};
// The games, oldest first, gathered by the local day each was played on.
std::vector<DayPoint> byDay(const std::vector<GamePoint> &games);

struct ProgressReport {
    ProgressSummary summary;
    std::vector<MissedWord> missed;
    std::vector<RecentGame> recent;
};

// The review as the progress window sums it up.
struct ReviewSummary {
    qint64 dueToday = 0; // due by the end of the local day
    qint64 dueWeek = 0;  // due by the end of the sixth day after today
    qint64 learned = 0;  // next interval of ReviewQueue::kLearnedDays or more
};

ReviewSummary reviewSummary(ReviewQueue &review, qint64 nowUtcMs, const QTimeZone &zone);

inline constexpr int kMissedShown = 10;
inline constexpr int kRecentShown = 100;

// Everything but the chart; the missed words in the script of this language's
// dictionary, with its pinyin and English, when a practice store is given.
// Throws Error when the practice store fails.
ProgressReport buildReport(GameHistory &games, PracticeStore *practice, int language, qint64 nowUtcMs,
                           const QTimeZone &zone);

} // namespace trenix
