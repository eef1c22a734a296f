// The game without the mouse: shortcuts from the typing box, keys left to an
// open composition, and the dialogs driven by keys alone.
#include "Frmhelp.h"
#include "GLVex.h"
#include "TestSupport.h"
#include "TypingBox.h"
#include "setForm.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

class TestUiKeyboard : public QObject {
    Q_OBJECT

    FakeClock clock;
    ScriptedDialogs dialogs;
    Random random;
    std::unique_ptr<ProgramFolder> folder;

    static void activate(QWidget &w)
    {
        w.show();
        w.activateWindow();
        QVERIFY2(QTest::qWaitForWindowActive(&w), "the window never became active");
    }

private slots:
    void init() { resetAll(&clock, &dialogs, &random); folder = gameFolder({{2, numberedEntries(5)}}, 1, 5); }
    void cleanup() { folder.reset(); resetModuleVariables(); dialogs = ScriptedDialogs(); }

    void shortcut_wrongCommandOrTakenFromComposition_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("composing");
        QTest::addColumn<QString>("outcome");
        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("F2 starts") << int(Qt::Key_F2) << none << false << u"start"_s;
        QTest::newRow("Ctrl+N starts") << int(Qt::Key_N) << ctrl << false << u"start"_s;
        QTest::newRow("Esc pauses") << int(Qt::Key_Escape) << none << false << u"pause"_s;
        QTest::newRow("Pause pauses") << int(Qt::Key_Pause) << none << false << u"pause"_s;
        QTest::newRow("Ctrl+E ends, not end of line") << int(Qt::Key_E) << ctrl << false << u"end"_s;
        QTest::newRow("Ctrl+, opens the settings") << int(Qt::Key_Comma) << ctrl << false << u"setForm"_s;
        QTest::newRow("F1 opens the help") << int(Qt::Key_F1) << none << false << u"Frmhelp"_s;
        QTest::newRow("Ctrl+Q asks before exiting") << int(Qt::Key_Q) << ctrl << false << u"exit"_s;
        QTest::newRow("Esc cancelling a composition") << int(Qt::Key_Escape) << none << true << u"none"_s;
        QTest::newRow("F2 during a composition") << int(Qt::Key_F2) << none << true << u"none"_s;
    }
    void shortcut_wrongCommandOrTakenFromComposition()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, composing);
        QFETCH(QString, outcome);
        GLVex w;
        activate(w);
        w.Label3_Click();
        clock.advance(5000);
        QVERIFY(w.TxT->hasFocus());
        if (composing) {
            QInputMethodEvent preedit(u"ni"_s, {});
            QApplication::sendEvent(w.TxT, &preedit);
        }
        QString opened;
        QTimer::singleShot(0, this, [&opened] { // a modal window opened by the key: note it and close it
            if (QWidget *modal = QApplication::activeModalWidget()) {
                opened = modal->objectName();
                modal->close();
            }
        });
        QTest::keyClick(w.TxT, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCoreApplication::processEvents();
        const bool restarted = w.core().startTick == clock.now;
        QCOMPARE(restarted, outcome == u"start"_s);
        QCOMPARE(GlVexM.isPaused, outcome == u"pause"_s);
        QCOMPARE(opened, outcome == u"setForm"_s || outcome == u"Frmhelp"_s ? outcome : QString());
        const QString asked = dialogs.questions.join(u'#');
        QVERIFY2(asked.contains(lookupText(u"NDCJ"_s)) == (outcome == u"end"_s), qPrintable(asked));
        QVERIFY2(asked.contains(lookupText(u"QDYTCYXM"_s)) == (outcome == u"exit"_s), qPrintable(asked));
        if (composing)
            QCOMPARE(w.TxT->preedit(), u"ni"_s);
    }

    void settings_notUsableByKeys()
    {
        GlVexM.speedLevel = 8;
        GLVex main;
        setForm dlg(main.core());
        activate(dlg);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(dlg.setSpeedOK)); // OK first
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(dlg.GaSpeed[1])); // the chosen speed is the group's stop
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QVERIFY2(dlg.GaSpeed[3]->isChecked(), "the arrow key did not move the speed");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(dlg.Txt_Word_From));
        dlg.Txt_Word_From->selectAll();
        QTest::keyClicks(dlg.Txt_Word_From, u"3"_s);
        QTest::keyClick(dlg.Txt_Word_From, Qt::Key_Return); // Enter is OK
        QVERIFY(dlg.isUnloaded());
        QCOMPARE(int(GlVexM.speedLevel), 4);
        QCOMPARE(int(GlVexM.wordFrom), 3);
        setForm again(main.core());
        activate(again);
        again.Txt_Word_From->setText(u"4"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // Esc is Cancel
        QVERIFY(!again.isVisible() && !again.isUnloaded());
        QCOMPARE(int(GlVexM.wordFrom), 3);
    }

    void help_pageKeysWrong_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("page");
        QTest::newRow("right, right") << QList<int>{Qt::Key_Right, Qt::Key_Right} << 3;
        QTest::newRow("left at the first page") << QList<int>{Qt::Key_Left} << 1;
        QTest::newRow("digit 7, page down") << QList<int>{Qt::Key_7, Qt::Key_PageDown} << 7;
        QTest::newRow("end, up") << QList<int>{Qt::Key_End, Qt::Key_Up} << 6;
    }
    void help_pageKeysWrong()
    {
        QFETCH(QList<int>, keys);
        Frmhelp help;
        activate(help);
        for (int key : keys)
            QTest::keyClick(&help, Qt::Key(key));
        QTEST(help.currentPage(), "page");
    }
};

QTEST_MAIN(TestUiKeyboard)
#include "tst_ui_keyboard.moc"
