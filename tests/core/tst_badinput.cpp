// Strange input: words that look like SQL or lie outside the BMP, sessions
// long enough to overflow narrow counters.
#include "GameCore.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace trenix;
using namespace trenix::test;

namespace {
// Row count and every row of the game's dictionaries, Nulls included.
QString dictionaries()
{
    Statement st = GlVexM.storeConn.prepare(QStringLiteral(
        "select count(*) || ':' || group_concat(quote(xh) || quote(cz) || quote(py) || quote(yw), ',')"
        " from (select * from zidian2 union all select * from zidian3)"));
    return st.next() ? st.text(0) : QString();
}

} // namespace

class TestBadInput : public QObject, GameFixture {
    Q_OBJECT

private slots:
    void cleanup() { stop(); }

    void strangeWord_runAsSqlOrMismatched_data()
    {
        QTest::addColumn<QString>("word"); // the dictionary's one word
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("hit");
        const auto same = [](const char *name, const QString &w) { QTest::newRow(name) << w << w << true; };
        same("SQL-special characters", QStringLiteral("他's\"引\"号反\\斜\\\\杠\\百%分_之' or 1=1 --"));
        same("emoji and CJK extension B", QStringLiteral("笑😀𠀀𪚥"));
        QTest::newRow("percent typed is no wildcard") << QStringLiteral("百分比") << QStringLiteral("百%") << false;
        QTest::newRow("injection typed at a plain word") << QStringLiteral("中国") << QStringLiteral("中国' or '1'='1") << false;
    }

    void strangeWord_runAsSqlOrMismatched()
    {
        QFETCH(QString, word);
        QFETCH(QString, typed);
        QFETCH(bool, hit);
        QList<DictionaryEntry> entries{{1, word, QStringLiteral("py'%\\"), QStringLiteral("en \"x\""), QString(), QString()}};
        start({{2, entries}, {3, numberedEntries(5)}}, 1, 1);
        const QString before = dictionaries();
        core->Label3_Click();
        QVERIFY2(!core->screen.lbmessageVisible, qPrintable(core->screen.lbmessage));
        QCOMPARE(core->Label1.size(), size_t(2));
        QCOMPARE(core->Label1[1].Caption, word);
        for (int i = 0; i < 20 && !core->Label1[1].landed(); ++i)
            core->pictScroll_Timer();
        QVERIFY(core->Label1[1].landed());
        const auto piled = [&] {
            Statement st = GlVexM.storeConn.prepare(QStringLiteral("select count(*) from trenix where ishold=1 and cz=?1"));
            return st.bind(1, word).next() ? st.integer(0) : qint64(-1);
        };
        QCOMPARE(piled(), qint64(1));
        core->screen.TxT = typed;
        core->TxT_KeyUp(GameCore::kKeyEnter, 0);
        QCOMPARE(core->inputCount, qint64(1));
        QCOMPARE(core->rightCount, qint64(hit ? 1 : 0));
        QCOMPARE(core->Label1[1].Caption.isEmpty(), hit);
        QCOMPARE(piled(), qint64(hit ? 0 : 1));
        QCOMPARE(dictionaries(), before);
    }

    // 546 hits of 61 s: 33306 s played, past the 16-bit 32767, on a clock that
    // crosses 2^32 ms, where a 32-bit millisecond count wraps. One more word
    // waits, so that the last hit does not end the game.
    void longSession_figuresWrapOrOverflow()
    {
        constexpr int kHits = 546;
        start({{2, numberedEntries(kHits + 1)}}, 1, kHits + 1);
        clock.now = (qint64(1) << 32) - 600'000;
        core->Label3_Click();
        for (int i = 0; i < kHits; ++i) {
            core->pictScroll_Timer();
            const auto w = std::find_if(core->Label1.begin() + 1, core->Label1.end(), [](const WordLabel &l) { return l.falling(); });
            QVERIFY2(w != core->Label1.end(), qPrintable(QStringLiteral("no falling word before hit %1").arg(i + 1)));
            clock.advance(61'000);
            core->screen.TxT = w->Caption;
            core->TxT_KeyUp(GameCore::kKeyEnter, 0);
        }
        core->GaTime_Timer();
        QCOMPARE(core->rightCount, qint64(kHits));
        QCOMPARE(core->screen.timeDisplay, QStringLiteral("33306"));
        QCOMPARE(core->screen.lbsd, QStringLiteral(".98"));
        QCOMPARE(core->screen.lbzql, QStringLiteral("100.%"));
        QCOMPARE(core->screen.lbfs, QStringLiteral("546"));
        core->Label8_Click();
        QCOMPARE(core->playedSeconds, qint64(33306));
        QCOMPARE(dialogs.questions.size(), 1);
        const QString result = dialogs.questions.first();
        QVERIFY2(result.contains(QStringLiteral(":33306")) && result.contains(QRegularExpression(QStringLiteral(":1\\D"))) && result.contains(QStringLiteral("100.%")),
                 qPrintable(result));
    }
};

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
