// SPDX-License-Identifier: GPL-3.0-or-later
// The progress window, offscreen: its chart, tables and buttons; and the main
// window's close box keeping the game. How it holds the game is tried with the
// other holding windows, how it is opened with the other shortcuts.
#include "GLVex.h"
#include "History.h"
#include "ProgressWindow.h"
#include "TestSupport.h"
#include "Twips.h"
#include "TypingBox.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
enum class Button { None, ClearNo, ClearYes, Export };
// One game per entry, each half a minute into its day: a period begins at midnight.
struct Row {
    QList<int> daysAgo;
    int period;
    int points;
    Button button;
    bool byDay = false;
};
} // namespace

Q_DECLARE_METATYPE(Row)

class TestUiProgress : public QObject, GameFixture {
    Q_OBJECT

    DataPaths paths;
    qint64 kept() { return history.games.summary(0).games; }

private slots:
    void initTestCase() { Twips::setDpiForTesting(96); }
    void init()
    {
        start({{2, numberedEntries(5)}}, 1, 5);
        paths = folder->paths();
        history.file.open(paths.historyFile());
    }
    void cleanup() { stop(); } // the history file closes at the next opening

    void window_chartTablesOrButtonsWrong_data()
    {
        QTest::addColumn<Row>("row");
        QTest::newRow("no game") << Row{{}, 2, 0, Button::None};
        QTest::newRow("twelve games, all days, cleared")
            << Row{{0, 0, 1, 2, 3, 5, 8, 13, 21, 34, 55, 400}, 2, 12, Button::ClearYes};
        QTest::newRow("last 7 days, clearing answered No") << Row{{0, 0, 1, 6, 7, 30}, 0, 4, Button::ClearNo};
        QTest::newRow("last 30 days, exported") << Row{{0, 0, 1, 6, 7, 29, 30}, 1, 6, Button::Export};
        QTest::newRow("last 7 days by day: two games today are one point")
            << Row{{0, 0, 1, 6, 7, 30}, 0, 3, Button::None, true};
    }
    void window_chartTablesOrButtonsWrong()
    {
        QFETCH(Row, row);
        wallClock.now = QDateTime::fromString(u"2026-06-15T10:00:00Z"_s, Qt::ISODate).toMSecsSinceEpoch();
        for (int d : row.daysAgo) { // the oldest game, over HSK 3.0's band, also lost w2: missed once, after w1
            GameRecord g = sampleGame(wallClock.now - qint64(d) * 86400000 - 36000000 + 30000, 3600,
                                      d == row.daysAgo.last() ? QStringList{u"w2"_s, u"w1"_s} : QStringList{u"w1"_s});
            g.selection = d == row.daysAgo.last() ? u"hsk3:7"_s : g.selection;
            QVERIFY(history.games.record(g));
        }
        ProgressWindow window(*core, wallClock);
        window.period->setCurrentIndex(row.period);
        window.grouping->setCurrentIndex(row.byDay ? 1 : 0);
        const int games = int(row.daysAgo.size());
        QCOMPARE((QList<int>{
                     int(window.speedSeries->count()), int(window.accuracySeries->count() + window.bestSeries->count()),
                     window.games->text().toInt(), window.recentTable->rowCount(), window.missedTable->rowCount()}),
                 (QList<int>{row.points, row.points * (row.byDay ? 2 : 1), games, games, games ? 2 : 0}));
        if (games) {
            QCOMPARE(window.missedTable->item(0, 2)->text() + window.missedTable->item(1, 2)->text(),
                     u"en1en2"_s); // most missed first, English from the dictionary
            QStringList newest;
            for (int c = 0; c < window.recentTable->columnCount(); ++c)
                newest << window.recentTable->item(0, c)->text();
            QCOMPARE(newest, (QStringList{"2026-06-15 01:00", "60", "3.0", "75.0%", "3", "4", "1",
                                          "词组范围 1–5"})); // local time then
            QCOMPARE(window.recentTable->item(games - 1, 7)->text(), u"HSK 3.0 7–9 级"_s);
        }
        dialogs.answers = {row.button == Button::ClearYes};
        dialogs.savePath = folder->file(u"games.csv"_s);
        if (row.button != Button::None)
            QTest::mouseClick(row.button == Button::Export ? window.exportButton : window.clearButton, Qt::LeftButton);
        const bool cleared = row.button == Button::ClearYes, exported = row.button == Button::Export;
        QCOMPARE((QList<qint64>{kept(), window.speedSeries->count(), dialogs.questions.size(),
                                QFile::exists(dialogs.savePath)}),
                 (QList<qint64>{cleared ? 0 : games, cleared ? 0 : row.points, row.button == Button::ClearNo || cleared,
                                exported}));
        QVERIFY(!exported || window.notice->text().contains(dialogs.savePath));
    }

    // The close box during a game keeps it (the exit command: the end-to-end run).
    void closeBox_gameNotKept()
    {
        GLVex w(Services{clock, wallClock, random, dialogs, paths, history});
        w.Label3_Click();
        w.TxT->setText(w.core().Label1[1].Caption);
        w.TxT_KeyUp(GameCore::kKeyEnter, 0);
        QCOMPARE(kept(), qint64(0));
        w.close();
        QCOMPARE(kept(), qint64(1));
    }
};

QTEST_MAIN(TestUiProgress)
#include "tst_ui_progress.moc"
