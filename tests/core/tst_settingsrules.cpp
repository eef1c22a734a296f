// The settings dialog's rules without widgets: numbers, rounding to 16 bits, the range check.
#include "SettingsRules.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace trenix::settings;

class TestSettingsRules : public QObject {
    Q_OBJECT

private slots:
    // Wherever our rules call a random text numeric, Qt's own parser must read it
    // to the same value, and the other way round. Long exponents overflow in Qt.
    void numericTest_disagreesWithStandardParser()
    {
        static const QString alphabet = QStringLiteral(" +-.e0123456789x");
        static const QRegularExpression longExponent(QStringLiteral("e[+-]?[0-9]{3}"));
        QRandomGenerator gen(20240611);
        for (int round = 0; round < 20000; ++round) {
            QString text;
            for (int i = 0, len = int(gen.bounded(1, 9)); i < len; ++i)
                text += alphabet[int(gen.bounded(alphabet.size()))];
            if (longExponent.match(text).hasMatch())
                continue;
            bool ok = false;
            const double standard = text.trimmed().toDouble(&ok);
            QVERIFY2(isNumeric(text) == ok, qPrintable(QStringLiteral("\"%1\": Qt's parser says %2").arg(text).arg(ok)));
            if (ok)
                QVERIFY2(leadingNumber(text) == standard, qPrintable(QStringLiteral("\"%1\": read %2").arg(text).arg(leadingNumber(text))));
        }
    }

    void rangeCheck_wrongOutcomeValuesOrHangs_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QList<int>>("expected"); // outcome, and the range when accepted
        const auto row = [](const char *name, const QString &from, const QString &to, RangeOutcome o, int f = 0, int t = 0) {
            QTest::newRow(name) << from << to << (o == RangeOutcome::Accepted ? QList<int>{int(o), f, t} : QList<int>{int(o)});
        };
        const auto no = RangeOutcome::NotNumeric, yes = RangeOutcome::Accepted, out = RangeOutcome::OutOfRange;
        const QString zero = QStringLiteral("0"), million(1'000'000, u'1');
        row("letters beat a reversed order", QStringLiteral("abc"), QStringLiteral("-5"), no);
        row("Chinese numeral", QStringLiteral("十二"), QStringLiteral("20"), no);
        row("thousands separator", QStringLiteral("1"), QStringLiteral("1,000"), no);
        row("infinity word", QStringLiteral("1"), QStringLiteral("inf"), no);
        row("tabs around, exponent", QStringLiteral("\t7\t"), QStringLiteral("1e3"), yes, 7, 1000);
        row("ideographic blanks, full-width digits", QStringLiteral("\u3000３\u3000"), QStringLiteral("３.５"), yes, 3, 4);
        row("order compared before rounding", QStringLiteral("3.4"), QStringLiteral("2.6"), RangeOutcome::Reversed);
        row("negative halves to even, equal ends", QStringLiteral("-2.5"), QStringLiteral("-1.5"), yes, -2, -2);
        row("16-bit edges round in", QStringLiteral("-32768.5"), QStringLiteral("32767.4"), yes, -32768, 32767);
        row("half above largest rounds out", QStringLiteral("1"), QStringLiteral("32767.5"), out);
        row("first below smallest", QStringLiteral("-32768.6"), QStringLiteral("1"), out);
        row("a million ones", zero, million, out);
        row("leading zeros then 7", zero, QString(million).fill(u'0') + u'7', yes, 0, 7);
        row("long fraction", zero, QStringLiteral("7.") + QString(million).fill(u'4'), yes, 0, 7);
        row("long exponent", zero, QStringLiteral("1e") + QString(million).fill(u'9'), out);
        row("long negative exponent", zero, QStringLiteral("1e-") + QString(million).fill(u'9'), yes, 0, 0);
    }
    void rangeCheck_wrongOutcomeValuesOrHangs()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        const RangeCheck r = checkRange(from, to);
        QList<int> got{int(r.outcome)};
        if (r.outcome == RangeOutcome::Accepted)
            got << r.from << r.to;
        QTEST(got, "expected");
    }
};

QTEST_GUILESS_MAIN(TestSettingsRules)
#include "tst_settingsrules.moc"
