// The main window, offscreen: its captions, how it forwards its events and
// keys to the game, its figures, its language, and its error report.
#include "GLVex.h"
#include "LanguageChoice.h"
#include "PlayField.h"
#include "Startup.h"
#include "TestSupport.h"
#include "TypingBox.h"
#include "setForm.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

const QStringList kCaptionIds = {"GLVex.label2",  "GLVex.label3",  "GLVex.label4",  "GLVex.label5",   "GLVex.label6",
                                  "GLVex.label7",  "GLVex.label8",  "GLVex.label9",  "GLVex.label10",  "GLVex.label11",
                                  "GLVex.lbtitle", "GLVex.lblSpeed", "GLVex.lblTime", "GLVex.caption"};

class tst_UiGLVex : public QObject {
    Q_OBJECT

    FakeClock clock;
    ScriptedDialogs dialogs;
    Random random;
    std::unique_ptr<ProgramFolder> folder;

    void setUpFolder(const QList<DictionaryEntry> &words) { folder = gameFolder({{2, words}}, 1, 999); }
    static void activate(QWidget &w)
    {
        w.show();
        w.activateWindow();
        QVERIFY2(QTest::qWaitForWindowActive(&w), "the window never became active");
    }
    static QWidget *focus() { return QApplication::focusWidget(); }

private slots:
    void init() { resetAll(&clock, &dialogs, &random); setUpFolder(numberedEntries(5)); }
    void cleanup() { folder.reset(); resetModuleVariables(); dialogs = ScriptedDialogs(); }

    void captionsGoToTheirOwnControlsOrStayEmpty_data()
    {
        QTest::addColumn<int>("language");
        QTest::newRow("own texts") << 2;
        QTest::newRow("language without texts") << 9;
    }
    void captionsGoToTheirOwnControlsOrStayEmpty()
    {
        QFETCH(int, language);
        QList<std::tuple<QString, QString, std::optional<QString>>> rows;
        for (const QString &id : kCaptionIds)
            rows.append({id, QStringLiteral("2"), id});
        folder->makeLanguageStore(rows);
        GlVexM.languageCode = qint16(language);
        GLVex w;
        const QStringList shown = {w.Label2->text(),     w.Label3->caption(),  w.Label4->text(),     w.Label5->text(),
                                   w.Label6->text(),     w.Label7->caption(),  w.Label8->caption(),  w.Label9->caption(),
                                   w.Label10->caption(), w.Label11->caption(), w.lbtitle->text(),    w.lblSpeed->text(),
                                   w.lblTime->text(),    w.windowTitle()};
        QCOMPARE(shown, language == 2 ? kCaptionIds : QStringList(kCaptionIds.size(), QString()));
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
        QVERIFY(!w.pictScroll.isActive() && !w.CreatWord.isActive() && !w.GaTime.isActive());
        QCOMPARE(w.core().pictScroll.Interval, 8000);
        QCOMPARE(w.core().CreatWord.Interval, 8000);
        QCOMPARE(GlVexM.speedLevel, qint16(8));
        QVERIFY(w.lbmessage->isHidden() && w.lblPause->isHidden() && w.lblSpeed->isHidden());
        QVERIFY(!w.core().Label1.front().Visible);
        QCOMPARE(w.timeDisplay->text(), QStringLiteral("0"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Label3_Click();
        QVERIFY(w.pictScroll.isActive() && w.CreatWord.isActive() && w.GaTime.isActive());
        QCOMPARE(w.GaTime.interval(), 1000);
        QCOMPARE(w.timeDisplay->text(), QStringLiteral("000"));
        QVERIFY(w.lbmessage->isHidden() && w.core().Label1[1].Visible);
        const QString word = w.core().Label1[1].Caption;
        QInputMethodEvent commit; // the way an input method delivers Chinese
        commit.setCommitString(word);
        QApplication::sendEvent(w.TxT, &commit);
        QCOMPARE(w.TxT->text(), word);
        QTest::keyClick(w.TxT, Qt::Key_Return);
        QVERIFY(!w.core().Label1[1].Visible && w.TxT->text().isEmpty());
        QCOMPARE(w.core().rightCount, qint64(1));

        w.Label7_Click();
        QVERIFY(!w.pictScroll.isActive() && !w.GaTime.isActive() && !w.lblPause->isHidden());
        QVERIFY(!w.lbmessage->isHidden() && !w.lbmessage->text().isEmpty());
        QTest::keyClick(w.TxT, Qt::Key_Space);
        QVERIFY(w.pictScroll.isActive() && w.GaTime.isActive());
        QVERIFY(w.lblPause->isHidden() && w.lbmessage->isHidden() && w.TxT->text().isEmpty());

        w.Label10_Click();
        QVERIFY(w.pictScroll.isActive());
        QCOMPARE(dialogs.questions.size(), 1);
        w.Label8_Click();
        QVERIFY(!w.pictScroll.isActive() && !w.GaTime.isActive());
        QCOMPARE(dialogs.questions.size(), 2);
        QVERIFY(dialogs.questions.last().contains(QStringLiteral("100.%")));

        w.Label3_Click();
        QVERIFY(w.pictScroll.isActive());
        QVERIFY(w.close());
        QVERIFY(!w.pictScroll.isActive() && !w.GaTime.isActive());
        QCOMPARE(dialogs.questions.size(), 2);
    }

    void figures_cutOffOrOverlapping_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QList<qint64>>("play"); // seconds, hits, entries
        QTest::newRow("1013 s") << 2 << QList<qint64>{1013, 400, 450};
        QTest::newRow("99,999 s, 9,999 words, English") << 1 << QList<qint64>{99999, 9999, 9999};
        QTest::newRow("9,999 words in 61 s, twice each") << 3 << QList<qint64>{61, 9999, 5000};
    }
    void figures_cutOffOrOverlapping()
    {
        QFETCH(int, language);
        QFETCH(QList<qint64>, play);
        GlVexM.languageCode = qint16(language);
        GLVex w;
        w.Label3_Click();
        w.core().rightCount = play[1];
        w.core().inputCount = play[2];
        clock.advance(play[0] * 1000);
        w.GaTime_Timer();
        QCOMPARE(w.timeDisplay->text(), QString::number(play[0]));
        QLabel *const row[] = {w.Label2, w.Label6, w.lbsd, w.Label5, w.lbzql, w.Label4, w.lbfs, w.lblTime, w.timeDisplay};
        for (size_t i = 1; i < std::size(row); ++i) {
            QVERIFY2(row[i]->width() >= row[i]->fontMetrics().horizontalAdvance(row[i]->text()), qPrintable(row[i]->text() + QStringLiteral(" is cut off")));
            QVERIFY2(row[i]->x() > row[i - 1]->geometry().right(), qPrintable(row[i]->text() + QStringLiteral(" overlaps its left neighbour")));
        }
        QVERIFY(w.timeDisplay->geometry().right() < w.timeDisplay->parentWidget()->width());
    }

    void shortcut_wrongCommandOrTakenFromComposition_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("composing");
        QTest::addColumn<QString>("outcome"); // start, pause, a question's title, or the window opened
        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("F2") << int(Qt::Key_F2) << none << false << u"start"_s;
        QTest::newRow("Ctrl+N") << int(Qt::Key_N) << ctrl << false << u"start"_s;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << none << false << u"pause"_s;
        QTest::newRow("Pause") << int(Qt::Key_Pause) << none << false << u"pause"_s;
        QTest::newRow("Ctrl+E, not end of line") << int(Qt::Key_E) << ctrl << false << u"NDCJ"_s;
        QTest::newRow("Ctrl+Q") << int(Qt::Key_Q) << ctrl << false << u"RJXX"_s;
        QTest::newRow("Ctrl+,") << int(Qt::Key_Comma) << ctrl << false << u"setForm"_s;
        QTest::newRow("F1") << int(Qt::Key_F1) << none << false << u"Frmhelp"_s;
        QTest::newRow("Esc cancelling a composition") << int(Qt::Key_Escape) << none << true << QString();
        QTest::newRow("F2 during a composition") << int(Qt::Key_F2) << none << true << QString();
    }
    void shortcut_wrongCommandOrTakenFromComposition()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, composing);
        GLVex w;
        activate(w);
        w.Label3_Click();
        clock.advance(5000);
        QInputMethodEvent preedit(u"ni"_s, {});
        if (composing)
            QApplication::sendEvent(w.TxT, &preedit);
        QStringList happened;
        QTimer::singleShot(0, this, [&happened] { // a modal window the key opened: note it, close it
            if (QWidget *modal = QApplication::activeModalWidget()) {
                happened << modal->objectName();
                modal->close();
            }
        });
        QTest::keyClick(w.TxT, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCoreApplication::processEvents();
        if (w.core().startTick == clock.now)
            happened << u"start"_s;
        if (GlVexM.isPaused)
            happened << u"pause"_s;
        for (const QString &question : std::as_const(dialogs.questions))
            happened << (question.startsWith(lookupText(u"NDCJ"_s)) ? u"NDCJ"_s : u"RJXX"_s);
        QTEST(happened.join(u','), "outcome");
        QCOMPARE(w.TxT->preedit(), composing ? u"ni"_s : QString());
    }

    void settings_notUsableByKeys()
    {
        GLVex main;
        setForm dlg(main.core());
        activate(dlg);
        QCOMPARE(focus(), static_cast<QWidget *>(dlg.setSpeedOK)); // OK, Cancel, then the chosen speed
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Tab})
            QTest::keyClick(focus(), key);
        QVERIFY2(dlg.GaSpeed[3]->isChecked(), "the arrow key did not move the speed");
        QCOMPARE(focus(), static_cast<QWidget *>(dlg.WordSetChoice));
        QTest::keyClick(focus(), Qt::Key_Return); // Enter is OK
        QVERIFY(dlg.isUnloaded() && GlVexM.speedLevel == 4);
    }

    void chooseLanguage_textsFileOrDialogNotFollowing()
    {
        GLVex w;
        w.Label3_Click();
        w.Label7_Click();
        w.chooseLanguage(3);
        QCOMPARE(w.Label3->caption(), GetLanguageText(QStringLiteral("GLVex.label3"), QStringLiteral("3")));
        QCOMPARE(w.lbmessage->text(), GetLanguageText(QStringLiteral("YXZTZAKGJJX"), QStringLiteral("3"))); // the pause notice
        QVERIFY2(w.Label3->toolTip().contains(QStringLiteral("F2")), qPrintable(w.Label3->toolTip()));
        QFile config(playerConfigFile());
        QVERIFY(config.open(QIODevice::ReadOnly) && config.readAll().contains("language=3"));
        // The settings dialog kept after a Cancel follows too: its OK keeps the language.
        for (const char *leave : {"reject", "accept"}) {
            QTimer::singleShot(0, this, [leave] { QMetaObject::invokeMethod(QApplication::activeModalWidget(), leave); });
            w.Label9_Click();
            if (*leave == 'r')
                w.chooseLanguage(2);
        }
        QCOMPARE(int(GlVexM.languageCode), 2);
        QVERIFY(dialogs.notices.isEmpty());
        GlVexM.playerConfigFolder = config.fileName(); // cannot be a folder: told, applied all the same
        w.chooseLanguage(1);
        QCOMPARE(w.windowTitle(), GetLanguageText(QStringLiteral("GLVex.caption"), QStringLiteral("1")));
        QVERIFY(dialogs.notices.size() == 1 && dialogs.notices[0].contains(QDir::toNativeSeparators(config.fileName())));
    }

    void commandBeforeTheStoreOpened_notWaitingForIt()
    {
        GlVexM.storeConn.close(); // as launched: the window first, the store's key behind it
        startOpeningPracticeStore(practiceStorePath());
        deferStartupWork([] { ensurePracticeStore(); });
        GLVex w;
        w.Label3_Click();
        QCOMPARE(w.core().Label1.size(), size_t(6));
        QCOMPARE(dialogs.errors, QStringList());
    }

    void storeFailureDuringAGameReachesTheErrorReport()
    {
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
