// The four small windows: settings dialog, word details, help and about.
#include "FrmDetail.h"
#include "Frmhelp.h"
#include "GameCore.h"
#include "GlVexM.h"
#include "SettingsRules.h"
#include "TestSupport.h"
#include "Twips.h"
#include "frmAbout.h"
#include "setForm.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace trenix;
using trenix::test::FakeClock;
using trenix::test::ProgramFolder;
using trenix::test::ScriptedDialogs;

namespace {

enum class GameState { Stopped, Running, Paused, Over };
enum class Leave { OkButton, CancelButton, CloseBox, Escape };

QString text(const char *id, int lang) { return GetLanguageText(QLatin1String(id), QString::number(lang)); }

QString timers(const GameCore &core)
{
    return QStringLiteral("pictScroll %1, CreatWord %2, GaTime %3")
        .arg(core.pictScroll.Enabled).arg(core.CreatWord.Enabled).arg(core.GaTime.Enabled);
}

bool allOn(const GameCore &c) { return c.pictScroll.Enabled && c.CreatWord.Enabled && c.GaTime.Enabled; }
bool allOff(const GameCore &c) { return !c.pictScroll.Enabled && !c.CreatWord.Enabled && !c.GaTime.Enabled; }

// On the indicator: the button is wider than its caption.
void choose(QRadioButton *option) { QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2)); }

QImage comparable(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }

} // namespace

Q_DECLARE_METATYPE(GameState)
Q_DECLARE_METATYPE(Leave)

class TestUiWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Settings dialog.
    void settingsLoad_wrongOptionOrRangeShown_data();
    void settingsLoad_wrongOptionOrRangeShown();
    void settingsCaptions_wrongTextOrLanguage_data();
    void settingsCaptions_wrongTextOrLanguage();
    void settingsOk_wrongSpeedOrIntervals_data();
    void settingsOk_wrongSpeedOrIntervals();
    void settingsOk_wrongRangeMessageOrStored_data();
    void settingsOk_wrongRangeMessageOrStored();
    void settingsHold_gameNotHeldOrNotResumed_data();
    void settingsHold_gameNotHeldOrNotResumed();
    void settingsCancel_editsLostOrStored_data();
    void settingsCancel_editsLostOrStored();
    void settingsReopen_gameNotHeldAgain();
    void settingsGameTime_shownOrStored();

    // Word details.
    void detail_wrongEntryShown_data();
    void detail_wrongEntryShown();
    void detail_markerLeftAfterClosing_data();
    void detail_markerLeftAfterClosing();
    void detail_missingDictionarySwallowed();

    // Help.
    void help_notFirstPageAtOpening();
    void help_pageClickShowsWrongPicture_data();
    void help_pageClickShowsWrongPicture();
    void help_badPictureFailsOrShowsNothing_data();
    void help_badPictureFailsOrShowsNothing();

    // About.
    void about_gameNotHeldOrNotResumed_data();
    void about_gameNotHeldOrNotResumed();

    // All windows.
    void window_resizableOrNotCentred_data();
    void window_resizableOrNotCentred();

private:
    void useDictionary(const QList<DictionaryEntry> &entries);
    void openStore();
    void bringTo(GameState state);
    void activate(QWidget &w);

    FakeClock m_clock;
    ScriptedDialogs m_dialogs;
    Random m_random;
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<GameCore> m_core;
};

void TestUiWindows::initTestCase()
{
    // The layouts are in twips; fix the density so sizes are the same everywhere.
    Twips::setDpiForTesting(96);
}

void TestUiWindows::init()
{
    m_dialogs = ScriptedDialogs();
    m_folder = std::make_unique<ProgramFolder>();
    m_folder->copyAllFromBuild();
    m_folder->install();
    test::resetAll(&m_clock, &m_dialogs, &m_random);
    GlVexM.languageCode = 2;
    GlVexM.wordFrom = 1;
    GlVexM.wordTo = 50;
    openStore();
}

void TestUiWindows::openStore()
{
    m_core.reset();
    openPracticeStore(*m_folder);
    m_core = std::make_unique<GameCore>(GlVexM.storeConn, [](const QString &s) { return qint64(s.size() * 300); });
    m_core->load();
}

void TestUiWindows::cleanup()
{
    m_core.reset();
    resetModuleVariables();
    GlVexM.programFolder.clear();
    GlVexM.clock = nullptr;
    GlVexM.dialogs = nullptr;
    GlVexM.random = nullptr;
    m_folder.reset();
}

void TestUiWindows::useDictionary(const QList<DictionaryEntry> &entries)
{
    m_core.reset();
    GlVexM.storeConn.close();
    m_folder->makePracticeStore({{2, entries}});
    openStore();
}

void TestUiWindows::bringTo(GameState state)
{
    switch (state) {
    case GameState::Stopped:
        break;
    case GameState::Running:
        m_core->Label3_Click();
        break;
    case GameState::Paused:
        m_core->Label3_Click();
        m_core->Label7_Click();
        break;
    case GameState::Over:
        m_core->Label3_Click();
        m_core->Label8_Click(); // the question is answered No
        break;
    }
    const bool shouldRun = state == GameState::Running;
    QVERIFY2(shouldRun ? allOn(*m_core) : allOff(*m_core), qPrintable(QStringLiteral("fixture: ") + timers(*m_core)));
}

void TestUiWindows::activate(QWidget &w)
{
    w.show();
    w.activateWindow();
    QVERIFY2(QTest::qWaitForWindowActive(&w), "the window never became active");
}

// --- Settings dialog --------------------------------------------------------

void TestUiWindows::settingsLoad_wrongOptionOrRangeShown_data()
{
    QTest::addColumn<int>("speedLevel");
    QTest::addColumn<int>("checked");
    QTest::newRow("slow 10") << 10 << 0;
    QTest::newRow("slower 8") << 8 << 1;
    QTest::newRow("normal 6") << 6 << 2;
    QTest::newRow("faster 4") << 4 << 3;
    QTest::newRow("fast 2") << 2 << 4;
    QTest::newRow("no option for 7 keeps slower") << 7 << 1;
}

void TestUiWindows::settingsLoad_wrongOptionOrRangeShown()
{
    QFETCH(int, speedLevel);
    QFETCH(int, checked);
    GlVexM.speedLevel = qint16(speedLevel);
    GlVexM.wordFrom = -12;
    GlVexM.wordTo = 345;
    setForm dlg(*m_core);
    for (int i = 0; i < 5; ++i)
        QVERIFY2(dlg.GaSpeed[size_t(i)]->isChecked() == (i == checked), qPrintable(QStringLiteral("option %1").arg(i)));
    QCOMPARE(dlg.Txt_Word_From->text(), QStringLiteral("-12"));
    QCOMPARE(dlg.txt_Word_To->text(), QStringLiteral("345"));
}

void TestUiWindows::settingsCaptions_wrongTextOrLanguage_data()
{
    QTest::addColumn<int>("lang");
    QTest::newRow("English") << 1;
    QTest::newRow("simplified") << 2;
    QTest::newRow("traditional") << 3;
}

void TestUiWindows::settingsCaptions_wrongTextOrLanguage()
{
    QFETCH(int, lang);
    GlVexM.languageCode = qint16(lang);
    setForm dlg(*m_core);
    const QList<std::pair<QString, QString>> shown = {
        {dlg.windowTitle(), text("setForm.caption", lang)},
        {dlg.Frame2->title(), text("SDSZ", lang)},
        {dlg.GaSpeed[0]->text(), text("MS", lang)},
        {dlg.GaSpeed[1]->text(), text("PTMS", lang)},
        {dlg.GaSpeed[2]->text(), text("PTSD", lang)},
        {dlg.GaSpeed[3]->text(), text("PTKS", lang)},
        {dlg.GaSpeed[4]->text(), text("KS", lang)},
        {dlg.Frame3->title(), text("CZFW", lang)},
        {dlg.Label1->text(), text("C", lang)},
        {dlg.Label2->text(), text("D", lang)},
        {dlg.Label3->text(), text("BZCZFW", lang)},
        {dlg.setSpeedOK->text(), text("QD", lang)},
        {dlg.setSpeedCancel->text(), text("FH", lang)},
    };
    for (const auto &[got, want] : shown) {
        QVERIFY2(!want.isEmpty(), "fixture: the language store lacks a text");
        QCOMPARE(got, want);
    }
}

void TestUiWindows::settingsOk_wrongSpeedOrIntervals_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("level");
    QTest::newRow("slow") << 0 << 10;
    QTest::newRow("slower") << 1 << 8;
    QTest::newRow("normal") << 2 << 6;
    QTest::newRow("faster") << 3 << 4;
    QTest::newRow("fast") << 4 << 2;
}

void TestUiWindows::settingsOk_wrongSpeedOrIntervals()
{
    QFETCH(int, option);
    QFETCH(int, level);
    GlVexM.speedLevel = option == 1 ? 6 : 8; // never already the chosen level
    setForm dlg(*m_core);
    dlg.show();
    choose(dlg.GaSpeed[size_t(option)]);
    QVERIFY(dlg.GaSpeed[size_t(option)]->isChecked());
    QTest::mouseClick(dlg.setSpeedOK, Qt::LeftButton);
    QCOMPARE(int(GlVexM.speedLevel), level);
    QCOMPARE(m_core->pictScroll.Interval, level * 1000);
    QCOMPARE(m_core->CreatWord.Interval, level * 500);
    QVERIFY2(dlg.isUnloaded() && !dlg.isVisible(), "a valid OK must close the dialog");
}

void TestUiWindows::settingsOk_wrongRangeMessageOrStored_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<int>("storedFrom");
    QTest::addColumn<int>("storedTo");
    const QString notNumber = settings::kNotNumeric;
    const QString reversed = settings::kReversed;
    const QString outside = settings::kOutOfRange;
    const auto row = [](const char *name, const QString &from, const QString &to, const QString &message,
                        int f = 1, int t = 50) { QTest::newRow(name) << from << to << message << f << t; };
    row("empty first", QString(), QStringLiteral("9"), notNumber);
    row("empty last", QStringLiteral("1"), QString(), notNumber);
    row("letters", QStringLiteral("abc"), QStringLiteral("9"), notNumber);
    row("letters after digits", QStringLiteral("1"), QStringLiteral("9x"), notNumber);
    row("500 to 400", QStringLiteral("500"), QStringLiteral("400"), reversed);
    row("5 to 5", QStringLiteral("5"), QStringLiteral("5"), QString(), 5, 5);
    row("2.5 to 3.5", QStringLiteral("2.5"), QStringLiteral("3.5"), QString(), 2, 4);
    row("beyond 16 bits", QStringLiteral("1"), QStringLiteral("40000"), outside);
    row("rounds beyond 16 bits", QStringLiteral("-32768.6"), QStringLiteral("1"), outside);
    row("exponent", QStringLiteral("1e1"), QStringLiteral("1e3"), QString(), 10, 1000);
    row("blanks around", QStringLiteral(" 12 "), QStringLiteral(" 13 "), QString(), 12, 13);
    row("very long number", QStringLiteral("1"), QString(200000, u'9'), outside);
    row("very long text", QString(200000, u'x'), QStringLiteral("1"), notNumber);
}

void TestUiWindows::settingsOk_wrongRangeMessageOrStored()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, message);
    QFETCH(int, storedFrom);
    QFETCH(int, storedTo);
    bringTo(GameState::Running);
    setForm dlg(*m_core);
    activate(dlg);
    QVERIFY2(allOff(*m_core), qPrintable(timers(*m_core)));
    choose(dlg.GaSpeed[4]);
    dlg.Txt_Word_From->setText(from);
    dlg.txt_Word_To->setText(to);
    QTest::mouseClick(dlg.setSpeedOK, Qt::LeftButton);

    // The speed and the game come back before the range is judged.
    QCOMPARE(int(GlVexM.speedLevel), 2);
    QVERIFY2(allOn(*m_core), qPrintable(timers(*m_core)));
    QCOMPARE(int(GlVexM.wordFrom), storedFrom);
    QCOMPARE(int(GlVexM.wordTo), storedTo);
    if (message.isEmpty()) {
        QCOMPARE(m_dialogs.notices, QStringList());
        QVERIFY(dlg.isUnloaded());
        QVERIFY(!dlg.isVisible());
    } else {
        QCOMPARE(m_dialogs.notices, QStringList{settings::kMessageTitle + u'|' + message});
        QVERIFY2(!dlg.isUnloaded() && dlg.isVisible(), "a refused range must leave the dialog open");
    }
}

void TestUiWindows::settingsHold_gameNotHeldOrNotResumed_data()
{
    QTest::addColumn<GameState>("state");
    QTest::addColumn<Leave>("leave");
    QTest::addColumn<bool>("validRange");
    QTest::newRow("running, OK") << GameState::Running << Leave::OkButton << true;
    QTest::newRow("running, refused OK") << GameState::Running << Leave::OkButton << false;
    QTest::newRow("running, Cancel") << GameState::Running << Leave::CancelButton << true;
    QTest::newRow("running, close box") << GameState::Running << Leave::CloseBox << true;
    QTest::newRow("running, Escape") << GameState::Running << Leave::Escape << true;
    QTest::newRow("paused, OK") << GameState::Paused << Leave::OkButton << true;
    QTest::newRow("paused, Cancel") << GameState::Paused << Leave::CancelButton << true;
    QTest::newRow("paused, close box") << GameState::Paused << Leave::CloseBox << true;
    QTest::newRow("stopped, OK") << GameState::Stopped << Leave::OkButton << true;
    QTest::newRow("stopped, refused OK") << GameState::Stopped << Leave::OkButton << false;
    QTest::newRow("stopped, Cancel") << GameState::Stopped << Leave::CancelButton << true;
    QTest::newRow("game over, close box") << GameState::Over << Leave::CloseBox << true;
}

void TestUiWindows::settingsHold_gameNotHeldOrNotResumed()
{
    QFETCH(GameState, state);
    QFETCH(Leave, leave);
    QFETCH(bool, validRange);
    bringTo(state);
    const bool paused = GlVexM.isPaused;
    const qint64 played = m_core->playedSeconds;
    setForm dlg(*m_core);
    activate(dlg);
    QVERIFY2(allOff(*m_core), qPrintable(QStringLiteral("while open: ") + timers(*m_core)));
    if (!validRange)
        dlg.txt_Word_To->setText(QStringLiteral("x"));
    switch (leave) {
    case Leave::OkButton: QTest::mouseClick(dlg.setSpeedOK, Qt::LeftButton); break;
    case Leave::CancelButton: QTest::mouseClick(dlg.setSpeedCancel, Qt::LeftButton); break;
    case Leave::CloseBox: dlg.close(); break;
    case Leave::Escape: QTest::keyClick(&dlg, Qt::Key_Escape); break;
    }
    const bool resumed = state == GameState::Running;
    QVERIFY2(resumed ? allOn(*m_core) : allOff(*m_core), qPrintable(QStringLiteral("after: ") + timers(*m_core)));
    QVERIFY2(!dlg.stoppedTimers, "the dialog still owes the game a restart");
    QCOMPARE(dlg.isVisible(), !validRange);
    // Holding is not pausing: the pause state and the seconds stay as they were.
    QCOMPARE(GlVexM.isPaused, paused);
    QCOMPARE(m_core->playedSeconds, played);
}

void TestUiWindows::settingsCancel_editsLostOrStored_data()
{
    QTest::addColumn<Leave>("leave");
    QTest::newRow("Cancel button") << Leave::CancelButton;
    QTest::newRow("close box") << Leave::CloseBox;
    QTest::newRow("Escape") << Leave::Escape;
}

void TestUiWindows::settingsCancel_editsLostOrStored()
{
    QFETCH(Leave, leave);
    GlVexM.speedLevel = 8;
    const int pict = m_core->pictScroll.Interval, creat = m_core->CreatWord.Interval;
    setForm dlg(*m_core);
    activate(dlg);
    choose(dlg.GaSpeed[4]);
    dlg.Txt_Word_From->setText(QStringLiteral("20"));
    dlg.txt_Word_To->setText(QStringLiteral("abc"));
    switch (leave) {
    case Leave::CancelButton: QTest::mouseClick(dlg.setSpeedCancel, Qt::LeftButton); break;
    case Leave::CloseBox: dlg.close(); break;
    case Leave::Escape: QTest::keyClick(&dlg, Qt::Key_Escape); break;
    case Leave::OkButton: QFAIL("not a cancel"); break;
    }
    QVERIFY(!dlg.isVisible());
    QVERIFY2(!dlg.isUnloaded(), "Cancel keeps the dialog for the next opening");
    QCOMPARE(int(GlVexM.speedLevel), 8);
    QCOMPARE(int(GlVexM.wordFrom), 1);
    QCOMPARE(int(GlVexM.wordTo), 50);
    QCOMPARE(m_core->pictScroll.Interval, pict);
    QCOMPARE(m_core->CreatWord.Interval, creat);
    QCOMPARE(m_dialogs.notices, QStringList());

    // The next opening shows the texts and the option as the player left them.
    activate(dlg);
    QCOMPARE(dlg.Txt_Word_From->text(), QStringLiteral("20"));
    QCOMPARE(dlg.txt_Word_To->text(), QStringLiteral("abc"));
    QVERIFY(dlg.GaSpeed[4]->isChecked());
}

// The dialog is kept after Cancel; each new opening must hold the game again.
void TestUiWindows::settingsReopen_gameNotHeldAgain()
{
    bringTo(GameState::Running);
    setForm dlg(*m_core);
    activate(dlg);
    QTest::mouseClick(dlg.setSpeedCancel, Qt::LeftButton);
    QVERIFY2(allOn(*m_core), qPrintable(timers(*m_core)));

    // Opened the way the main window opens it: modal, until hidden.
    bool heldWhileOpen = false;
    QTimer::singleShot(0, &dlg, [&] {
        if (!QTest::qWaitForWindowActive(&dlg))
            return dlg.reject();
        heldWhileOpen = allOff(*m_core);
        QTest::mouseClick(dlg.setSpeedOK, Qt::LeftButton);
    });
    dlg.exec();
    QVERIFY2(heldWhileOpen, "the second opening did not hold the game");
    QVERIFY2(allOn(*m_core), qPrintable(timers(*m_core)));
    QVERIFY(dlg.isUnloaded());
}

void TestUiWindows::settingsGameTime_shownOrStored()
{
    setForm dlg(*m_core);
    activate(dlg);
    QVERIFY2(!dlg.Frame1->isVisible(), "the game-time group does nothing and must not be offered");
    QTest::mouseClick(dlg.setSpeedOK, Qt::LeftButton);
    QCOMPARE(int(GlVexM.gameMinutes), 0);
}

// --- Word details -------------------------------------------------------------

void TestUiWindows::detail_wrongEntryShown_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("cz");
    QTest::addColumn<QString>("py");
    QTest::addColumn<QString>("yw");
    QTest::newRow("known word") << QStringLiteral("中国") << QStringLiteral("中国") << QStringLiteral("zhōng guó") << QStringLiteral("China");
    QTest::newRow("unknown word shows only the word") << QStringLiteral("没有") << QStringLiteral("没有") << QString() << QString();
    QTest::newRow("word with a quote") << QStringLiteral("it's") << QStringLiteral("it's") << QStringLiteral("quote py") << QStringLiteral("quote yw");
    QTest::newRow("injection finds nothing") << QStringLiteral("' or 1=1 --") << QStringLiteral("' or 1=1 --") << QString() << QString();
    QTest::newRow("entry after the first row") << QStringLiteral("你好") << QStringLiteral("你好") << QStringLiteral("nǐ hǎo") << QStringLiteral("hello");
}

void TestUiWindows::detail_wrongEntryShown()
{
    QFETCH(QString, word);
    QFETCH(QString, cz);
    QFETCH(QString, py);
    QFETCH(QString, yw);
    useDictionary({
        {1, QStringLiteral("中国"), QStringLiteral("zhōng guó"), QStringLiteral("China"), QString(), QString()},
        {2, QStringLiteral("it's"), QStringLiteral("quote py"), QStringLiteral("quote yw"), QString(), QString()},
        {3, QStringLiteral("你好"), QStringLiteral("nǐ hǎo"), QStringLiteral("hello"), QString(), QString()},
    });
    GlVexM.detailWord = word;
    FrmDetail detail(m_core->practice());
    QCOMPARE(detail.Txt_cz->text(), cz);
    QCOMPARE(detail.Txt_py->text(), py);
    QCOMPARE(detail.Txt_yw->text(), yw);
    for (const QLineEdit *box : {detail.Txt_cz, detail.Txt_py, detail.Txt_yw})
        QVERIFY2(box->isReadOnly(), qPrintable(box->objectName() + QStringLiteral(" can be edited")));
    QCOMPARE(detail.windowTitle(), text("FrmDetail.caption", 2));
    QCOMPARE(detail.Command1->text(), text("FrmDetail.command1", 2));
}

void TestUiWindows::detail_markerLeftAfterClosing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("button") << QStringLiteral("button");
    QTest::newRow("close box") << QStringLiteral("close");
    QTest::newRow("Escape") << QStringLiteral("escape");
    QTest::newRow("Enter") << QStringLiteral("enter");
}

void TestUiWindows::detail_markerLeftAfterClosing()
{
    QFETCH(QString, how);
    GlVexM.detailWord = QStringLiteral("在");
    FrmDetail detail(m_core->practice());
    QCOMPARE(detail.Txt_cz->text(), QStringLiteral("在"));
    QString duringExec;
    QTimer::singleShot(0, &detail, [&] {
        duringExec = GlVexM.detailWord;
        if (how == QLatin1String("button"))
            QTest::mouseClick(detail.Command1, Qt::LeftButton);
        else if (how == QLatin1String("close"))
            detail.close();
        else if (how == QLatin1String("escape"))
            QTest::keyClick(&detail, Qt::Key_Escape);
        else
            QTest::keyClick(&detail, Qt::Key_Return);
        // Whatever went wrong above, the modal loop must end.
        if (detail.isVisible()) {
            duringExec = QStringLiteral("<still open>");
            detail.QDialog::done(0);
        }
    });
    detail.exec();
    QCOMPARE(duringExec, QStringLiteral("在"));
    QVERIFY2(GlVexM.detailWord.isEmpty(), qPrintable(QStringLiteral("detailWord left as ") + GlVexM.detailWord));
}

void TestUiWindows::detail_missingDictionarySwallowed()
{
    GlVexM.languageCode = 7; // no zidian7 in the store
    GlVexM.detailWord = QStringLiteral("在");
    bool thrown = false;
    try {
        FrmDetail detail(m_core->practice());
    } catch (const Error &e) {
        thrown = true;
        QVERIFY2(e.message().contains(QStringLiteral("zidian7")), qPrintable(e.message()));
    }
    QVERIFY2(thrown, "a missing dictionary must reach the main window's error report");
    QVERIFY2(GlVexM.detailWord.isEmpty(), "detailWord outlived the failed opening");
}

// --- Help ---------------------------------------------------------------------

void TestUiWindows::help_notFirstPageAtOpening()
{
    {
        Frmhelp help;
        help.Label1_Click(4);
        QCOMPARE(help.currentPage(), 5);
    }
    Frmhelp help;
    QCOMPARE(help.currentPage(), 1);
    QVERIFY(help.pictureShown());
    QCOMPARE(comparable(help.Picture1->pixmap().toImage()), comparable(QImage(m_folder->file(QStringLiteral("help01.bmp")))));
    QVERIFY(help.Label1[0]->isCurrent());
}

void TestUiWindows::help_pageClickShowsWrongPicture_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < Frmhelp::kPages; ++i)
        QTest::addRow("label %d", i) << i;
}

void TestUiWindows::help_pageClickShowsWrongPicture()
{
    QFETCH(int, index);
    const QImage wanted = comparable(QImage(m_folder->file(QStringLiteral("help0%1.bmp").arg(index + 1))));
    QVERIFY2(!wanted.isNull(), "fixture: page picture missing");
    // Start on another page so that a click that loads nothing is caught.
    const int other = (index + 1) % Frmhelp::kPages;
    QVERIFY2(wanted != comparable(QImage(m_folder->file(QStringLiteral("help0%1.bmp").arg(other + 1)))),
             "fixture: two pages look the same");
    Frmhelp help;
    help.show();
    help.Label1_Click(other);
    QTest::mouseClick(help.Label1[size_t(index)], Qt::LeftButton);
    QCOMPARE(help.currentPage(), index + 1);
    QVERIFY(help.pictureShown());
    QCOMPARE(comparable(help.Picture1->pixmap().toImage()), wanted);
    for (int i = 0; i < Frmhelp::kPages; ++i)
        QVERIFY2(help.Label1[size_t(i)]->isCurrent() == (i == index), qPrintable(QStringLiteral("highlight of label %1").arg(i)));
    QCOMPARE(help.Label1[size_t(index)]->text(), text(qPrintable(QStringLiteral("Frmhelp.label1(%1)").arg(index)), 2));
    QCOMPARE(help.Label1[size_t(index)]->cursor().shape(), Qt::PointingHandCursor);
}

void TestUiWindows::help_badPictureFailsOrShowsNothing_data()
{
    QTest::addColumn<QByteArray>("content"); // null: the file is missing
    QTest::addColumn<int>("page");
    QTest::newRow("missing first page") << QByteArray() << 1;
    QTest::newRow("missing last page") << QByteArray() << 7;
    QTest::newRow("not a picture") << QByteArray("BM this is no bitmap") << 3;
    QTest::newRow("empty file") << QByteArray("") << 4;
}

void TestUiWindows::help_badPictureFailsOrShowsNothing()
{
    QFETCH(QByteArray, content);
    QFETCH(int, page);
    const QString name = QStringLiteral("help0%1.bmp").arg(page);
    QVERIFY(QFile::remove(m_folder->file(name)));
    if (!content.isNull())
        m_folder->writeFile(name, content);

    Frmhelp help;
    help.show();
    help.Label1_Click(page - 1);
    QCOMPARE(help.currentPage(), page);
    QVERIFY(!help.pictureShown());
    QVERIFY2(help.Picture1->pixmap().isNull(), "the previous page still shows");
    const QString notice = help.Picture1->text();
    QVERIFY2(notice.contains(QString::number(page)) && notice.contains(name),
             qPrintable(QStringLiteral("notice does not say which page: ") + notice));

    // Another page shows again, without the notice.
    const int next = page == 1 ? 2 : 1;
    help.Label1_Click(next - 1);
    QVERIFY(help.pictureShown());
    QVERIFY(help.Picture1->text().isEmpty());
}

// --- About ----------------------------------------------------------------------

void TestUiWindows::about_gameNotHeldOrNotResumed_data()
{
    QTest::addColumn<GameState>("state");
    QTest::addColumn<Leave>("leave");
    QTest::newRow("running, OK") << GameState::Running << Leave::OkButton;
    QTest::newRow("running, close box") << GameState::Running << Leave::CloseBox;
    QTest::newRow("running, Escape") << GameState::Running << Leave::Escape;
    QTest::newRow("paused, OK") << GameState::Paused << Leave::OkButton;
    QTest::newRow("paused, close box") << GameState::Paused << Leave::CloseBox;
    QTest::newRow("stopped, OK") << GameState::Stopped << Leave::OkButton;
    QTest::newRow("game over, close box") << GameState::Over << Leave::CloseBox;
}

void TestUiWindows::about_gameNotHeldOrNotResumed()
{
    QFETCH(GameState, state);
    QFETCH(Leave, leave);
    bringTo(state);
    const bool paused = GlVexM.isPaused;
    frmAbout about(*m_core);
    activate(about);
    QVERIFY2(allOff(*m_core), qPrintable(QStringLiteral("while open: ") + timers(*m_core)));
    switch (leave) {
    case Leave::OkButton: QTest::mouseClick(about.Command1, Qt::LeftButton); break;
    case Leave::CloseBox: about.close(); break;
    case Leave::Escape: QTest::keyClick(&about, Qt::Key_Escape); break;
    case Leave::CancelButton: QFAIL("no such button"); break;
    }
    QVERIFY(!about.isVisible());
    const bool resumed = state == GameState::Running;
    QVERIFY2(resumed ? allOn(*m_core) : allOff(*m_core), qPrintable(QStringLiteral("after: ") + timers(*m_core)));
    QVERIFY(!about.stoppedTimers);
    QCOMPARE(GlVexM.isPaused, paused);
}

// --- All windows ------------------------------------------------------------------

void TestUiWindows::window_resizableOrNotCentred_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QSize>("client"); // twips
    QTest::newRow("settings") << QStringLiteral("setForm") << QSize(4710, 3870);
    QTest::newRow("details") << QStringLiteral("FrmDetail") << QSize(3495, 2910);
    QTest::newRow("help") << QStringLiteral("Frmhelp") << QSize(11700, 9435);
    QTest::newRow("about") << QStringLiteral("frmAbout") << QSize(4365, 2310);
}

void TestUiWindows::window_resizableOrNotCentred()
{
    QFETCH(QString, window);
    QFETCH(QSize, client);
    QWidget main;
    main.setGeometry(137, 91, 800, 620);
    main.show();
    GlVexM.detailWord = QStringLiteral("在");
    std::unique_ptr<QDialog> dlg;
    if (window == QLatin1String("setForm"))
        dlg = std::make_unique<setForm>(*m_core, &main);
    else if (window == QLatin1String("FrmDetail"))
        dlg = std::make_unique<FrmDetail>(m_core->practice(), &main);
    else if (window == QLatin1String("Frmhelp"))
        dlg = std::make_unique<Frmhelp>(&main);
    else
        dlg = std::make_unique<frmAbout>(*m_core, &main);
    dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));

    const QSize wanted(Twips::px(client.width()), Twips::px(client.height()));
    QCOMPARE(dlg->size(), wanted);
    QCOMPARE(dlg->minimumSize(), wanted);
    QCOMPARE(dlg->maximumSize(), wanted);
    QVERIFY2(!(dlg->windowFlags() & Qt::WindowMaximizeButtonHint), "the window offers to maximise");
    const QPoint offset = dlg->frameGeometry().center() - main.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2,
             qPrintable(QStringLiteral("off centre by %1,%2").arg(offset.x()).arg(offset.y())));
    dlg->hide();
}

QTEST_MAIN(TestUiWindows)
#include "tst_ui_windows.moc"
