// The main window, offscreen: its captions, how it forwards its events to the game, and its error report.
#include "GLVex.h"
#include "LanguageChoice.h"
#include "PlayField.h"
#include "TestSupport.h"
#include "TypingBox.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace trenix;
using namespace trenix::test;

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
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<qint64>("hits");
        QTest::addColumn<qint64>("entries");
        QTest::newRow("1013 s") << 2 << qint64(1013) << qint64(400) << qint64(450);
        QTest::newRow("99,999 s, 9,999 words, English") << 1 << qint64(99999) << qint64(9999) << qint64(9999);
        QTest::newRow("9,999 words in 61 s, twice each") << 3 << qint64(61) << qint64(9999) << qint64(5000);
    }
    void figures_cutOffOrOverlapping()
    {
        QFETCH(int, language);
        QFETCH(qint64, seconds);
        GlVexM.languageCode = qint16(language);
        GLVex w;
        w.Label3_Click();
        QFETCH(qint64, hits);
        QFETCH(qint64, entries);
        w.core().rightCount = hits;
        w.core().inputCount = entries;
        clock.advance(seconds * 1000);
        w.GaTime_Timer();
        QCOMPARE(w.timeDisplay->text(), QString::number(seconds));
        QLabel *const row[] = {w.Label2, w.Label6, w.lbsd, w.Label5, w.lbzql, w.Label4, w.lbfs, w.lblTime, w.timeDisplay};
        for (size_t i = 1; i < std::size(row); ++i) {
            const QLabel *l = row[i];
            QVERIFY2(l->width() >= l->fontMetrics().horizontalAdvance(l->text()),
                     qPrintable(l->text() + QStringLiteral(" is cut off")));
            QVERIFY2(l->x() >= row[i - 1]->x() + row[i - 1]->width(), qPrintable(l->text() + QStringLiteral(" overlaps its left neighbour")));
        }
        QVERIFY(w.timeDisplay->geometry().right() < w.timeDisplay->parentWidget()->width());
    }

    void chooseLanguage_textsFileOrFontsNotFollowing()
    {
        GlVexM.languageCode = 2;
        GLVex w;
        w.Label3_Click();
        w.Label7_Click();
        w.chooseLanguage(3);
        QCOMPARE(w.Label3->caption(), GetLanguageText(QStringLiteral("GLVex.label3"), QStringLiteral("3")));
        QCOMPARE(w.lbmessage->text(), GetLanguageText(QStringLiteral("YXZTZAKGJJX"), QStringLiteral("3")));
        QVERIFY2(w.Label3->toolTip().contains(QStringLiteral("F2")), qPrintable(w.Label3->toolTip()));
        QCOMPARE(w.lbfs->font().families().indexOf(QStringLiteral("Noto Sans CJK TC")) + 1,
                 w.lbfs->font().families().indexOf(QStringLiteral("Noto Sans CJK SC")));
        QFile config(playerConfigFile());
        QVERIFY(config.open(QIODevice::ReadOnly));
        QVERIFY(config.readAll().contains("language=3"));
        QVERIFY(dialogs.notices.isEmpty());
        // The settings dialog kept after a Cancel follows too: its OK keeps the language.
        for (const char *leave : {"reject", "accept"}) {
            QTimer::singleShot(0, this, [leave] { QMetaObject::invokeMethod(QApplication::activeModalWidget(), leave); });
            w.Label9_Click();
            if (*leave == 'r')
                w.chooseLanguage(2);
        }
        QCOMPARE(int(GlVexM.languageCode), 2);
        GlVexM.playerConfigFolder = config.fileName(); // cannot be a folder: told, applied all the same
        w.chooseLanguage(1);
        QCOMPARE(w.windowTitle(), GetLanguageText(QStringLiteral("GLVex.caption"), QStringLiteral("1")));
        QCOMPARE(dialogs.notices.size(), 1);
        QVERIFY(dialogs.notices.first().contains(QDir::toNativeSeparators(config.fileName())));
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
