// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: draws the game and forwards its events to GameCore.
#include "GameCore.h"
#include "Services.h"
#include "Shortcuts.h"

#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>

class QLabel;
class QFrame;

namespace trenix {

class PlayField;
class SoundPlayer;
class TypingBox;
class setForm;

class CommandLabel;

class GLVex : public QWidget, private GameView {
    Q_OBJECT
public:
    explicit GLVex(const Services &services, QWidget *parent = nullptr);
    ~GLVex() override;

    GameCore &core() { return m_core; }

    // Event handlers, named as the rest of the program knows them.
    void Form_Load();
    void Label3_Click();          // start
    void Label7_Click();          // pause
    void Label8_Click();          // end
    void Label9_Click();          // settings
    void Label10_Click();         // exit
    void Label11_Click();         // help
    void Label12_Click();         // progress
    void Label1_Click(int index); // a word
    void pictScroll_Timer();
    void CreatWord_Timer();
    void GaTime_Timer();
    void TxT_KeyUp(int keyCode, int shift);
    void TxT_LostFocus();
    void openAbout();
    // Runs a command of the tool strip, as its shortcut keys do.
    void runCommand(Command command);
    // The answer-mode shortcut: the other mode for the next game, kept for the next launch.
    void switchAnswerMode();
    // The typing box, its hint and the field follow the answer settings in force.
    void showAnswerMode();
    // Keeps the language in the player's config.dat and shows every text in it at once.
    void chooseLanguage(qint16 code);
    // The label of a tool-strip command (none for the sound switch).
    CommandLabel *commandLabel(Command command) const;
    // Sound on or off; keep: written to trenix.conf as well.
    void setSoundOn(bool on, bool keep);
    // The sound shortcut: switches and says so in the message line.
    void toggleSound();

    // Controls, for the windows that hold the game and for tests.
    QTimer pictScroll, CreatWord, GaTime;
    TypingBox *TxT = nullptr;
    PlayField *GamePict = nullptr;
    QLabel *lbmessage = nullptr, *lbtitle = nullptr, *lblPause = nullptr, *lblSpeed = nullptr;
    QLabel *Label2 = nullptr, *Label4 = nullptr, *Label5 = nullptr, *Label6 = nullptr, *lblTime = nullptr;
    QLabel *lbsd = nullptr, *lbzql = nullptr, *lbfs = nullptr, *timeDisplay = nullptr;
    QLabel *correctStatus = nullptr, *speedStatus = nullptr;
    QWidget *endWordMark = nullptr; // the word that ended the game, where it rests
    SoundPlayer *sounds = nullptr;
    CommandLabel *Label3 = nullptr, *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr,
                 *Label11 = nullptr, *Label12 = nullptr;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // GameView
    void repaintNow() override;
    void focusTyping() override;
    void settleInput() override;
    void timersChanged() override;
    void wordsChanged() override;
    void screenChanged() override;
    void entryJudged(const EntryVerdict &verdict) override;
    void sound(GameSound sound) override;

    template <typename F> void guard(F &&f);
    void buildControls();
    void installShortcuts();
    void lookUpCaptions();
    void layoutStatusRow();
    void applyTimer(QTimer &timer, const TimerState &state);

    Services m_services;
    GameCore m_core;
    std::unique_ptr<setForm> m_settings;
    bool m_placed = false;
    QTimer m_feedbackTimer; // how long the message line shows what an entry missed
    std::optional<AnswerMode> m_shownMode; // what the typing box and its hint are set for
};

// A text command of the tool strip: never takes the focus, never disabled.
class CommandLabel : public QWidget {
    Q_OBJECT
public:
    explicit CommandLabel(QWidget *parent);
    void setCaption(const QString &text);
    QString caption() const { return m_text; }
signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *) override
    {
        m_hover = true;
        update();
    }
    void leaveEvent(QEvent *) override
    {
        m_hover = false;
        update();
    }

private:
    QString m_text;
    bool m_hover = false;
};

} // namespace trenix
