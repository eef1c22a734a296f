// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsRules.h"

#include <QTest>

using namespace trenix::settings;

class TestSettingsRules : public QObject {
    Q_OBJECT

private slots:
    // Every text of up to four of these characters: ours and Qt's parser agree on what is a number, and its value.
    void numericTest_disagreesWithStandardParser()
    {
        const QString alphabet = QStringLiteral(" \t+-.e0123456789x");
        for (int len = 1, count = 17; len <= 4; ++len, count *= 17)
            for (int code = 0; code < count; ++code) {
                QString text;
                for (int c = code, i = 0; i < len; ++i, c /= 17)
                    text += alphabet[c % 17];
                bool ok = false;
                const double standard = text.trimmed().toDouble(&ok);
                QVERIFY2(isNumeric(text) == ok, qPrintable(u'"' + text + u'"'));
                QVERIFY2(!ok || leadingNumber(text) == standard, qPrintable(u'"' + text + u'"'));
            }
    }

    void rangeCheck_wrongOutcomeValuesOrHangs_data()
    {
        QTest::addColumn<QStringList>("texts");   // from, to
        QTest::addColumn<QList<int>>("expected"); // outcome, and the range when accepted (else 0 0)
        using enum RangeOutcome;
        const auto row = [](const char *name, const QString &from, const QString &to, RangeOutcome o, int f = 0,
                            int t = 0) {
            QTest::newRow(name) << QStringList{from, to} << QList<int>{int(o), f, t};
        };
        const QString million(1'000'000, u'0');
        row("infinity word beats a reversed order", QStringLiteral("inf"), QStringLiteral("-5"), NotNumeric);
        row("ideographic blanks, full-width digits", QStringLiteral("\u3000３\u3000"), QStringLiteral("３.５"),
            Accepted, 3, 4);
        row("order compared before rounding", QStringLiteral("3.4"), QStringLiteral("2.6"), Reversed);
        row("negative halves to even, equal ends", QStringLiteral("-2.5"), QStringLiteral("-1.5"), Accepted, -2, -2);
        row("16-bit edges round in", QStringLiteral("-32768.5"), QStringLiteral("32767.4"), Accepted, -32768, 32767);
        row("half above largest rounds out", QStringLiteral("1"), QStringLiteral("32767.5"), OutOfRange);
        row("first below smallest", QStringLiteral("-32768.6"), QStringLiteral("1"), OutOfRange);
        row("a million leading zeros, then 7", QStringLiteral("0"), million + u'7', Accepted, 0, 7);
        row("long exponent", QStringLiteral("0"), QStringLiteral("1e9") + million, OutOfRange);
        row("long negative exponent", QStringLiteral("0"), QStringLiteral("1e-9") + million, Accepted, 0, 0);
    }
    void rangeCheck_wrongOutcomeValuesOrHangs()
    {
        QFETCH(QStringList, texts);
        const RangeCheck r = checkRange(texts[0], texts[1]);
        QTEST((QList<int>{int(r.outcome), r.from, r.to}), "expected");
    }
};

QTEST_GUILESS_MAIN(TestSettingsRules)
#include "tst_settingsrules.moc"
