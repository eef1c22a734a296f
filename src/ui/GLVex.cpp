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
constexpr int kFeedbackMs = 2500;
// Each language by its own name in the language menu.
const char *const kLanguageNames[] = {"English", "简体中文", "繁體中文"};
} // namespace

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
