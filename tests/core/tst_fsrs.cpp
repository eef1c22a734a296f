// SPDX-License-Identifier: GPL-3.0-or-later
// The review's scheduler: every history of the ts-fsrs reference file replayed through ours, and the clock turned
// back, which ts-fsrs refuses.
#include "Fsrs.h"

#include <QFile>
#include <QTest>
#include <cmath>

using namespace trenix::fsrs;
using namespace Qt::StringLiterals;

namespace {
// Per review, the numbers of its line: review, at, rating, retrievability of the card before it, and ts-fsrs's card
// after it: stability, difficulty, scheduled days, due, state, reps, lapses.
using History = QList<QList<double>>;
constexpr qint64 kDayMs = 24 * 60 * 60 * 1000;
} // namespace

class TestFsrs : public QObject {
    Q_OBJECT

    QList<std::pair<QByteArray, History>> histories;

private slots:
    void initTestCase()
    {
        QFile file(QStringLiteral(TRENIX_SOURCE_DIR "/tests/core/data/fsrs_reference.tsv"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName() + u": "_s + file.errorString()));
        for (int lineNumber = 1; !file.atEnd(); ++lineNumber) {
            const QByteArray line = file.readLine().trimmed();
            if (line.isEmpty() || line.startsWith('#') || line.startsWith("history\t"))
                continue;
            const QList<QByteArray> fields = line.split('\t');
            QList<double> v; // every number of the file fits a double exactly
            bool ok = fields.size() == 12;
            for (qsizetype i = 1; ok && i < fields.size(); ++i)
                v << fields[i].toDouble(&ok);
            QVERIFY2(ok, qPrintable(u"fsrs_reference.tsv:%1: not a history name and 11 numbers"_s.arg(lineNumber)));
            if (histories.isEmpty() || histories.last().first != fields[0])
                histories.append({fields[0], {}});
            histories.last().second.append(v);
        }
        // No review in it: QFETCH finds no row and aborts the test.
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
        for (const QList<double> &s : history) {
            const Scheduled next = review(card, Rating(int(s[2])), qint64(s[1]));
            const Card &c = next.card;
            QList<qint64> theirs; // the review's number leads each list, so that a failure names it
            for (int i : {0, 6, 7, 8, 9, 10})
                theirs << qint64(s[i]);
            QCOMPARE((QList<qint64>{theirs[0], next.intervalDays, c.dueMs, qint64(c.state), c.reps, c.lapses}), theirs);
            const double ours[] = {retrievability(card, qint64(s[1])), c.stability, c.difficulty};
            for (int i = 0; i < 3; ++i) // retrievability, stability, difficulty within 1e-6 of ts-fsrs's
                QVERIFY2(std::abs(ours[i] - s[3 + i]) <= 1e-6 * std::max(std::abs(ours[i]), s[3 + i]),
                         qPrintable(QString::asprintf("review %g, value %d: %.17g, ts-fsrs %.17g", s[0], i, ours[i],
                                                      s[3 + i])));
            card = c;
        }
    }

    // A clock turned back must not lose the game's outcome: the review counts as one on the day of the last.
    void reviewBeforeLastOne_notSameDay_data()
    {
        QTest::addColumn<qint64>("earlierMs");
        QTest::addColumn<Rating>("rating");
        QTest::newRow("a minute, again") << qint64(60'000) << Rating::Again;
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
