// SPDX-License-Identifier: GPL-3.0-or-later
// The review's scheduler: every history of the ts-fsrs reference file replayed through ours, and the clock turned
// back, which ts-fsrs refuses.
#include "Fsrs.h"

#include <QFile>
#include <QTest>
#include <cmath>

using namespace trenix::fsrs;

namespace {

struct Step { // one review of the reference file and ts-fsrs's card after it
    int review, rating, scheduledDays, state, reps, lapses;
    qint64 atMs, dueMs;
    double retrievability, stability, difficulty; // retrievability: of the card before the review
};
using History = QList<Step>;

constexpr qint64 kDayMs = 24 * 60 * 60 * 1000;

double relativeDifference(double ours, double theirs)
{
    return ours == theirs ? 0 : std::abs(ours - theirs) / std::max(std::abs(ours), std::abs(theirs));
}

} // namespace

Q_DECLARE_METATYPE(History)

class TestFsrs : public QObject {
    Q_OBJECT

    QList<std::pair<QByteArray, History>> histories;

private slots:
    void initTestCase()
    {
        QFile file(QStringLiteral(TRENIX_SOURCE_DIR "/tests/core/data/fsrs_reference.tsv"));
        QVERIFY2(file.open(QIODevice::ReadOnly),
                 qPrintable(file.fileName() + QStringLiteral(": ") + file.errorString()));
        for (int lineNumber = 1; !file.atEnd(); ++lineNumber) {
            const QByteArray line = file.readLine().trimmed();
            if (line.isEmpty() || line.startsWith('#') || line.startsWith("history\t"))
                continue;
            const QList<QByteArray> fields = line.split('\t');
            QList<double> v; // every number of the file fits a double exactly
            bool ok = fields.size() == 12;
            for (qsizetype i = 1; ok && i < fields.size(); ++i)
                v << fields[i].toDouble(&ok);
            QVERIFY2(ok, ("fsrs_reference.tsv line " + QByteArray::number(lineNumber)
                          + ": not a history name and 11 numbers")
                             .constData());
            if (histories.isEmpty() || histories.last().first != fields[0])
                histories.append({fields[0], {}});
            histories.last().second.append({int(v[0]), int(v[2]), int(v[6]), int(v[8]), int(v[9]), int(v[10]),
                                            qint64(v[1]), qint64(v[7]), v[3], v[4], v[5]});
        }
        QVERIFY2(!histories.isEmpty(), "fsrs_reference.tsv holds no review");
    }

    void replay_differsFromTsFsrs_data()
    {
        QTest::addColumn<History>("history");
        for (const auto &[name, history] : std::as_const(histories))
            QTest::newRow(name.constData()) << history;
    }
    void replay_differsFromTsFsrs()
    {
        QFETCH(History, history);
        Card card;
        for (const Step &s : history) {
            const Scheduled next = review(card, Rating(s.rating), s.atMs);
            struct Fact {
                const char *what;
                double ours, theirs, tolerance; // relative
            };
            const Fact facts[] = {
                {"retrievability", retrievability(card, s.atMs), s.retrievability, 1e-6},
                {"interval", double(next.intervalDays), double(s.scheduledDays), 0},
                {"due", double(next.card.dueMs), double(s.dueMs), 0},
                {"state", double(next.card.state), double(s.state), 0},
                {"reps", double(next.card.reps), double(s.reps), 0},
                {"lapses", double(next.card.lapses), double(s.lapses), 0},
                {"stability", next.card.stability, s.stability, 1e-6},
                {"difficulty", next.card.difficulty, s.difficulty, 1e-6},
            };
            for (const Fact &f : facts) {
                QVERIFY2(relativeDifference(f.ours, f.theirs) <= f.tolerance,
                         QStringLiteral("%1, review %2 (rating %3 at %4 ms): %5 %6, ts-fsrs %7")
                             .arg(QString::fromLatin1(QTest::currentDataTag()))
                             .arg(s.review)
                             .arg(s.rating)
                             .arg(s.atMs)
                             .arg(QLatin1StringView(f.what))
                             .arg(f.ours, 0, 'g', 17)
                             .arg(f.theirs, 0, 'g', 17)
                             .toUtf8()
                             .constData());
            }
            card = next.card;
        }
    }

    // A clock turned back must not lose the game's outcome: the review counts as one on the day of the last.
    void reviewBeforeLastOne_notSameDay_data()
    {
        QTest::addColumn<qint64>("earlierMs");
        QTest::addColumn<Rating>("rating");
        QTest::newRow("a minute, again") << qint64(60'000) << Rating::Again;
        QTest::newRow("three days, good") << 3 * kDayMs << Rating::Good;
        QTest::newRow("a year, easy") << 365 * kDayMs << Rating::Easy;
    }
    void reviewBeforeLastOne_notSameDay()
    {
        QFETCH(qint64, earlierMs);
        QFETCH(Rating, rating);
        const qint64 start = 1767225600000 + 12 * 3'600'000; // 2026-01-01 12:00 UTC
        const Card card = review(review(Card{}, Rating::Good, start).card, Rating::Hard, start + 4 * kDayMs).card;
        const Scheduled sameDay = review(card, rating, card.lastReviewMs);
        const Scheduled early = review(card, rating, card.lastReviewMs - earlierMs);
        QCOMPARE(early.card.stability, sameDay.card.stability);
        QCOMPARE(early.card.dueMs + earlierMs, sameDay.card.dueMs); // as many days, counted from the earlier time
        QCOMPARE(retrievability(card, card.lastReviewMs - earlierMs), 1.0);
    }
};

QTEST_GUILESS_MAIN(TestFsrs)
#include "tst_fsrs.moc"
