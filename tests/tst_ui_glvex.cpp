// The main window, offscreen: what it looks up at load, how it forwards its
// events to the game, and that a store failure reaches the one error report.
#include "GLVex.h"
#include "PlayField.h"
#include "TestSupport.h"
#include "TypingBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QLabel>
#include <QTest>

using namespace trenix;
using namespace trenix::test;

namespace {
const char *const kCaptionIds[] = {"GLVex.label2", "GLVex.label3", "GLVex.label4", "GLVex.label5",
                                   "GLVex.label6", "GLVex.label7", "GLVex.label8", "GLVex.label9",
                                   "GLVex.label10", "GLVex.label11", "GLVex.lbtitle", "GLVex.lblSpeed",
                                   "GLVex.lblTime", "GLVex.caption"};
}

class tst_UiGLVex : public QObject {
    Q_OBJECT

    FakeClock clock;
    ScriptedDialogs dialogs;
    Random random;
    std::unique_ptr<ProgramFolder> folder;

    void setUpFolder(const QList<DictionaryEntry> &words)
    {
        resetAll(&clock, &dialogs, &random);
        dialogs = ScriptedDialogs();
        folder = gameFolder({{2, words}}, 1, 999);
    }

    static QString captionOf(GLVex &w, int i)
    {
        switch (i) {
        case 0: return w.Label2->text();
        case 1: return w.Label3->caption();
        case 2: return w.Label4->text();
        case 3: return w.Label5->text();
        case 4: return w.Label6->text();
        case 5: return w.Label7->caption();
        case 6: return w.Label8->caption();
        case 7: return w.Label9->caption();
        case 8: return w.Label10->caption();
        case 9: return w.Label11->caption();
        case 10: return w.lbtitle->text();
        case 11: return w.lblSpeed->text();
        case 12: return w.lblTime->text();
        default: return w.windowTitle();
        }
    }

private slots:
    void cleanup()
    {
        folder.reset();
        resetModuleVariables();
    }

    void everyCaptionGoesToItsOwnControl()
    {
        setUpFolder(numberedEntries(5));
        QList<std::tuple<QString, QString, std::optional<QString>>> rows;
        for (int i = 0; i < 14; ++i)
            rows.append({QLatin1String(kCaptionIds[i]), QStringLiteral("2"), QStringLiteral("text%1").arg(i)});
        folder->makeLanguageStore(rows);
        GLVex w;
        for (int i = 0; i < 14; ++i)
            QCOMPARE(captionOf(w, i), QStringLiteral("text%1").arg(i));
    }

    void languageWithoutTextsLeavesEmptyCaptionsAndStillRuns()
    {
        setUpFolder(numberedEntries(5));
        GlVexM.languageCode = 9;
        GLVex w;
        for (int i = 0; i < 14; ++i)
            QVERIFY2(captionOf(w, i).isEmpty(), kCaptionIds[i]);
    }

    void timersAreOffAfterLoad()
    {
        setUpFolder(numberedEntries(5));
        GLVex w;
        QVERIFY(!w.pictScroll.isActive() && !w.CreatWord.isActive() && !w.GaTime.isActive());
        QCOMPARE(w.core().pictScroll.Interval, 8000);
        QCOMPARE(w.core().CreatWord.Interval, 8000);
        QCOMPARE(GlVexM.speedLevel, qint16(8));
        QVERIFY(w.lbmessage->isHidden() && w.lblPause->isHidden() && w.lblSpeed->isHidden());
        QVERIFY(!w.core().Label1.front().Visible);
        QCOMPARE(w.timeDisplay->text(), QStringLiteral("0"));
    }

    void wordLabelIsOneFallStepHighAndFitsItsWord()
    {
        setUpFolder({{1, QStringLiteral("中华人民共和国"), {}, {}, {}, {}}, {2, QStringLiteral("一"), {}, {}, {}, {}}});
        GLVex w;
        w.Label3_Click();
        QCOMPARE(w.core().Label1.size(), size_t(3));
        for (size_t i = 1; i < 3; ++i) {
            const WordLabel &label = w.core().Label1[i];
            QCOMPARE(label.Height, qint64(645));
            const int textPx = QFontMetrics(w.GamePict->wordFont()).horizontalAdvance(label.Caption);
            QVERIFY(w.GamePict->wordRect(int(i)).width() >= textPx);
            QVERIFY(label.Left + label.Width <= w.core().fieldWidth()); // never cut off at the right
        }
    }

    void gamePlayedThroughTheWindowsOwnEvents()
    {
        setUpFolder(numberedEntries(3, QStringLiteral("字")));
        GLVex w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Label3_Click();
        QVERIFY(w.pictScroll.isActive() && w.CreatWord.isActive() && w.GaTime.isActive());
        QCOMPARE(w.GaTime.interval(), 1000);
        QCOMPARE(w.timeDisplay->text(), QStringLiteral("000"));
        QVERIFY(w.lbmessage->isHidden());
        const WordLabel &first = w.core().Label1[1];
        QVERIFY(first.Visible);
        const QString word = first.Caption;
        QInputMethodEvent commit; // the way an input method delivers Chinese
        commit.setCommitString(word);
        QApplication::sendEvent(w.TxT, &commit);
        QCOMPARE(w.TxT->text(), word);
        QTest::keyClick(w.TxT, Qt::Key_Return);
        QVERIFY(!w.core().Label1[1].Visible);
        QCOMPARE(w.core().rightCount, qint64(1));
        QVERIFY(w.TxT->text().isEmpty());

        w.Label7_Click(); // pause
        QVERIFY(!w.pictScroll.isActive() && !w.GaTime.isActive());
        QVERIFY(!w.lblPause->isHidden() && !w.lbmessage->isHidden());
        QVERIFY(!w.lbmessage->text().isEmpty());
        QTest::keyClick(w.TxT, Qt::Key_Space); // resume
        QVERIFY(w.pictScroll.isActive() && w.GaTime.isActive());
        QVERIFY(w.lblPause->isHidden() && w.lbmessage->isHidden() && w.TxT->text().isEmpty());

        dialogs.answers = {false};
        w.Label10_Click(); // exit? No: the game goes on
        QVERIFY(w.pictScroll.isActive());
        QCOMPARE(dialogs.questions.size(), 1);

        dialogs.answers = {false};
        w.Label8_Click(); // end, and no new game
        QVERIFY(!w.pictScroll.isActive() && !w.GaTime.isActive());
        QCOMPARE(dialogs.questions.size(), 2);
        QVERIFY(dialogs.questions.last().contains(QStringLiteral("100.%")));
    }

    void closingTheWindowStopsTheGameWithoutAQuestion()
    {
        setUpFolder(numberedEntries(3));
        GLVex w;
        w.show();
        w.Label3_Click();
        QVERIFY(w.close());
        QVERIFY(!w.pictScroll.isActive() && !w.GaTime.isActive());
        QVERIFY(dialogs.questions.isEmpty());
    }

    void storeFailureDuringAGameReachesTheErrorReport()
    {
        setUpFolder(numberedEntries(3));
        GLVex w;
        w.Label3_Click();
        GlVexM.storeConn.exec(QStringLiteral("drop table trenix"));
        w.core().practice().clearCache();
        w.pictScroll_Timer();
        QCOMPARE(dialogs.errors.size(), 1);
        QVERIFY(dialogs.errors.first().contains(QLatin1String(kStoreFile)));
        QVERIFY(!w.pictScroll.isActive() && !w.GaTime.isActive());
    }
};

QTEST_MAIN(tst_UiGLVex)
#include "tst_ui_glvex.moc"
