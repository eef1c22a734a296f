// SPDX-License-Identifier: GPL-3.0-or-later
// The main window, offscreen: what it adds to the game rules. Its timers follow
// the game's, its keys and input-method text reach the game, its word labels and
// figures are not cut off, its language changes at once, and a store failure
// reaches the error report.
#include "GLVex.h"
#include "InputMethodProbe.h"
#include "LanguageChoice.h"
#include "PlayField.h"
#include "SoundPlayer.h"
#include "Startup.h"
#include "TestSupport.h"
#include "Twips.h"
#include "TypingBox.h"
#include "setForm.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QTimer>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

class tst_UiGLVex : public QObject, GameFixture {
    Q_OBJECT

    DataPaths paths;
    Services services() { return {clock, wallClock, random, dialogs, paths, history}; }

    static QList<bool> running(const GLVex &w)
    {
        return {w.pictScroll.isActive(), w.CreatWord.isActive(), w.GaTime.isActive()};
    }

private slots:
    void init()
    {
        dialogs = ScriptedDialogs();
        resetAll();
        folder = gameFolder({{2, numberedEntries(5)}}, 1, 999);
        paths = folder->paths();
    }
    void cleanup() { folder.reset(); }

    // What the window adds to the game rules, through its own keys and events: the timers follow the
    // game, the message line and pause bar show, input-method text reaches the game, a word click shows
    // its details, the sound key switches the sound, the exit question answered No leaves the game be, the
    // close box keeps it.
    void gamePlayedThroughTheWindowsOwnEvents()
    {
        history.file.open(paths.historyFile());
        GLVex w(services());
        activate(w);
        const auto runningAndBars = [&w] { return running(w) << !w.lblPause->isHidden() << !w.lbmessage->isHidden(); };
        QTest::keyClick(w.TxT, Qt::Key_F2);
        QCOMPARE(running(w), QList<bool>(3, true));
        QCOMPARE((QList<int>{w.pictScroll.interval(), w.CreatWord.interval(), w.GaTime.interval()}),
                 (QList<int>{8000, 8000, 1000}));
        QInputMethodEvent commit; // the way an input method delivers Chinese
        commit.setCommitString(w.core().Label1[1].Caption);
        QApplication::sendEvent(w.TxT, &commit);
        QTest::keyClick(w.TxT, Qt::Key_M, Qt::ControlModifier); // sound on, kept, and said in the message line
        QCOMPARE(w.lbmessage->text(), text(tid::GLVex_soundOn));
        QVERIFY(fileBytes(paths.keptSettingsFile()).contains("sound=true"));
        QTest::keyClick(w.TxT, Qt::Key_Return);
        QCOMPARE(w.core().Label1[1].Visible, false);
        QCOMPARE(w.TxT->text(), QString());
        QCOMPARE(w.sounds->lastPlayed(), int(GameSound::Hit));
        QTest::keyClick(w.TxT, Qt::Key_Escape);
        QCOMPARE(runningAndBars(), (QList<bool>{false, false, false, true, true}));
        QTest::keyClick(w.TxT, Qt::Key_Space);
        QCOMPARE(runningAndBars(), (QList<bool>{true, true, true, false, false}));
        QTest::keyClick(w.TxT, Qt::Key_Q, Qt::ControlModifier); // exit, answered No: the game goes on
        QVERIFY(w.pictScroll.isActive());
        QTest::keyClick(w.TxT, Qt::Key_E, Qt::ControlModifier); // the end, not the line's end
        QCOMPARE(running(w), QList<bool>(3, false));
        QString detail;
        QTimer::singleShot(0, this, [&detail] { // a click on a word shows its details
            detail = GlVexM.detailWord;
            QApplication::activeModalWidget()->close();
        });
        w.Label1_Click(2);
        QCOMPARE(detail, w.core().Label1[2].Caption);
        w.Label3_Click();
        QTest::keyClicks(w.TxT, u"x"_s);
        QTest::keyClick(w.TxT, Qt::Key_Return);
        QVERIFY(w.close());
        QCOMPARE(running(w), QList<bool>(3, false));
        QCOMPARE(dialogs.questions.size(), 2); // the close box asks nothing, and keeps the game
        QCOMPARE(history.games.summary(0).games, qint64(2));
    }

    // Without an input method the start-up says how to answer in pinyin. Ctrl+P during a game switches the
    // next one and keeps the choice; that game's typing box takes plain keys and a word typed in pinyin goes;
    // a late hint shows past the middle only.
    // Ctrl+P gives the input method back.
    void pinyinThroughTheWindow()
    {
        folder =
            gameFolder({{2, {{1, u"你好"_s, u"nǐ hǎo"_s, {}, {}, {}}, {2, u"是"_s, u"shì"_s, {}, {}, {}}}}}, 1, 999);
        paths = folder->paths();
        GLVex w(services());
        activate(w);
        adviseWithoutInputMethod(w.core(), false);
        QCOMPARE(w.lbmessage->text(), text(tid::GLVex_noInputMethod).arg(u"Ctrl+P"_s));
        w.core().answer.hints = HintMode::Late;
        QTest::keyClick(w.TxT, Qt::Key_F2);
        QTest::keyClick(w.TxT, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(w.TxT->plainKeys(), false); // the game keeps its mode
        QCOMPARE(w.lbmessage->text(), text(tid::GLVex_nextGame).arg(text(tid::GLVex_nowPinyin).arg(u"Ctrl+P"_s)));
        QVERIFY(fileBytes(paths.keptSettingsFile()).contains("answer=pinyin"));
        QTest::keyClick(w.TxT, Qt::Key_F2);
        QCOMPARE(w.TxT->plainKeys(), true);
        WordLabel &first = w.core().Label1[1];
        first.Top = w.core().fieldHeight() / 2;
        QVERIFY(w.GamePict->hintRect(1).isEmpty());
        first.Top += 1;
        QVERIFY(!w.GamePict->hintRect(1).isEmpty());
        QTest::keyClicks(w.TxT, first.Caption == u"是"_s ? u"shi4"_s : u"Ni hao"_s);
        QTest::keyClick(w.TxT, Qt::Key_Return);
        QCOMPARE(first.Visible, false);
        QTest::keyClick(w.TxT, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(w.TxT, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(w.TxT->plainKeys(), false);
        QCOMPARE(w.lbmessage->text(), text(tid::GLVex_nowCharacters).arg(u"Ctrl+P"_s));
    }

    // The keys that open a window let the typing box go while it is open; a composition keeps every key
    // for the input method.
    void shortcut_wrongWindowOrTakenFromComposition_data()
    {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("opened"); // empty: none, the key goes to a composition
        QTest::newRow("Ctrl+,") << QKeySequence(Qt::CTRL | Qt::Key_Comma) << u"setForm"_s;
        QTest::newRow("F1") << QKeySequence(Qt::Key_F1) << u"Frmhelp"_s;
        QTest::newRow("Ctrl+H") << QKeySequence(Qt::CTRL | Qt::Key_H) << u"ProgressWindow"_s;
        QTest::newRow("Esc cancelling a composition") << QKeySequence(Qt::Key_Escape) << QString();
    }
    void shortcut_wrongWindowOrTakenFromComposition()
    {
        QFETCH(QKeySequence, key);
        QFETCH(QString, opened);
        GLVex w(services());
        activate(w);
        w.Label3_Click();
        QInputMethodEvent preedit(u"ni"_s, {});
        if (opened.isEmpty())
            QApplication::sendEvent(w.TxT, &preedit);
        QString happened;
        QTimer::singleShot(0, this, [&happened] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                happened = modal->objectName() + (GlVexM.detailWord == u"-1"_s ? QString() : u" (focus not let go)"_s);
                modal->close();
            }
        });
        QTest::keySequence(w.TxT, key);
        QCoreApplication::processEvents();
        QCOMPARE(happened, opened);
        QCOMPARE((QList<bool>{GlVexM.detailWord.isEmpty(), GlVexM.isPaused, w.pictScroll.isActive()}),
                 (QList<bool>{true, false, true}));
        QCOMPARE(w.TxT->preedit(), opened.isEmpty() ? u"ni"_s : QString());
    }

    // Chosen in the right-click menu, every window follows at once and the choice is kept for the next
    // start. The settings dialog, used by keys alone, kept after a Cancel does not bring the old language back.
    void chooseLanguage_textsFileOrDialogNotFollowing()
    {
        GLVex w(services());
        w.Label3_Click();
        w.Label7_Click();
        QStringList offered;
        QTimer::singleShot(0, this, [&offered] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY2(menu, "no menu");
            const QList<QAction *> languages = menu->actions().last()->menu()->actions();
            for (QAction *language : languages)
                offered << language->text() + (language->isChecked() ? u" (in force)"_s : QString());
            languages.last()->trigger();
            menu->close();
        });
        QTest::mouseClick(&w, Qt::RightButton, {}, QPoint(5, 300));
        QCOMPARE(offered, (QStringList{u"English"_s, u"简体中文 (in force)"_s, u"繁體中文"_s}));
        QCOMPARE(w.Label3->caption(), text(tid::GLVex_label3, 3));
        QCOMPARE(w.lbmessage->text(), text(tid::YXZTZAKGJJX, 3)); // the pause notice
        QVERIFY(fileBytes(paths.playerConfigFile()).contains("language=3"));
        for (const QList<Qt::Key> &keys :
             {QList{Qt::Key_Escape}, QList{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Tab, Qt::Key_Return}}) {
            QTimer::singleShot(0, this, [keys] { // OK has the focus, then Cancel, then the chosen speed; Enter is OK
                QApplication::activeModalWidget()
                    ->activateWindow(); // the offscreen platform activates no window by itself
                QTRY_VERIFY(QApplication::activeModalWidget()->isActiveWindow());
                for (Qt::Key key : keys)
                    QTest::keyClick(QApplication::focusWidget(), key);
            });
            w.Label9_Click();
            if (keys.size() == 1)
                w.chooseLanguage(2);
        }
        QCOMPARE((QList<int>{GlVexM.languageCode, GlVexM.speedLevel}), (QList<int>{2, 4})); // by keys alone
        const QString config = paths.playerConfigFile();
        paths.playerFolder = config; // cannot be a folder: told in the language chosen, applied all the same
        w.chooseLanguage(3);
        QCOMPARE(w.windowTitle(), text(tid::GLVex_caption, 3));
        QCOMPARE(dialogs.notices,
                 QStringList{text(tid::RJXX, 3) + u'|'
                             + text(tid::GLVex_languageNotSaved, 3).arg(QDir::toNativeSeparators(config))});
    }

    // As launched: the window first, the store's key behind it; a command waits for the store. Last: the
    // report of a store failure during the game ends the event loops, as it ends the program.
    void store_commandNotWaitingOrFailureNotReported()
    {
        GlVexM.storeConn.close();
        startOpeningPracticeStore(paths.practiceStore());
        deferStartupWork([this] { ensurePracticeStore(paths.practiceStore()); });
        GLVex w(services());
        w.Label3_Click();
        QCOMPARE(w.core().Label1.size(), size_t(6));
        GlVexM.storeConn.exec(u"drop table trenix"_s);
        w.core().practice().clearCache();
        w.pictScroll_Timer();
        QCOMPARE(dialogs.errors.size(), 1); // and none before
        QVERIFY2(dialogs.errors[0].contains(QLatin1String(kStoreFile)), qPrintable(dialogs.errors[0]));
        QCOMPARE(running(w), QList<bool>(3, false));
    }
};

QTEST_MAIN(tst_UiGLVex)
#include "tst_ui_glvex.moc"
