// The settings dialog's rules without widgets: numeric test, leading number,
// half-to-even conversion to 16 bits and the range check built on them.
#include "SettingsRules.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace trenix::settings;

Q_DECLARE_METATYPE(trenix::settings::RangeOutcome)

class TestSettingsRules : public QObject {
    Q_OBJECT

private slots:
    // Random texts over the characters that matter: wherever our rules call a
    // text numeric, Qt's own parser must read it to the same value, and the
    // other way round. Exponents stay short: Qt reports overflow and underflow
    // as failures, which the long-text rows of the range check cover instead.
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
        QTest::addColumn<RangeOutcome>("outcome");
        QTest::addColumn<int>("storedFrom");
        QTest::addColumn<int>("storedTo");
        const auto row = [](const char *name, const QString &from, const QString &to, RangeOutcome o, int f = 0, int t = 0) {
            QTest::newRow(name) << from << to << o << f << t;
        };
        const auto no = RangeOutcome::NotNumeric, yes = RangeOutcome::Accepted, out = RangeOutcome::OutOfRange;
        row("letters last", QStringLiteral("1"), QStringLiteral("abc"), no);
        row("letters beat a reversed order", QStringLiteral("abc"), QStringLiteral("-5"), no);
        row("Chinese numeral", QStringLiteral("十二"), QStringLiteral("20"), no);
        row("thousands separator", QStringLiteral("1"), QStringLiteral("1,000"), no);
        row("infinity word", QStringLiteral("1"), QStringLiteral("inf"), no);
        row("nan word", QStringLiteral("1"), QStringLiteral("nan"), no);
        row("tabs around, exponent", QStringLiteral("\t7\t"), QStringLiteral("1e3"), yes, 7, 1000);
        row("ideographic blanks, full-width digits", QStringLiteral("\u3000３\u3000"), QStringLiteral("３.５"), yes, 3, 4);
        row("order compared before rounding", QStringLiteral("3.4"), QStringLiteral("2.6"), RangeOutcome::Reversed);
        row("negative half to even, just above half", QStringLiteral("-2.5"), QStringLiteral("2.5001"), yes, -2, 3);
        row("16-bit edges round in", QStringLiteral("-32768.5"), QStringLiteral("32767.4"), yes, -32768, 32767);
        row("half above largest rounds out", QStringLiteral("1"), QStringLiteral("32767.5"), out);
        row("first below smallest", QStringLiteral("-32768.6"), QStringLiteral("1"), out);
        constexpr int n = 1'000'000;
        const QString zero = QStringLiteral("0");
        row("a million ones", zero, QString(n, u'1'), out);
        row("leading zeros then 7", zero, QString(n, u'0') + u'7', yes, 0, 7);
        row("a million letters", zero, QString(n, u'a'), no);
        row("long fraction", zero, QStringLiteral("7.") + QString(n, u'4'), yes, 0, 7);
        row("long exponent", zero, QStringLiteral("1e") + QString(n, u'9'), out);
        row("long negative exponent", zero, QStringLiteral("1e-") + QString(n, u'9'), yes, 0, 0);
    }
    void rangeCheck_wrongOutcomeValuesOrHangs()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(RangeOutcome, outcome);
        const RangeCheck r = checkRange(from, to);
        QCOMPARE(int(r.outcome), int(outcome));
        if (outcome == RangeOutcome::Accepted) {
            QTEST(int(r.from), "storedFrom");
            QTEST(int(r.to), "storedTo");
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsRules)
#include "tst_settingsrules.moc"
