// The progress window, offscreen: its chart, how it holds a game, how it is
// opened, its buttons; and the main window's close box keeping the game.
#include "GLVex.h"
#include "ProgressStore.h"
#include "ProgressWindow.h"
#include "TestSupport.h"
#include "Twips.h"
#include "TypingBox.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace trenix;
using namespace trenix::test;

namespace {
enum class Open { Shortcut, Command };
enum class Leave { CloseButton, Escape, CloseBox };
enum class Button { ClearNo, ClearYes, Export };

qint64 gamesIn(ProgressStore &progress) { return progress.summary(0).games; }
} // namespace

Q_DECLARE_METATYPE(Open)
Q_DECLARE_METATYPE(Leave)
Q_DECLARE_METATYPE(Button)

class TestUiProgress : public QObject, GameFixture {
    Q_OBJECT

    ProgressStore progress;

    void openProgress()
    {
        progress.open(folder->file(QLatin1String(kProgressFile)));
        GlVexM.progress = &progress;
    }

private slots:
    void initTestCase() { Twips::setDpiForTesting(96); }
    void init()
    {
        start({{2, numberedEntries(5)}}, 1, 5);
        openProgress();
    }
    void cleanup()
    {
        progress.close();
        stop();
    }

    void chart_pointMissingOrOutOfPeriod_data()
    {
        QTest::addColumn<QList<int>>("daysAgo"); // one game per entry
        QTest::addColumn<int>("period");         // index of the period box
        QTest::addColumn<int>("points");
        QTest::newRow("no game") << QList<int>{} << 2 << 0;
        QTest::newRow("one game") << QList<int>{0} << 2 << 1;
        QTest::newRow("twelve games, all days") << QList<int>{0, 0, 1, 2, 3, 5, 8, 13, 21, 34, 55, 400} << 2 << 12;
        QTest::newRow("last 7 days") << QList<int>{0, 0, 1, 6, 7, 30} << 0 << 4;
        QTest::newRow("last 30 days") << QList<int>{0, 0, 1, 6, 7, 29, 30} << 1 << 6;
    }
    void chart_pointMissingOrOutOfPeriod()
    {
        QFETCH(QList<int>, daysAgo);
        QFETCH(int, period);
        wallClock.now = QDateTime::fromString(QStringLiteral("2026-06-15T10:00:00Z"), Qt::ISODate).toMSecsSinceEpoch();
        for (int d : daysAgo) // each half a minute into its day: a period begins at midnight
            QVERIFY(progress.record(sampleGame(wallClock.now - qint64(d) * 86400000 - 36000000 + 30000, 3600, {QStringLiteral("w1")})));
        ProgressWindow window(*core, &progress);
        window.period->setCurrentIndex(period);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTEST(int(window.speedSeries->count()), "points");
        QTEST(int(window.accuracySeries->count()), "points");
        QCOMPARE(window.games->text(), QString::number(daysAgo.size()));
        QCOMPARE(window.recentTable->rowCount(), int(daysAgo.size()));
        QCOMPARE(window.missedTable->rowCount(), daysAgo.isEmpty() ? 0 : 1);
        if (daysAgo.isEmpty())
            return;
        QCOMPARE(window.missedTable->item(0, 2)->text(), QStringLiteral("en1")); // English from the dictionary
        QStringList newest;
        for (int c = 0; c < window.recentTable->columnCount(); ++c)
            newest << window.recentTable->item(0, c)->text();
        QCOMPARE(newest, (QStringList{"2026-06-15 01:00", "60", "3.0", "75.0%", "3", "4", "1", "1-5"})); // local time then
    }

    void window_gameNotHeldOrNotReleasedOrNotOpened_data()
    {
        QTest::addColumn<Open>("open");
        QTest::addColumn<Leave>("leave");
        QTest::newRow("Ctrl+H in the typing box, Close") << Open::Shortcut << Leave::CloseButton;
        QTest::newRow("command, Escape") << Open::Command << Leave::Escape;
        QTest::newRow("command, close box") << Open::Command << Leave::CloseBox;
    }
    void window_gameNotHeldOrNotReleasedOrNotOpened()
    {
        QFETCH(Open, open);
        QFETCH(Leave, leave);
        GLVex w;
        QCOMPARE(w.Label12->caption(), GetLanguageText(QStringLiteral("GLVex.label12"), QStringLiteral("2")));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.Label3_Click();
        w.TxT->setText(w.core().Label1[1].Caption);
        w.TxT_KeyUp(GameCore::kKeyEnter, 0);
        QVERIFY(w.pictScroll.isActive() && w.TxT->hasFocus());
        bool held = false, opened = false;
        QTimer::singleShot(0, this, [&] {
            auto *window = qobject_cast<ProgressWindow *>(QApplication::activeModalWidget());
            if (!window)
                return;
            opened = true;
            window->activateWindow(); // the offscreen platform activates no window by itself
            QTRY_VERIFY(window->isActiveWindow());
            held = GlVexM.detailWord == QLatin1String("-1") && !w.pictScroll.isActive() && !w.GaTime.isActive();
            switch (leave) {
            case Leave::CloseButton: QTest::mouseClick(window->closeButton, Qt::LeftButton); break;
            case Leave::Escape: QTest::keyClick(window, Qt::Key_Escape); break;
            case Leave::CloseBox: window->close(); break;
            }
        });
        if (open == Open::Shortcut)
            QTest::keyClick(w.TxT, Qt::Key_H, Qt::ControlModifier);
        else
            QTest::mouseClick(w.Label12, Qt::LeftButton);
        QVERIFY2(opened, "the progress window did not open");
        QVERIFY2(held, "the game ran on, or the typing box could pull the focus, while the window was open");
        QVERIFY2(w.pictScroll.isActive() && w.GaTime.isActive() && GlVexM.detailWord.isEmpty(),
                 "the game was not let go when the window closed");
        QCOMPARE(gamesIn(progress), qint64(0));
        w.close(); // the close box during a game keeps it (the exit command: the end-to-end run)
        QCOMPARE(gamesIn(progress), qint64(1));
    }

    void buttons_historyWrongAfterwards_data()
    {
        QTest::addColumn<Button>("button");
        QTest::addColumn<qint64>("gamesLeft");
        QTest::newRow("clear, answered No") << Button::ClearNo << qint64(2);
        QTest::newRow("clear, answered Yes") << Button::ClearYes << qint64(0);
        QTest::newRow("export") << Button::Export << qint64(2);
    }
    void buttons_historyWrongAfterwards()
    {
        QFETCH(Button, button);
        QVERIFY(progress.record(sampleGame(wallClock.now - 1000)));
        QVERIFY(progress.record(sampleGame(wallClock.now)));
        ProgressWindow window(*core, &progress);
        dialogs.answers = {button == Button::ClearYes};
        dialogs.savePath = folder->file(QStringLiteral("games.csv"));
        QTest::mouseClick(button == Button::Export ? window.exportButton : window.clearButton, Qt::LeftButton);
        QTEST(gamesIn(progress), "gamesLeft");
        QTEST(qint64(window.speedSeries->count()), "gamesLeft");
        QCOMPARE(dialogs.questions.size(), button == Button::Export ? 0 : 1);
        QCOMPARE(QFile::exists(dialogs.savePath), button == Button::Export);
        if (button == Button::Export)
            QVERIFY(window.notice->text().contains(dialogs.savePath));
    }

};

QTEST_MAIN(TestUiProgress)
#include "tst_ui_progress.moc"
