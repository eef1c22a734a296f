// SPDX-License-Identifier: GPL-3.0-or-later
// Strange input: words that look like SQL or lie outside the BMP, sessions long enough to overflow narrow counters.
#include "TestSupport.h"

#include <QTest>

using namespace trenix;
using namespace trenix::test;

class TestBadInput : public QObject, GameFixture {
    Q_OBJECT

    // The word's rows in the pile, then both dictionaries, every row with its Nulls.
    QString rows(const QString &word)
    {
        Statement st = GlVexM.storeConn.prepare(QStringLiteral(
            "select (select count(*) from trenix where ishold=1 and cz=?1) || '|' || (select group_concat("
            "quote(xh) || quote(cz) || quote(py) || quote(yw), ',') from (select * from zidian2 union all select * "
            "from zidian3))"));
        return st.bind(1, word).next() ? st.text(0) : QString();
    }

private slots:
    void cleanup() { stop(); }

    void strangeWord_runAsSqlOrMismatched_data()
    {
        QTest::addColumn<QString>("word"); // the dictionary's one word
        QTest::addColumn<QString>("typed");
        const QString sql = QStringLiteral("他's\"引\"号反\\斜\\\\杠\\百%分_之' or 1=1 --"),
                      emoji = QStringLiteral("笑😀𠀀𪚥");
        QTest::newRow("SQL-special characters") << sql << sql;
        QTest::newRow("emoji and CJK extension B") << emoji << emoji;
        QTest::newRow("percent typed is no wildcard") << QStringLiteral("百分比") << QStringLiteral("百%");
        QTest::newRow("injection typed at a plain word") << QStringLiteral("中国") << QStringLiteral("中国' or '1'='1");
    }
    void strangeWord_runAsSqlOrMismatched()
    {
        QFETCH(QString, word);
        QFETCH(QString, typed);
        start({{2, {{1, word, QStringLiteral("py'%\\"), QStringLiteral("en \"x\""), QString(), QString()}}},
               {3, numberedEntries(5)}},
              1, 1);
        const QString dictionaries = rows(word).section(u'|', 1);
        core->Label3_Click();
        for (int i = 0; i < 20 && !core->Label1[1].landed(); ++i)
            core->pictScroll_Timer();
        QCOMPARE(rows(word), QStringLiteral("1|") + dictionaries); // the word itself landed
        core->screen.TxT = typed;
        core->TxT_KeyUp(GameCore::kKeyEnter, 0);
        QCOMPARE(rows(word), (word == typed ? QStringLiteral("0|") : QStringLiteral("1|")) + dictionaries);
    }

    // 546 hits of 61 s: 33306 s, past 16 bits, on a clock crossing 2^32 ms; one more word waits, so the game goes on.
    void longSession_figuresWrapOrOverflow()
    {
        constexpr int kHits = 546;
        start({{2, numberedEntries(kHits + 1)}}, 1, kHits + 1);
        clock.now = (qint64(1) << 32) - 600'000;
        core->Label3_Click();
        for (int i = 0; i < kHits; ++i) {
            core->pictScroll_Timer();
            const auto w = std::find_if(core->Label1.begin() + 1, core->Label1.end(),
                                        [](const WordLabel &l) { return l.falling(); });
            QVERIFY2(w != core->Label1.end(), qPrintable(QStringLiteral("no falling word before hit %1").arg(i + 1)));
            clock.advance(61'000);
            core->screen.TxT = w->Caption;
            core->TxT_KeyUp(GameCore::kKeyEnter, 0);
        }
        core->GaTime_Timer();
        QCOMPARE((QStringList{core->screen.timeDisplay, core->screen.lbsd, core->screen.lbzql, core->screen.lbfs}),
                 (QStringList{"33306", ".98", "100.%", "546"}));
        core->Label8_Click();
        const QString result = dialogs.questions.value(0);
        QVERIFY2(result.contains(QStringLiteral(":33306")) && result.contains(QStringLiteral(":1") + text(tid::CFZ)),
                 qPrintable(result));
    }
};

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
