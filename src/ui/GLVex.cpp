// SPDX-License-Identifier: GPL-3.0-or-later
#include "GLVex.h"

#include "Fonts.h"
#include "FrmDetail.h"
#include "Frmhelp.h"
#include "History.h"
#include "InterfaceLanguage.h"
#include "KeyBindings.h"
#include "LanguageChoice.h"
#include "PlayField.h"
#include "PlayerSettings.h"
#include "ProgressWindow.h"
#include "SoundPlayer.h"
#include "Startup.h"
#include "Texts.h"
#include "Twips.h"
#include "TypingBox.h"
#include "frmAbout.h"
#include "setForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>

Q_LOGGING_CATEGORY(lcWindow, "trenix.window", QtWarningMsg)

namespace trenix {

namespace {
const QColor kTeal(0x00, 0x40, 0x40);     // 0x00404000
const QColor kRed(0xFF, 0x00, 0x00);      // 0x000000FF
const QColor kHintBlue(0x00, 0x00, 0xC0); // 0x00C00000
constexpr int kFeedbackMs = 2500;
// Each language by its own name in the language menu.
const char *const kLanguageNames[] = {"English", "简体中文", "繁體中文"};

QLabel *makeLabel(QWidget *parent, double l, double t, double w, double h, const QFont &font)
{
    auto *label = new QLabel(parent);
    Twips::place(label, l, t, w, h);
    label->setFont(font);
    return label;
}

QLabel *makeFigure(QWidget *parent, double l, double t, double w, double h)
{
    QLabel *label = makeLabel(parent, l, t, w, h, uiFont({QStringLiteral("Arial")}, 18, QFont::Bold));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, kRed);
    label->setPalette(pal);
    label->setText(QStringLiteral("0"));
    return label;
}

void fill(QWidget *w, const QColor &color)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, color);
    w->setPalette(pal);
}

// The word that ended the game, drawn whole where it rests: on the pile, above
// the field's top edge, over the title band.
class EndWordMark : public QWidget {
public:
    EndWordMark(PlayField *field, QWidget *parent) : QWidget(parent), m_field(field)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        m_field->drawWord(p, rect(), accessibleName(), true);
    }

private:
    PlayField *m_field;
};

// The tool strip's background picture.
class ToolStrip : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, QColor(0xF4, 0xF7, 0xF7));
        g.setColorAt(1, QColor(0xC9, 0xD8, 0xD8));
        p.fillRect(rect(), g);
        p.setPen(QColor(0x7A, 0x9A, 0x9A));
        p.drawLine(0, height() - 1, width(), height() - 1);
    }
};
} // namespace

// ---------------------------------------------------------------------------

CommandLabel::CommandLabel(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFont(uiFont({QStringLiteral("Arial Black")}, 10.5, QFont::Black));
    setAttribute(Qt::WA_Hover);
}

void CommandLabel::setCaption(const QString &text)
{
    m_text = text;
    setAccessibleName(text);
    // Grow to the caption so that no language gets clipped.
    const int needed = fontMetrics().horizontalAdvance(text) + 4;
    if (needed > width())
        resize(needed, height());
    update();
}

void CommandLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setFont(font());
    p.setPen(m_hover ? QColor(0xB0, 0x30, 0x00) : QColor(0x10, 0x30, 0x30));
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, m_text); // one baseline for all commands
}

void CommandLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    event->accept();
}

// ---------------------------------------------------------------------------

GLVex::GLVex(const Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_services(services), m_core(
                                GlVexM.storeConn, [this](const QString &caption) { return GamePict->measure(caption); },
                                services.clock, services.wallClock, services.random, services.dialogs, services.history)
{
    setObjectName(QStringLiteral("GLVex"));
    buildControls();
    installShortcuts();
    m_feedbackTimer.setSingleShot(true);
    connect(&m_feedbackTimer, &QTimer::timeout, this, [this] { m_core.feedbackExpired(); });
    m_core.setView(this);
    sounds = new SoundPlayer(QDir(m_services.paths.programFolder).filePath(QLatin1String(kSoundFolder)), this);
    GamePict->setWords(&m_core.Label1);
    Form_Load();
}

void GLVex::installShortcuts()
{
    QList<QKeySequence> all;
    for (const Shortcut &shortcut : shortcutTable()) {
        for (const QKeySequence &key : keySequences(shortcut)) {
            auto *sc = new QShortcut(key, this);
            sc->setContext(Qt::WindowShortcut);
            sc->setAutoRepeat(false); // a held F2 must not start game after game
            connect(sc, &QShortcut::activated, this, [this, c = shortcut.command] { runCommand(c); });
            all << key;
        }
    }
    TxT->setGameKeys(all);
}

CommandLabel *GLVex::commandLabel(Command command) const
{
    switch (command) {
    case Command::Start: return Label3;
    case Command::Pause: return Label7;
    case Command::End: return Label8;
    case Command::Settings: return Label9;
    case Command::Exit: return Label10;
    case Command::Help: return Label11;
    case Command::Progress: return Label12;
    case Command::AnswerMode: // no command of the tool strip
    case Command::Sound: return nullptr;
    }
    return nullptr;
}

void GLVex::runCommand(Command command)
{
    switch (command) {
    case Command::Start: Label3_Click(); break;
    case Command::Pause: Label7_Click(); break;
    case Command::End: Label8_Click(); break;
    case Command::Settings: Label9_Click(); break;
    case Command::Exit: Label10_Click(); break;
    case Command::Help: Label11_Click(); break;
    case Command::Progress: Label12_Click(); break;
    case Command::AnswerMode: switchAnswerMode(); break;
    case Command::Sound: toggleSound(); break;
    }
}

void GLVex::setSoundOn(bool on, bool keep)
{
    sounds->setEnabled(on);
    if (!keep)
        return;
    try {
        PlayerSettings(m_services.paths.keptSettingsFile()).keepSound(on);
    } catch (const Error &e) { // on for this run all the same
        qCWarning(lcWindow).noquote() << e.message();
        m_core.notify(e.message());
    }
}

void GLVex::toggleSound()
{
    setSoundOn(!sounds->enabled(), true);
    m_core.screen.feedback = text(sounds->enabled() ? tid::GLVex_soundOn : tid::GLVex_soundOff);
    screenChanged();
    m_feedbackTimer.start(kFeedbackMs);
}

GLVex::~GLVex()
{
    pictScroll.stop();
    CreatWord.stop();
    GaTime.stop();
    m_core.setView(nullptr);
}

void GLVex::buildControls()
{
    setFont(uiFont({QStringLiteral("Arial")}, 14.25));
    setFixedSize(Twips::px(11745), Twips::px(7950));

    auto *frame4 = new QFrame(this);
    Twips::place(frame4, 60, 480, 11625, 675);
    fill(frame4, kTeal);
    auto *frame3 = new QFrame(this);
    Twips::place(frame3, 3360, 480, 5115, 675);
    fill(frame3, kTeal);
    lbtitle = makeLabel(frame3, 360, 0, 4395, 585, uiFont({QStringLiteral("Arial Black")}, 24, QFont::Black));
    lbtitle->setAlignment(Qt::AlignCenter);
    lbtitle->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

    auto *picture1 = new ToolStrip(this);
    Twips::place(picture1, 0, 0, 11655, 435);
    auto command = [&](CommandLabel *&label, double l, double t, double w, double h, void (GLVex::*handler)()) {
        label = new CommandLabel(picture1);
        Twips::place(label, l, t, w, h);
        connect(label, &CommandLabel::clicked, this, [this, handler] { (this->*handler)(); });
    };
    command(Label3, 2370, 60, 1275, 345, &GLVex::Label3_Click);
    command(Label7, 4170, 60, 1185, 315, &GLVex::Label7_Click);
    command(Label8, 5880, 60, 1185, 285, &GLVex::Label8_Click);
    command(Label9, 7590, 60, 1095, 315, &GLVex::Label9_Click);
    command(Label10, 9270, 60, 1035, 315, &GLVex::Label10_Click);
    command(Label11, 10920, 60, 645, 345, &GLVex::Label11_Click);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label7->setObjectName(QStringLiteral("Label7"));
    Label8->setObjectName(QStringLiteral("Label8"));
    Label9->setObjectName(QStringLiteral("Label9"));
    Label10->setObjectName(QStringLiteral("Label10"));
    Label11->setObjectName(QStringLiteral("Label11"));
    command(Label12, 660, 60, 1275, 345, &GLVex::Label12_Click); // the strip's free left part
    Label12->setObjectName(QStringLiteral("Label12"));

    GamePict = new PlayField(this);
    GamePict->setObjectName(QStringLiteral("GamePict"));
    Twips::place(GamePict, 60, 1170, 11625, 5835);
    connect(GamePict, &PlayField::wordClicked, this, &GLVex::Label1_Click);
    endWordMark = new EndWordMark(GamePict, this);
    endWordMark->setObjectName(QStringLiteral("endWordMark"));

    auto *frame1 = new QFrame(this);
    Twips::place(frame1, 3600, 1200, 4305, 75);
    fill(frame1, palette().color(QPalette::Inactive, QPalette::Mid));
    frame1->stackUnder(GamePict); // never over the falling words

    lbmessage = makeLabel(this, 60, 7050, 11625, 315, uiFont({QStringLiteral("Arial")}, 10.5, QFont::Bold));
    lbmessage->setObjectName(QStringLiteral("lbmessage"));
    lbmessage->setAutoFillBackground(true);
    {
        QPalette pal = lbmessage->palette();
        pal.setColor(QPalette::Window, palette().color(QPalette::Button));
        pal.setColor(QPalette::WindowText, kRed);
        lbmessage->setPalette(pal);
    }
    lbmessage->hide();

    auto *frame2 = new QFrame(this);
    Twips::place(frame2, 0, 7290, 11715, 645);
    frame2->setFrameShape(QFrame::NoFrame);
    frame2->lower();

    TxT = new TypingBox(frame2);
    TxT->setObjectName(QStringLiteral("TxT"));
    Twips::place(TxT, 0, 180, 2115, 465);
    TxT->setFont(uiFont({QStringLiteral("Arial Black")}, 14.25, QFont::Black));
    connect(TxT, &TypingBox::keyReleased, this, &GLVex::TxT_KeyUp);
    connect(TxT, &TypingBox::focusLost, this, [this](Qt::FocusReason reason) {
        // Losing the focus to another program is not ours to undo.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, &GLVex::TxT_LostFocus);
    });
    connect(TxT, &QLineEdit::textChanged, this, [this](const QString &text) { m_core.screen.TxT = text; });

    Label2 = makeLabel(frame2, 2310, 390, 2025, 285, uiFont({QStringLiteral("Arial")}, 9));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    {
        QPalette pal = Label2->palette();
        pal.setColor(QPalette::WindowText, kHintBlue);
        Label2->setPalette(pal);
    }
    const QFont captionFont = uiFont({QStringLiteral("Arial")}, 12);
    Label6 = makeLabel(frame2, 4650, 300, 615, 285, captionFont);
    lbsd = makeFigure(frame2, 5280, 240, 1065, 345);
    Label5 = makeLabel(frame2, 6420, 300, 735, 285, captionFont);
    lbzql = makeFigure(frame2, 7230, 240, 1365, 345);
    Label4 = makeLabel(frame2, 8730, 300, 495, 285, captionFont);
    lbfs = makeFigure(frame2, 9240, 240, 735, 345);
    lblTime = makeLabel(frame2, 10170, 300, 525, 285, captionFont);
    timeDisplay = makeFigure(frame2, 10710, 240, 615, 345);
    for (QLabel *caption : {Label6, Label5, Label4, lblTime})
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbsd->setObjectName(QStringLiteral("lbsd"));
    lbzql->setObjectName(QStringLiteral("lbzql"));
    lbfs->setObjectName(QStringLiteral("lbfs"));
    timeDisplay->setObjectName(QStringLiteral("timeDisplay"));

    lblSpeed = makeLabel(frame2, 30, 300, 525, 255, captionFont);
    lblSpeed->hide();
    // A red bar beside the typing box while paused; inside it, it would hide what is typed.
    lblPause = makeLabel(frame2, 2160, 180, 90, 465, uiFont({QStringLiteral("Arial")}, 7, QFont::Bold));
    lblPause->setObjectName(QStringLiteral("lblPause"));
    fill(lblPause, kRed);
    lblPause->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblPause->hide();

    correctStatus = makeLabel(this, 2550, 2190, 1335, 255, uiFont({QStringLiteral("Arial")}, 9));
    speedStatus = makeLabel(this, 1320, 2340, 1035, 195, uiFont({QStringLiteral("Tahoma")}, 9));
    for (QLabel *status : {correctStatus, speedStatus}) {
        status->setAttribute(Qt::WA_TransparentForMouseEvents);
        status->setAttribute(Qt::WA_TranslucentBackground);
    }

    pictScroll.setObjectName(QStringLiteral("pictScroll"));
    CreatWord.setObjectName(QStringLiteral("CreatWord"));
    GaTime.setObjectName(QStringLiteral("GaTime"));
    connect(&pictScroll, &QTimer::timeout, this, &GLVex::pictScroll_Timer);
    connect(&CreatWord, &QTimer::timeout, this, &GLVex::CreatWord_Timer);
    connect(&GaTime, &QTimer::timeout, this, &GLVex::GaTime_Timer);
}

template <typename F> void GLVex::guard(F &&f)
{
    try {
        finishStartup(); // the stores, before a command can reach them
        f();
    } catch (const Error &e) {
        // Stop the game first so that no tick raises a second error behind the box.
        pictScroll.stop();
        CreatWord.stop();
        GaTime.stop();
        reportFatal(e, &m_services.dialogs);
    } catch (const std::exception &e) {
        pictScroll.stop();
        CreatWord.stop();
        GaTime.stop();
        reportFatal(Error(ErrorKind::File, QString::fromLocal8Bit(e.what())), &m_services.dialogs);
    }
}

void GLVex::Form_Load()
{
    m_services.random.seedFromTime();
    m_core.load();
    lookUpCaptions();
    screenChanged();
}

void GLVex::lookUpCaptions()
{
    struct Caption {
        TextId id;
        std::function<void(const QString &)> set;
    };
    const Caption captions[] = {
        {tid::GLVex_label2, [this](const QString &t) { Label2->setText(t); }},
        {tid::GLVex_label3, [this](const QString &t) { Label3->setCaption(t); }},
        {tid::GLVex_label4, [this](const QString &t) { Label4->setText(t); }},
        {tid::GLVex_label5, [this](const QString &t) { Label5->setText(t); }},
        {tid::GLVex_label6, [this](const QString &t) { Label6->setText(t); }},
        {tid::GLVex_label7, [this](const QString &t) { Label7->setCaption(t); }},
        {tid::GLVex_label8, [this](const QString &t) { Label8->setCaption(t); }},
        {tid::GLVex_label9, [this](const QString &t) { Label9->setCaption(t); }},
        {tid::GLVex_label10, [this](const QString &t) { Label10->setCaption(t); }},
        {tid::GLVex_label11, [this](const QString &t) { Label11->setCaption(t); }},
        {tid::GLVex_lbtitle, [this](const QString &t) { lbtitle->setText(t); }},
        {tid::GLVex_lblSpeed, [this](const QString &t) { lblSpeed->setText(t); }},
        {tid::GLVex_lblTime, [this](const QString &t) { lblTime->setText(t); }},
        {tid::GLVex_caption, [this](const QString &t) { setWindowTitle(t); }},
        {tid::GLVex_label12, [this](const QString &t) { Label12->setCaption(t); }},
    };
    for (const Caption &c : captions)
        c.set(text(c.id));
    for (const Shortcut &shortcut : shortcutTable()) {
        if (CommandLabel *label = commandLabel(shortcut.command))
            label->setToolTip(trenix::toolTip(shortcut));
        else if (shortcut.command == Command::AnswerMode)
            TxT->setToolTip(trenix::toolTip(shortcut)); // what the box takes, and how to change it
    }
    Label2->setToolTip(TxT->toolTip());
    m_shownMode.reset(); // the hint under the box was just looked up for characters
    showAnswerMode();
    layoutStatusRow();
}

void GLVex::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // Centre the whole frame, title bar included, and never above the screen's top.
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        const QRect frame = frameGeometry();
        QPoint pos = area.center() - QPoint(frame.width() / 2, frame.height() / 2);
        pos.setY(std::max(pos.y(), area.top()));
        pos.setX(std::max(pos.x(), area.left()));
        move(pos);
    }
}

void GLVex::Label3_Click()
{
    guard([this] { m_core.Label3_Click(); });
}
void GLVex::Label7_Click()
{
    guard([this] { m_core.Label7_Click(); });
}
void GLVex::Label8_Click()
{
    guard([this] { m_core.Label8_Click(); });
}
void GLVex::pictScroll_Timer()
{
    guard([this] { m_core.pictScroll_Timer(); });
}
void GLVex::CreatWord_Timer() { m_core.CreatWord_Timer(); }
void GLVex::GaTime_Timer()
{
    guard([this] { m_core.GaTime_Timer(); });
}

void GLVex::TxT_KeyUp(int keyCode, int shift)
{
    guard([&] {
        m_core.screen.TxT = TxT->text();
        m_core.TxT_KeyUp(keyCode, shift);
    });
}

void GLVex::TxT_LostFocus()
{
    if (m_core.TxT_LostFocus() && isActiveWindow() && !TxT->hasFocus())
        TxT->setFocus(Qt::OtherFocusReason);
}

void GLVex::Label9_Click()
{
    guard([this] {
        GlVexM.detailWord = QStringLiteral("-1");
        if (!m_settings) {
            m_settings = std::make_unique<setForm>(m_core, m_services.paths, this);
            connect(m_settings.get(), &setForm::languageChosen, this, &GLVex::chooseLanguage);
            connect(m_settings.get(), &setForm::soundChosen, this, [this](bool on) { setSoundOn(on, true); });
        }
        m_settings->SoundCheck->setChecked(sounds->enabled());
        m_settings->exec();
        showAnswerMode(); // tone colours at once; the rest with the next game
        if (m_settings->isUnloaded())
            m_settings.reset();
        GlVexM.detailWord.clear();
    });
}

void GLVex::Label10_Click()
{
    guard([this] {
        const QString question = text(tid::QDYTCYXM);
        const QString title = text(tid::RJXX);
        if (m_services.dialogs.askYesNo(question, title)) {
            m_core.recordIfActive();
            pictScroll.stop();
            CreatWord.stop();
            GaTime.stop();
            hide();
            QCoreApplication::exit(0);
        }
    });
}

void GLVex::Label11_Click()
{
    guard([this] {
        GlVexM.detailWord = QStringLiteral("-1");
        {
            Frmhelp help(m_services.paths, this);
            help.exec();
        }
        GlVexM.detailWord.clear();
    });
}

void GLVex::Label12_Click()
{
    guard([this] {
        GlVexM.detailWord = QStringLiteral("-1");
        {
            ProgressWindow progress(m_core, m_services.wallClock, this, m_services.paths.keptSettingsFile());
            progress.exec();
        }
        GlVexM.detailWord.clear();
    });
}

void GLVex::Label1_Click(int index)
{
    guard([&] {
        if (index < 1 || size_t(index) >= m_core.Label1.size())
            return;
        GlVexM.detailWord = m_core.Label1[size_t(index)].Caption;
        FrmDetail detail(m_core.practice(), m_services.history.lists, this, m_core.wordsLanguage(),
                         m_core.answer.toneColours);
        detail.exec();
    });
}

void GLVex::openAbout()
{
    guard([this] {
        // Keep the typing box from pulling the focus while the window is open.
        const QString before = GlVexM.detailWord;
        GlVexM.detailWord = QStringLiteral("-1");
        {
            frmAbout about(m_core, m_services.paths.programFolder, this);
            about.exec();
        }
        GlVexM.detailWord = before;
    });
}

void GLVex::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        QMenu menu(this);
        menu.addAction(text(tid::GLVex_menuAbout), this, &GLVex::openAbout);
        QMenu *languages = menu.addMenu(text(tid::GLVex_menuLanguage));
        for (qint16 code = 1; code <= 3; ++code) {
            QAction *choice = languages->addAction(QString::fromUtf8(kLanguageNames[code - 1]));
            choice->setCheckable(true);
            choice->setChecked(code == GlVexM.languageCode);
            connect(choice, &QAction::triggered, this, [this, code] { chooseLanguage(code); });
        }
        menu.exec(event->globalPosition().toPoint());
    }
    event->accept();
}

void GLVex::chooseLanguage(qint16 code)
{
    guard([&] {
        QString where;
        const bool kept = saveLanguageChoice(m_services.paths.playerConfigFile(), code, where);
        // Everything that shows a language follows at once; the running game
        // keeps its words, and the next start draws from the new dictionary.
        GlVexM.languageCode = code;
        applyQtTranslations(code);
        refreshFonts(this);
        GamePict->refreshFont();
        lookUpCaptions();
        if (m_settings) { // kept after a Cancel: its next OK must not bring the old language back
            refreshFonts(m_settings.get());
            m_settings->lookUpCaptions();
            m_settings->Language->setCurrentIndex(code - 1);
        }
        m_core.languageChanged();
        if (!kept)
            m_services.dialogs.inform(text(tid::GLVex_languageNotSaved).arg(where), text(tid::RJXX));
    });
}

void GLVex::closeEvent(QCloseEvent *event)
{
    // The close box asks nothing; the timers go with the window, a game to the history.
    guard([this] { m_core.recordIfActive(); });
    pictScroll.stop();
    CreatWord.stop();
    GaTime.stop();
    event->accept();
}

// --- GameView -------------------------------------------------------------

void GLVex::repaintNow()
{
    lbmessage->setText(m_core.screen.lbmessage);
    lbmessage->setVisible(m_core.screen.lbmessageVisible);
    if (isVisible())
        repaint();
}

void GLVex::focusTyping() { TxT->setFocus(Qt::OtherFocusReason); }

void GLVex::settleInput() { TxT->settleComposition(); }

void GLVex::applyTimer(QTimer &timer, const TimerState &state)
{
    if (state.Enabled && state.Interval > 0) {
        if (!timer.isActive() || timer.interval() != state.Interval)
            timer.start(state.Interval);
    } else {
        timer.stop();
    }
}

void GLVex::timersChanged()
{
    applyTimer(pictScroll, m_core.pictScroll);
    applyTimer(CreatWord, m_core.CreatWord);
    applyTimer(GaTime, m_core.GaTime);
}

void GLVex::wordsChanged()
{
    GamePict->update();
    if (const int i = GamePict->endingWord()) {
        endWordMark->setAccessibleName(m_core.Label1[size_t(i)].Caption);
        endWordMark->setGeometry(GamePict->wordRect(i).translated(GamePict->pos()));
        endWordMark->show();
        endWordMark->raise();
        endWordMark->update();
    } else {
        endWordMark->hide();
    }
}

void GLVex::entryJudged(const EntryVerdict &verdict)
{
    if (verdict.kind == EntryVerdict::Kind::Hit)
        return;
    TxT->flash();
    if (verdict.kind == EntryVerdict::Kind::Buried && verdict.coverIndex > 0)
        GamePict->outline(int(verdict.coverIndex));
    m_feedbackTimer.start(kFeedbackMs);
}

void GLVex::sound(GameSound sound) { sounds->play(sound); }

void GLVex::layoutStatusRow()
{
    // Captions and figures keep their places while their texts fit; a longer
    // text widens its box to the left and moves what stands left of it, so no
    // figure is ever cut off. The input hint gives up the room.
    struct Item {
        QLabel *label;
        double left, top, width, height;
        const char *least = ""; // the text a game shows at its start: the row must not move then
    };
    const Item row[] = {
        {Label6, 4650, 300, 615, 285},   {lbsd, 5280, 240, 1065, 345},
        {Label5, 6420, 300, 735, 285},   {lbzql, 7230, 240, 1365, 345},
        {Label4, 8730, 300, 495, 285},   {lbfs, 9240, 240, 735, 345},
        {lblTime, 10170, 300, 525, 285}, {timeDisplay, 10710, 240, 615, 345, "000"},
    };
    constexpr int kPad = 6;
    int limit = Twips::rect(row[7].left, 0, row[7].width, 0).right() + 1; // right edge of the row
    for (int i = 7; i >= 0; --i) {
        const Item &item = row[i];
        const QRect laid = Twips::rect(item.left, item.top, item.width, item.height);
        const QFontMetrics metrics = item.label->fontMetrics();
        const int needed = std::max(metrics.horizontalAdvance(item.label->text()),
                                    metrics.horizontalAdvance(QLatin1String(item.least)))
                           + kPad;
        const int width = std::max(laid.width(), needed);
        const int right = std::min(laid.right() + 1, limit);
        item.label->setGeometry(right - width, laid.y(), width, laid.height());
        const double gap = i > 0 ? item.left - (row[i - 1].left + row[i - 1].width) : 315; // 315: hint to Label6
        limit = right - width - Twips::px(gap);
    }
    const QRect hint = Twips::rect(2310, 390, 2025, 285);
    Label2->setGeometry(hint.x(), hint.y(), std::max(0, std::min(hint.width(), limit - hint.x())), hint.height());
}

void GLVex::screenChanged()
{
    const GameScreen &s = m_core.screen;
    const bool feedback = !s.feedback.isEmpty();
    lbmessage->setText(feedback ? s.feedback : s.lbmessage);
    lbmessage->setVisible(feedback || s.lbmessageVisible);
    lblPause->setVisible(s.lblPauseVisible);
    correctStatus->setVisible(s.correctStatusVisible);
    speedStatus->setVisible(s.speedStatusVisible);
    timeDisplay->setText(s.timeDisplay);
    lbsd->setText(s.lbsd);
    lbzql->setText(s.lbzql);
    lbfs->setText(s.lbfs);
    showAnswerMode();
    layoutStatusRow();
    TxT->setEntry(s.TxT); // keeps an open composition of the next word
}

void GLVex::showAnswerMode()
{
    GamePict->setHints(m_core.gameAnswer().hints, m_core.fieldHeight(), m_core.answer.toneColours);
    const AnswerMode mode = m_core.answerInForce().mode;
    if (m_shownMode == mode)
        return;
    m_shownMode = mode;
    TxT->setPlainKeys(mode == AnswerMode::Pinyin);
    Label2->setText(text(mode == AnswerMode::Pinyin ? tid::GLVex_label2Pinyin : tid::GLVex_label2));
}

void GLVex::switchAnswerMode()
{
    guard([this] {
        AnswerSettings &answer = m_core.answer;
        answer.mode = answer.mode == AnswerMode::Pinyin ? AnswerMode::Characters : AnswerMode::Pinyin;
        QString notice = text(answer.mode == AnswerMode::Pinyin ? tid::GLVex_nowPinyin : tid::GLVex_nowCharacters)
                             .arg(keysText(Command::AnswerMode));
        if (m_core.gameActive())
            notice = text(tid::GLVex_nextGame).arg(notice);
        const QString notKept =
            keepCurrentSettings(PlayerSettings(m_services.paths.keptSettingsFile()), m_core.wordSet, answer);
        if (m_settings) // kept after a Cancel: its next OK must not bring the old mode back
            m_settings->AnswerChoice->setCurrentIndex(m_settings->AnswerChoice->findData(answer.modeName()));
        m_core.notify(notKept.isEmpty() ? notice : notKept); // and the typing box follows
    });
}

} // namespace trenix
