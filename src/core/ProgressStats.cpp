// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgressStats.h"

#include "PracticeStore.h"

#include <QDateTime>
#include <map>

namespace trenix {

namespace {
constexpr qint64 kDayS = 86400;

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
} // namespace

qint64 localDay(qint64 utcMs, qint32 utcOffsetS) { return floorDiv(floorDiv(utcMs, 1000) + utcOffsetS, kDayS); }

qint32 utcOffsetAt(qint64 utcMs, const QTimeZone &zone)
{
    return zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC)); // 0 for an invalid zone
}

qint64 localToday(qint64 utcMs, const QTimeZone &zone) { return localDay(utcMs, utcOffsetAt(utcMs, zone)); }

int currentStreak(const std::vector<qint64> &daysNewestFirst, qint64 today)
{
    if (daysNewestFirst.empty())
        return 0;
    qint64 expected = daysNewestFirst.front() == today ? today : today - 1;
    int streak = 0;
    for (qint64 day : daysNewestFirst) {
        if (day > expected)
            continue; // a game dated after today (the clock was set back) counts for nothing
        if (day != expected)
            break;
        ++streak;
        --expected;
    }
    return streak;
}

qint64 periodStartUtc(int days, qint64 nowUtcMs, const QTimeZone &zone)
{
    if (days <= 0)
        return 0;
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(nowUtcMs, zone.isValid() ? zone : QTimeZone::utc());
    const QDate first = now.date().addDays(-(days - 1));
    return QDateTime(first, QTime(0, 0), now.timeZone()).toMSecsSinceEpoch();
}

ReviewSummary reviewSummary(ReviewQueue &review, qint64 nowUtcMs, const QTimeZone &zone)
{
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(nowUtcMs, zone.isValid() ? zone : QTimeZone::utc());
    // The last millisecond before local midnight, days from today.
    const auto endOfDay = [&now](int days) {
        return QDateTime(now.date().addDays(days + 1), QTime(0, 0), now.timeZone()).toMSecsSinceEpoch() - 1;
    };
    return {review.dueBy(endOfDay(0)), review.dueBy(endOfDay(6)), review.learned()};
}

std::vector<DayPoint> byDay(const std::vector<GamePoint> &games)
{
    struct Sums {
        DayPoint point;
        double speeds = 0, accuracies = 0;
        qint64 withAccuracy = 0;
    };
    // By day, not by order: a game played abroad may fall on an earlier local day than the one before it.
    std::map<qint64, Sums> days;
    for (const GamePoint &g : games) {
        const qint64 day = localDay(g.startUtcMs, g.utcOffsetS);
        Sums &d = days[day];
        d.point.day = day;
        ++d.point.games;
        d.speeds += g.speed;
        d.point.bestSpeed = std::max(d.point.bestSpeed, g.speed);
        if (g.accuracy) {
            ++d.withAccuracy;
            d.accuracies += *g.accuracy;
        }
    }
    std::vector<DayPoint> result;
    result.reserve(days.size());
    for (auto &[day, d] : days) {
        d.point.meanSpeed = d.speeds / double(d.point.games);
        if (d.withAccuracy > 0)
            d.point.meanAccuracy = d.accuracies / double(d.withAccuracy);
        result.push_back(d.point);
    }
    return result;
}

ProgressReport buildReport(GameHistory &progress, PracticeStore *practice, int language, qint64 nowUtcMs,
                           const QTimeZone &zone)
{
    ProgressReport report;
    report.summary = progress.summary(localToday(nowUtcMs, zone));
    report.missed = progress.mostMissed(kMissedShown);
    report.recent = progress.recent(kRecentShown);
    // Without a dictionary for this language the words stand alone; a failing store throws.
    if (practice && practice->hasDictionary(language)) {
        for (MissedWord &m : report.missed) {
            // An entry in the script of this language; a word of its own as it was typed.
            const std::optional<DetailEntry> entry =
                m.isEntry ? practice->entryDetail(language, m.word) : practice->detail(language, m.word);
            if (entry) {
                m.word = entry->cz;
                m.pinyin = entry->py;
                m.english = entry->yw;
            }
        }
    }
    return report;
}

} // namespace trenix
