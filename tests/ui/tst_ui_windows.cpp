// The four small windows: settings dialog, word details, help and about.
#include "FrmDetail.h"
#include "Frmhelp.h"
#include "ProgressStore.h"
#include "SettingsRules.h"
#include "TestSupport.h"
#include "Texts.h"
#include "Twips.h"
#include "frmAbout.h"
#include "WordListsDialog.h"
#include "setForm.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace trenix;
using namespace trenix::test;

namespace {

enum class GameState { Stopped, Running, Paused };
enum class Leave { OkButton, CancelButton, CloseBox, Escape };

QString text(const QString &id) { return GetLanguageText(id, QStringLiteral("2")); }
bool allOn(const GameCore &c) { return c.pictScroll.Enabled && c.CreatWord.Enabled && c.GaTime.Enabled; }
bool allOff(const GameCore &c) { return !c.pictScroll.Enabled && !c.CreatWord.Enabled && !c.GaTime.Enabled; }
// On the indicator: the button is wider than its caption.
void choose(QRadioButton *option) { QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2)); }
void leave(Leave how, QDialog &dlg, QPushButton *ok, QPushButton *cancel = nullptr)
{
    switch (how) {
    case Leave::OkButton: QTest::mouseClick(ok, Qt::LeftButton); break;
    case Leave::CancelButton: QTest::mouseClick(cancel, Qt::LeftButton); break;
    case Leave::CloseBox: dlg.close(); break;
    case Leave::Escape: QTest::keyClick(&dlg, Qt::Key_Escape); break;
    }
}
QImage comparable(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }

} // namespace

Q_DECLARE_METATYPE(GameState)
Q_DECLARE_METATYPE(Leave)

class TestUiWindows : public QObject, GameFixture {
    Q_OBJECT

    ProgressStore progress;

    void bringTo(GameState state)
    {
        if (state != GameState::Stopped)
            core->Label3_Click();
        if (state == GameState::Paused)
            core->Label7_Click();
        QVERIFY2(state == GameState::Running ? allOn(*core) : allOff(*core), "fixture: the game is not in the state asked for");
    }
    static void activate(QWidget &w)
    {
        w.show();
        w.activateWindow();
        QVERIFY2(QTest::qWaitForWindowActive(&w), "the window never became active");
    }
    QImage page(int number) const { return comparable(QImage(folder->file(QStringLiteral("help0%1.bmp").arg(number)))); }

private slots:
    void initTestCase() { Twips::setDpiForTesting(96); }
    void init()
    {
        start({{2, numberedEntries(50) << DictionaryEntry{51, QStringLiteral("中国"), QStringLiteral("zhōng guó"), QStringLiteral("China"), {}, {}}}}, 1, 50);
        for (int i = 1; i <= Frmhelp::kPages; ++i)
            folder->copyFromBuild({QStringLiteral("help0%1.bmp").arg(i)});
        progress.open(folder->file(QLatin1String(kProgressFile)));
        GlVexM.progress = &progress;
        progress.saveList(QStringLiteral("课本"), {{QStringLiteral("中国"), QStringLiteral("not this"), {}},
                                                   {QStringLiteral("外"), QStringLiteral("wài"), QStringLiteral("outside")}}, false);
    }
    void cleanup() { progress.close(), stop(); }

    // Cancel keeps the dialog, whose next opening shows the edits and holds the game again.
    void settings_wrongStoredMessageOrEditsLost_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<Leave>("how");
        QTest::addColumn<QString>("message"); // its text identifier; empty: none
        QTest::addColumn<int>("storedFrom");
        QTest::addColumn<int>("storedTo");
        QTest::addColumn<QString>("set"); // chosen in the dialog
        const auto row = [](const char *name, const char *from, const char *to, Leave how, const QString &message, int f = 1,
                            int t = 50, const char *set = "range") {
            QTest::newRow(name) << QString::fromUtf8(from) << QString::fromUtf8(to) << how << message << f << t << QString::fromUtf8(set);
        };
        row("empty first", "", "9", Leave::OkButton, textid::kNotNumeric);
        row("500 to 400", "500", "400", Leave::OkButton, textid::kReversed);
        row("2.5 to 3.5", "2.5", "3.5", Leave::OkButton, QString(), 2, 4);
        row("beyond 16 bits", "1", "40000", Leave::OkButton, textid::kOutOfRange);
        row("Cancel button", "20", "abc", Leave::CancelButton, QString());
        row("own list: the range is not judged", "x", "", Leave::OkButton, QString(), 1, 50, "list:课本");
        row("Cancel keeps the set", "1", "2", Leave::CancelButton, QString(), 1, 50, "level:2");
    }
    void settings_wrongStoredMessageOrEditsLost()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(Leave, how);
        QFETCH(QString, message);
        GlVexM.speedLevel = 8;
        bringTo(GameState::Running);
        const int pict = core->pictScroll.Interval, creat = core->CreatWord.Interval;
        setForm dlg(*core);
        activate(dlg);
        QVERIFY2(allOff(*core), "the game runs while the dialog is open");
        choose(dlg.GaSpeed[4]);
        dlg.Txt_Word_From->setText(from);
        dlg.txt_Word_To->setText(to);
        QFETCH(QString, set);
        dlg.WordSetChoice->setCurrentIndex(dlg.WordSetChoice->findData(set));
        QCOMPARE(dlg.Txt_Word_From->isEnabled(), set == QLatin1String("range"));
        leave(how, dlg, dlg.setSpeedOK, dlg.setSpeedCancel);
        QCOMPARE(GlVexM.wordSet.value(), how == Leave::OkButton ? set : QStringLiteral("range"));
        // The speed and the game come back before the range is judged.
        const bool ok = how == Leave::OkButton;
        QCOMPARE(int(GlVexM.speedLevel), ok ? 2 : 8);
        QCOMPARE(core->pictScroll.Interval, ok ? 2000 : pict);
        QCOMPARE(core->CreatWord.Interval, ok ? 1000 : creat);
        QVERIFY2(allOn(*core), "the game did not come back");
        QTEST(int(GlVexM.wordFrom), "storedFrom");
        QTEST(int(GlVexM.wordTo), "storedTo");
        QCOMPARE(dialogs.notices, message.isEmpty() ? QStringList() : QStringList{text(textid::kSettingsTitle) + u'|' + text(message)});
        if (!message.isEmpty()) { // a message box closing hands the focus back: no second hold
            QWidget box;
            activate(box);
            activate(dlg);
            QVERIFY2(allOn(*core), "the dialog held the game again after its message");
        }
        QVERIFY2(dlg.isVisible() == !message.isEmpty(), "a refused range must leave the dialog open, else it closes");
        QVERIFY2(dlg.isUnloaded() == (ok && message.isEmpty()), "only a valid OK unloads the dialog");
        if (ok)
            return;
        activate(dlg);
        QVERIFY2(allOff(*core), "the second opening did not hold the game");
        QCOMPARE(dlg.Txt_Word_From->text(), from);
        QCOMPARE(dlg.txt_Word_To->text(), to);
        QVERIFY(dlg.GaSpeed[4]->isChecked());
    }

    // What an opening shows: the speed in force and the range, read anew after an OK.
    void settings_openingShowsWrongState_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("checked"); // index of the option that shows it
        for (int i = 0; i < 5; ++i)
            QTest::addRow("level %s", setForm::kSpeedTags[size_t(i)]) << QString::fromLatin1(setForm::kSpeedTags[size_t(i)]).toInt() << i;
        QTest::newRow("level without an option keeps the stored one") << 5 << 1;
    }
    void settings_openingShowsWrongState()
    {
        QFETCH(int, level);
        QFETCH(int, checked);
        GlVexM.speedLevel = qint16(level);
        GlVexM.wordFrom = -12;
        GlVexM.wordTo = 345;
        setForm dlg(*core);
        for (int i = 0; i < 5; ++i)
            QVERIFY2(dlg.GaSpeed[size_t(i)]->isChecked() == (i == checked), qPrintable(QStringLiteral("option %1").arg(i)));
        QCOMPARE(dlg.Txt_Word_From->text(), QStringLiteral("-12"));
        QCOMPARE(dlg.txt_Word_To->text(), QStringLiteral("345"));
        QCOMPARE(dlg.WordSetChoice->count(), 9); // the range, six levels, the review, the list
        QVERIFY(dlg.WordSetChoice->itemText(8).contains(QStringLiteral("课本")) && dlg.WordSetChoice->itemText(8).contains(u'2'));
        QCOMPARE(dlg.windowTitle(), text(QStringLiteral("setForm.caption")));
        QCOMPARE(dlg.GaSpeed[size_t(checked)]->text(), text(QString::fromLatin1(std::array{"MS", "PTMS", "PTSD", "PTKS", "KS"}[size_t(checked)])));
    }

    // Every visible control lies inside its parent and clear of its visible
    // siblings; the stored layout's rules and frames may touch by 2 px.
    void layout_controlsOverlapOrStickOut_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *w : {"setForm", "FrmDetail", "Frmhelp", "frmAbout", "WordListsDialog"})
            QTest::newRow(w) << QString::fromLatin1(w);
    }
    void layout_controlsOverlapOrStickOut()
    {
        QFETCH(QString, window);
        GlVexM.detailWord = QStringLiteral("中国");
        std::unique_ptr<QDialog> dlg;
        if (window == QLatin1String("setForm")) dlg = std::make_unique<setForm>(*core);
        else if (window == QLatin1String("FrmDetail")) dlg = std::make_unique<FrmDetail>(core->practice());
        else if (window == QLatin1String("Frmhelp")) dlg = std::make_unique<Frmhelp>();
        else if (window == QLatin1String("WordListsDialog")) dlg = std::make_unique<WordListsDialog>(*core, nullptr);
        else dlg = std::make_unique<frmAbout>(*core);
        dlg->show();
        QStringList faults;
        const auto inner = [](QWidget *w) { return w->geometry().adjusted(2, 2, -2, -2); };
        const auto check = [&](const auto &self, QWidget *parent) -> void {
            QList<QWidget *> kids;
            for (QWidget *w : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (w->isVisible() && !w->isWindow())
                    kids << w;
            for (qsizetype i = 0; i < kids.size(); ++i) {
                if (!parent->rect().contains(inner(kids[i])))
                    faults << kids[i]->metaObject()->className() + QStringLiteral(" sticks out of ") + parent->metaObject()->className();
                for (qsizetype j = i + 1; j < kids.size(); ++j)
                    if (inner(kids[i]).intersects(inner(kids[j])))
                        faults << QStringLiteral("%1 \"%2\" overlaps %3").arg(kids[i]->metaObject()->className(), kids[i]->objectName(), kids[j]->metaObject()->className());
                self(self, kids[i]);
            }
        };
        check(check, dlg.get());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    void holding_gameNotHeldOrNotResumed_data()
    {
        QTest::addColumn<bool>("about"); // else the settings dialog
        QTest::addColumn<GameState>("state");
        QTest::addColumn<Leave>("how");
        QTest::newRow("settings, paused, close box") << false << GameState::Paused << Leave::CloseBox;
        QTest::newRow("settings, stopped, OK") << false << GameState::Stopped << Leave::OkButton;
        QTest::newRow("about, running, close box") << true << GameState::Running << Leave::CloseBox;
        QTest::newRow("about, paused, OK") << true << GameState::Paused << Leave::OkButton;
    }
    void holding_gameNotHeldOrNotResumed()
    {
        QFETCH(bool, about);
        QFETCH(GameState, state);
        QFETCH(Leave, how);
        bringTo(state);
        const bool paused = GlVexM.isPaused;
        setForm settings(*core);
        frmAbout info(*core);
        HoldingDialog &dlg = about ? static_cast<HoldingDialog &>(info) : settings;
        activate(dlg);
        QVERIFY2(allOff(*core), "the game runs while the window is open");
        leave(how, dlg, about ? info.Command1 : settings.setSpeedOK, settings.setSpeedCancel);
        QVERIFY(!dlg.isVisible());
        QVERIFY2(state == GameState::Running ? allOn(*core) : allOff(*core), "the game is not back as it was");
        QVERIFY2(!dlg.stoppedTimers, "the dialog still owes the game a restart");
        QCOMPARE(GlVexM.isPaused, paused); // holding is not pausing
    }

    void detail_wrongEntryShownOrMarkerLeft_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("py");
        QTest::addColumn<QString>("yw");
        QTest::addColumn<Leave>("how");
        QTest::newRow("known word, button") << QStringLiteral("中国") << QStringLiteral("zhōng guó") << QStringLiteral("China") << Leave::OkButton;
        QTest::newRow("own word: its list's pinyin") << QStringLiteral("外") << QStringLiteral("wài") << QStringLiteral("outside") << Leave::OkButton;
        QTest::newRow("injection finds nothing, Escape") << QStringLiteral("' or 1=1 --") << QString() << QString() << Leave::Escape;
    }
    void detail_wrongEntryShownOrMarkerLeft()
    {
        QFETCH(QString, word);
        QFETCH(Leave, how);
        GlVexM.detailWord = word;
        FrmDetail detail(core->practice());
        QCOMPARE(detail.Txt_cz->text(), word);
        QTEST(detail.Txt_py->text(), "py");
        QTEST(detail.Txt_yw->text(), "yw");
        for (const QLineEdit *box : {detail.Txt_cz, detail.Txt_py, detail.Txt_yw})
            QVERIFY2(box->isReadOnly(), qPrintable(box->objectName() + QStringLiteral(" can be edited")));
        QCOMPARE(detail.windowTitle(), text(QStringLiteral("FrmDetail.caption")));
        QCOMPARE(detail.Command1->text(), text(QStringLiteral("FrmDetail.command1")));
        detail.show();
        QCOMPARE(GlVexM.detailWord, word);
        leave(how, detail, detail.Command1);
        QVERIFY(!detail.isVisible());
        QVERIFY2(GlVexM.detailWord.isEmpty(), qPrintable(QStringLiteral("detailWord left as ") + GlVexM.detailWord));
    }

    void help_notFirstPageAtOpeningOrClickShowsWrongPage_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < Frmhelp::kPages; ++i)
            QTest::addRow("label %d", i) << i;
    }
    void help_notFirstPageAtOpeningOrClickShowsWrongPage()
    {
        QFETCH(int, index);
        const int other = (index + 1) % Frmhelp::kPages; // a click that loads nothing is caught
        QVERIFY2(!page(index + 1).isNull() && page(index + 1) != page(other + 1), "fixture: page missing or two pages alike");
        Frmhelp help;
        QCOMPARE(help.currentPage(), 1);
        QVERIFY(help.pictureShown() && help.Label1[0]->isCurrent());
        QCOMPARE(comparable(help.Picture1->pixmap().toImage()), page(1));
        help.show();
        help.Label1_Click(other);
        QTest::mouseClick(help.Label1[size_t(index)], Qt::LeftButton);
        QCOMPARE(help.currentPage(), index + 1);
        QVERIFY(help.pictureShown());
        QCOMPARE(comparable(help.Picture1->pixmap().toImage()), page(index + 1));
        for (int i = 0; i < Frmhelp::kPages; ++i)
            QVERIFY2(help.Label1[size_t(i)]->isCurrent() == (i == index), qPrintable(QStringLiteral("highlight of label %1").arg(i)));
        QCOMPARE(help.Label1[size_t(index)]->text(), text(QStringLiteral("Frmhelp.label1(%1)").arg(index)));
        QCOMPARE(help.Label1[size_t(index)]->cursor().shape(), Qt::PointingHandCursor);
    }

    void help_wrongLanguagePageOrNoFallback_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("shown");
        QTest::newRow("English page") << 1 << QStringLiteral("help01-1.bmp");
        QTest::newRow("damaged traditional page") << 3 << QStringLiteral("help01.bmp");
    }
    void help_wrongLanguagePageOrNoFallback()
    {
        QFETCH(int, language);
        QFETCH(QString, shown);
        GlVexM.languageCode = qint16(language);
        folder->copyFromBuild({QStringLiteral("help01-1.bmp")});
        folder->writeFile(QStringLiteral("help01-3.bmp"), "BM broken");
        Frmhelp help;
        QVERIFY(help.pictureShown());
        QCOMPARE(comparable(help.Picture1->pixmap().toImage()), comparable(QImage(folder->file(shown))));
    }
};

QTEST_MAIN(TestUiWindows)
#include "tst_ui_windows.moc"
