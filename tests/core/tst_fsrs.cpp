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
    int review = 0;
    qint64 atMs = 0;
    int rating = 0;
    double retrievability = 0; // of the card before the review
    double stability = 0;
    double difficulty = 0;
    int scheduledDays = 0;
    qint64 dueMs = 0;
    int state = 0;
    int reps = 0;
    int lapses = 0;
};
using History = QList<Step>;

constexpr double kTolerance = 1e-6; // relative
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
    double largestStability = 0, largestDifficulty = 0, largestRetrievability = 0;

private slots:
    void initTestCase()
    {
        QFile file(QStringLiteral(TRENIX_SOURCE_DIR "/tests/core/data/fsrs_reference.tsv"));
        QVERIFY2(file.open(QIODevice::ReadOnly),
                 qPrintable(file.fileName() + QStringLiteral(": ") + file.errorString()));
        int lineNumber = 0;
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            ++lineNumber;
            if (line.isEmpty() || line.startsWith('#') || line.startsWith("history\t"))
                continue;
            const QList<QByteArray> f = line.split('\t');
            const QByteArray where = "fsrs_reference.tsv line " + QByteArray::number(lineNumber);
            QVERIFY2(f.size() == 12,
                     (where + ": 12 fields expected, " + QByteArray::number(f.size()) + " found").constData());
            bool ok = true;
            const auto integer = [&](int i) {
                bool good = false;
                const qint64 v = f[i].toLongLong(&good);
                ok &= good;
                return v;
            };
            const auto real = [&](int i) {
                bool good = false;
                const double v = f[i].toDouble(&good);
                ok &= good;
                return v;
            };
            const Step step{int(integer(1)), integer(2), int(integer(3)), real(4), real(5), real(6), int(integer(7)),
                            integer(8), int(integer(9)), int(integer(10)), int(integer(11))};
            QVERIFY2(ok, (where + ": a field is not a number").constData());
            if (histories.isEmpty() || histories.last().first != f[0])
                histories.append({f[0], {}});
            histories.last().second.append(step);
        }
        QVERIFY2(!histories.isEmpty(), "fsrs_reference.tsv holds no review");
    }

    void cleanupTestCase()
    {
        qInfo("largest relative differences from ts-fsrs: stability %.3g, difficulty %.3g, retrievability %.3g",
              largestStability, largestDifficulty, largestRetrievability);
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
            const auto say = [&](const char *what, auto ours, auto theirs) {
                return QStringLiteral("%1, review %2 (rating %3 at %4 ms): %5 %6, ts-fsrs %7")
                    .arg(QString::fromLatin1(QTest::currentDataTag())).arg(s.review).arg(s.rating).arg(s.atMs)
                    .arg(QLatin1StringView(what)).arg(ours, 0, 'g', 17).arg(theirs, 0, 'g', 17).toUtf8();
            };
            const double r = retrievability(card, s.atMs);
            largestRetrievability = std::max(largestRetrievability, relativeDifference(r, s.retrievability));
            QVERIFY2(relativeDifference(r, s.retrievability) <= kTolerance,
                     say("retrievability", r, s.retrievability).constData());

            const Scheduled next = review(card, Rating(s.rating), s.atMs);
            QVERIFY2(next.intervalDays == s.scheduledDays,
                     say("interval", double(next.intervalDays), double(s.scheduledDays)).constData());
            QVERIFY2(next.card.dueMs == s.dueMs, say("due", double(next.card.dueMs), double(s.dueMs)).constData());
            QVERIFY2(int(next.card.state) == s.state,
                     say("state", double(next.card.state), double(s.state)).constData());
            QVERIFY2(next.card.reps == s.reps, say("reps", double(next.card.reps), double(s.reps)).constData());
            QVERIFY2(next.card.lapses == s.lapses,
                     say("lapses", double(next.card.lapses), double(s.lapses)).constData());
            largestStability = std::max(largestStability, relativeDifference(next.card.stability, s.stability));
            largestDifficulty = std::max(largestDifficulty, relativeDifference(next.card.difficulty, s.difficulty));
            QVERIFY2(relativeDifference(next.card.stability, s.stability) <= kTolerance,
                     say("stability", next.card.stability, s.stability).constData());
            QVERIFY2(relativeDifference(next.card.difficulty, s.difficulty) <= kTolerance,
                     say("difficulty", next.card.difficulty, s.difficulty).constData());
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
        QCOMPARE(early.intervalDays, sameDay.intervalDays);
        QCOMPARE(early.card.stability, sameDay.card.stability);
        QCOMPARE(early.card.difficulty, sameDay.card.difficulty);
        QCOMPARE(early.card.dueMs, card.lastReviewMs - earlierMs + early.intervalDays * kDayMs);
        QCOMPARE(retrievability(card, card.lastReviewMs - earlierMs), 1.0);
    }
};

QTEST_GUILESS_MAIN(TestFsrs)
#include "tst_fsrs.moc"
