// The settings dialog's rules without widgets: numeric test, leading number,
// half-to-even conversion to 16 bits, speed from Tag and the range check.
#include "SettingsRules.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <limits>
#include <optional>

using namespace trenix::settings;

Q_DECLARE_METATYPE(trenix::settings::RangeOutcome)

namespace {

constexpr int kRefused = std::numeric_limits<int>::min();

int orRefused(std::optional<qint16> v) { return v ? int(*v) : kRefused; }

const char *outcomeName(RangeOutcome o)
{
    switch (o) {
    case RangeOutcome::Accepted: return "Accepted";
    case RangeOutcome::NotNumeric: return "NotNumeric";
    case RangeOutcome::Reversed: return "Reversed";
    case RangeOutcome::OutOfRange: return "OutOfRange";
    }
    return "?";
}

} // namespace

class TestSettingsRules : public QObject {
    Q_OBJECT

private slots:
    void numericTest_misjudgesText_data();
    void numericTest_misjudgesText();
    void numericTest_disagreesWithStandardParser();
    void leadingNumber_readsWrongValue_data();
    void leadingNumber_readsWrongValue();
    void conversion_notHalfToEvenOrRangeLeaks_data();
    void conversion_notHalfToEvenOrRangeLeaks();
    void speedTag_wrongLevelOrUnusableAccepted_data();
    void speedTag_wrongLevelOrUnusableAccepted();
    void rangeCheck_wrongOutcomeOrValues_data();
    void rangeCheck_wrongOutcomeOrValues();
    void longText_hangsCrashesOrMisreads_data();
    void longText_hangsCrashesOrMisreads();
};

void TestSettingsRules::numericTest_misjudgesText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    const auto row = [](const char *name, const QString &text, bool numeric) { QTest::newRow(name) << text << numeric; };
    row("empty", QString(), false);
    row("blanks only", QStringLiteral("   "), false);
    row("letters", QStringLiteral("abc"), false);
    row("digits", QStringLiteral("12"), true);
    row("blanks around", QStringLiteral(" 12 "), true);
    row("tabs around", QStringLiteral("\t7\t"), true);
    row("plus sign", QStringLiteral("+5"), true);
    row("minus sign", QStringLiteral("-5"), true);
    row("two signs", QStringLiteral("--5"), false);
    row("sign alone", QStringLiteral("-"), false);
    row("fraction", QStringLiteral("2.5"), true);
    row("leading point", QStringLiteral(".5"), true);
    row("trailing point", QStringLiteral("5."), true);
    row("point alone", QStringLiteral("."), false);
    row("two points", QStringLiteral("1.2.3"), false);
    row("exponent", QStringLiteral("1e3"), true);
    row("exponent upper case with sign", QStringLiteral("1E+3"), true);
    row("negative exponent", QStringLiteral("1e-2"), true);
    row("exponent without digits", QStringLiteral("1e"), false);
    row("exponent sign without digits", QStringLiteral("1e+"), false);
    row("exponent without mantissa", QStringLiteral("e3"), false);
    row("digits then letters", QStringLiteral("12abc"), false);
    row("blank inside", QStringLiteral("1 2"), false);
    row("thousands separator", QStringLiteral("1,000"), false);
    row("hexadecimal", QStringLiteral("0x10"), false);
    row("infinity word", QStringLiteral("inf"), false);
    row("nan word", QStringLiteral("nan"), false);
    row("full-width digits", QStringLiteral("１２"), true);
    row("ideographic blanks", QStringLiteral("\u3000３\u3000"), true);
    row("Chinese numeral", QStringLiteral("十二"), false);
}

void TestSettingsRules::numericTest_misjudgesText()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QVERIFY2(isNumeric(text) == numeric,
             qPrintable(QStringLiteral("isNumeric(\"%1\") should be %2").arg(text).arg(numeric)));
}

// Random texts over the characters that matter: wherever our rules call a
// text numeric, Qt's own parser must read it to the same value, and the
// other way round. Exponents stay short: Qt reports overflow and underflow
// as failures, which the long-text cases cover instead.
void TestSettingsRules::numericTest_disagreesWithStandardParser()
{
    static const QString alphabet = QStringLiteral(" +-.e0123456789x");
    static const QRegularExpression longExponent(QStringLiteral("e[+-]?[0-9]{3}"));
    QRandomGenerator gen(20240611);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int len = int(gen.bounded(1, 9));
        for (int i = 0; i < len; ++i)
            text += alphabet[int(gen.bounded(alphabet.size()))];
        if (longExponent.match(text).hasMatch())
            continue;
        bool ok = false;
        const double standard = text.trimmed().toDouble(&ok);
        const bool numeric = isNumeric(text);
        QVERIFY2(numeric == ok,
                 qPrintable(QStringLiteral("\"%1\": isNumeric says %2, Qt's parser says %3").arg(text).arg(numeric).arg(ok)));
        if (numeric)
            QVERIFY2(leadingNumber(text) == standard,
                     qPrintable(QStringLiteral("\"%1\": read %2, Qt reads %3").arg(text).arg(leadingNumber(text)).arg(standard)));
    }
}

void TestSettingsRules::leadingNumber_readsWrongValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    const auto row = [](const char *name, const QString &text, double value) { QTest::newRow(name) << text << value; };
    row("exponent", QStringLiteral("1e3"), 1000.0);
    row("blanks around", QStringLiteral(" 12 "), 12.0);
    row("fraction", QStringLiteral("2.5"), 2.5);
    row("negative fraction", QStringLiteral("-3.5"), -3.5);
    row("stops at letters", QStringLiteral("12abc"), 12.0);
    row("stops at a blank inside", QStringLiteral("1 2"), 1.0);
    row("no number reads 0", QStringLiteral("abc"), 0.0);
    row("empty reads 0", QString(), 0.0);
    row("dangling exponent ignored", QStringLiteral("7e"), 7.0);
    row("dangling exponent sign ignored", QStringLiteral("7e-"), 7.0);
    row("second point stops", QStringLiteral("1.2.3"), 1.2);
    row("full-width", QStringLiteral("３.５"), 3.5);
}

void TestSettingsRules::leadingNumber_readsWrongValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(leadingNumber(text), value);
}

void TestSettingsRules::conversion_notHalfToEvenOrRangeLeaks_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    const auto row = [](const char *name, double value, int expected) { QTest::newRow(name) << value << expected; };
    row("2.5 to even 2", 2.5, 2);
    row("3.5 to even 4", 3.5, 4);
    row("0.5 to even 0", 0.5, 0);
    row("1.5 to even 2", 1.5, 2);
    row("-2.5 to even -2", -2.5, -2);
    row("-3.5 to even -4", -3.5, -4);
    row("just below half", 2.4999, 2);
    row("just above half", 2.5001, 3);
    row("negative just above half", -2.5001, -3);
    row("largest", 32767.0, 32767);
    row("rounds down to largest", 32767.4, 32767);
    row("half above largest rounds out", 32767.5, kRefused);
    row("smallest", -32768.0, -32768);
    row("half below smallest rounds in", -32768.5, -32768);
    row("below smallest", -32768.6, kRefused);
    row("one past largest", 32768.0, kRefused);
    row("large", 1e9, kRefused);
    row("infinity", std::numeric_limits<double>::infinity(), kRefused);
    row("minus infinity", -std::numeric_limits<double>::infinity(), kRefused);
    row("not a number", std::numeric_limits<double>::quiet_NaN(), kRefused);
}

void TestSettingsRules::conversion_notHalfToEvenOrRangeLeaks()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(orRefused(toInt16HalfEven(value)), expected);
}

void TestSettingsRules::speedTag_wrongLevelOrUnusableAccepted_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("level");
    QTest::newRow("slow") << QStringLiteral("10") << 10;
    QTest::newRow("slower") << QStringLiteral("8") << 8;
    QTest::newRow("normal") << QStringLiteral("6") << 6;
    QTest::newRow("faster") << QStringLiteral("4") << 4;
    QTest::newRow("fast") << QStringLiteral("2") << 2;
    QTest::newRow("half rounds to even") << QStringLiteral("2.5") << 2;
    QTest::newRow("zero would spin the timers") << QStringLiteral("0") << kRefused;
    QTest::newRow("negative") << QStringLiteral("-2") << kRefused;
    QTest::newRow("not a number") << QStringLiteral("fast") << kRefused;
    QTest::newRow("empty") << QString() << kRefused;
    QTest::newRow("too large") << QStringLiteral("40000") << kRefused;
}

void TestSettingsRules::speedTag_wrongLevelOrUnusableAccepted()
{
    QFETCH(QString, tag);
    QFETCH(int, level);
    QCOMPARE(orRefused(speedFromTag(tag)), level);
}

void TestSettingsRules::rangeCheck_wrongOutcomeOrValues_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<RangeOutcome>("outcome");
    QTest::addColumn<int>("storedFrom");
    QTest::addColumn<int>("storedTo");
    const auto row = [](const char *name, const char *from, const char *to, RangeOutcome o, int f = 0, int t = 0) {
        QTest::newRow(name) << QString::fromUtf8(from) << QString::fromUtf8(to) << o << f << t;
    };
    row("empty first", "", "999", RangeOutcome::NotNumeric);
    row("empty last", "1", "", RangeOutcome::NotNumeric);
    row("letters first", "abc", "999", RangeOutcome::NotNumeric);
    row("letters last", "1", "abc", RangeOutcome::NotNumeric);
    row("letters beat a reversed order", "abc", "-5", RangeOutcome::NotNumeric);
    row("500 to 400 reversed", "500", "400", RangeOutcome::Reversed);
    row("5 to 5 one number", "5", "5", RangeOutcome::Accepted, 5, 5);
    row("2.5 to 3.5 half to even", "2.5", "3.5", RangeOutcome::Accepted, 2, 4);
    row("order compared before rounding", "3.4", "2.6", RangeOutcome::Reversed);
    row("equal once rounded", "2.6", "2.7", RangeOutcome::Accepted, 3, 3);
    row("exponent", "1", "1e3", RangeOutcome::Accepted, 1, 1000);
    row("blanks around", " 12 ", " 20 ", RangeOutcome::Accepted, 12, 20);
    row("negative first", "-7", "3", RangeOutcome::Accepted, -7, 3);
    row("full 16-bit range", "-32768", "32767", RangeOutcome::Accepted, -32768, 32767);
    row("last beyond 16 bits", "1", "40000", RangeOutcome::OutOfRange);
    row("first below 16 bits", "-40000", "1", RangeOutcome::OutOfRange);
    row("last rounds beyond 16 bits", "1", "32767.5", RangeOutcome::OutOfRange);
    row("huge exponent", "1", "1e400", RangeOutcome::OutOfRange);
}

void TestSettingsRules::rangeCheck_wrongOutcomeOrValues()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(RangeOutcome, outcome);
    QFETCH(int, storedFrom);
    QFETCH(int, storedTo);
    const RangeCheck r = checkRange(from, to);
    QVERIFY2(r.outcome == outcome,
             qPrintable(QStringLiteral("got %1, want %2").arg(QLatin1String(outcomeName(r.outcome)), QLatin1String(outcomeName(outcome)))));
    if (outcome == RangeOutcome::Accepted) {
        QCOMPARE(int(r.from), storedFrom);
        QCOMPARE(int(r.to), storedTo);
    }
}

void TestSettingsRules::longText_hangsCrashesOrMisreads_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<RangeOutcome>("asLast");
    constexpr int n = 1'000'000;
    QTest::newRow("a million ones") << QString(n, u'1') << true << RangeOutcome::OutOfRange;
    QTest::newRow("leading zeros then 7") << QString(n, u'0') + u'7' << true << RangeOutcome::Accepted;
    QTest::newRow("a million letters") << QString(n, u'a') << false << RangeOutcome::NotNumeric;
    QTest::newRow("digit then a million blanks") << QStringLiteral("7") + QString(n, u' ') << true << RangeOutcome::Accepted;
    QTest::newRow("long fraction") << QStringLiteral("7.") + QString(n, u'4') << true << RangeOutcome::Accepted;
    QTest::newRow("long exponent") << QStringLiteral("1e") + QString(n, u'9') << true << RangeOutcome::OutOfRange;
    QTest::newRow("long negative exponent") << QStringLiteral("1e-") + QString(n, u'9') << true << RangeOutcome::Accepted;
    QTest::newRow("a million points") << QString(n, u'.') << false << RangeOutcome::NotNumeric;
}

void TestSettingsRules::longText_hangsCrashesOrMisreads()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(RangeOutcome, asLast);
    QCOMPARE(isNumeric(text), numeric);
    const RangeCheck r = checkRange(QStringLiteral("0"), text);
    QVERIFY2(r.outcome == asLast,
             qPrintable(QStringLiteral("got %1, want %2").arg(QLatin1String(outcomeName(r.outcome)), QLatin1String(outcomeName(asLast)))));
}

QTEST_GUILESS_MAIN(TestSettingsRules)
#include "tst_settingsrules.moc"
