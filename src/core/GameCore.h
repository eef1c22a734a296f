// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules of the game, without widgets. The main window forwards its events
// to the entry points here (same names as its handlers) and draws what the
// state below says.
#include "AnswerSettings.h"
#include "EntryFeedback.h"
#include "GameRecord.h"
#include "GlVexM.h"
#include "Platform.h"
#include "PracticeStore.h"
#include "Random.h"
#include "WordSet.h"

#include <QHash>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace trenix {

struct History;

// One element of the word-label array. Its caption, visibility and landed mark
// carry the word's whole state.
struct WordLabel {
    QString Caption;      // the word; "" once hit
    bool Visible = false; // false while waiting and once hit
    QString ToolTipText;  // landed mark: "" falling, "1" landed
    qint64 Left = 0;      // twips, in the play field
    qint64 Top = 0;
    qint64 Width = 0;
    qint64 Height = 0;
    qint64 Ticks = 0; // fall ticks taken, for the progress record
    PinyinKey Pinyin; // compiled at the start of a pinyin game or one with hints; else empty
    bool landed() const { return !ToolTipText.isEmpty(); }
    bool falling() const { return Visible && ToolTipText.isEmpty(); }
};

struct TimerState {
    bool Enabled = false;
    int Interval = 0; // ms
};

// What the main window shows besides the words.
struct GameScreen {
    QString lbmessage;
    bool lbmessageVisible = false;
    bool lblPauseVisible = false;
    bool correctStatusVisible = true;
    bool speedStatusVisible = true;
    QString timeDisplay = QStringLiteral("0");
    QString lbsd = QStringLiteral("0");
    QString lbzql = QStringLiteral("0");
    QString lbfs = QStringLiteral("0");
    QString TxT; // the typing box
    // What the last entry missed; while set, the message line shows it instead.
    QString feedback;
};

// What the game has to say to the ear; the window plays it when sound is on.
enum class GameSound { Hit, Miss, Landing, GameOver };

// What the core asks of the window.
class GameView {
public:
    virtual ~GameView() = default;
    virtual void repaintNow() {}                      // show the message line at once
    virtual void focusTyping() {}                     // give the typing box the focus
    virtual void settleInput() {}                     // commit or reset an open input-method composition
    virtual void timersChanged() {}                   // apply the three timer states
    virtual void wordsChanged() {}                    // redraw the play field
    virtual void screenChanged() {}                   // redraw the figures, message line, typing box
    virtual void entryJudged(const EntryVerdict &) {} // flash the box, outline a covering word
    virtual void sound(GameSound) {}                  // a hit, a miss, a landing, the end
};

class GameCore {
public:
    static constexpr qint64 kFallStep = 645; // twips per tick, also a word's height
    static constexpr qint64 kRightMargin = 2000;
    static constexpr qint64 kLeastLeft = 500;
    static constexpr qint64 kTemplateWidth = 210;
    static constexpr int kKeyEnter = 13;
    static constexpr int kKeySpace = 32;

    using Measure = std::function<qint64(const QString &)>; // width of a word label in twips

    // The practice store, the width of a word's label, and the services the
    // game uses: the clocks, the draw, the player's answers and the history.
    GameCore(Store &store, Measure measure, const Clock &clock, const WallClock &wallClock, Random &random,
             Dialogs &dialogs, History &history);

    void setView(GameView *view) { m_view = view; }
    void setFieldSize(qint64 width, qint64 height)
    {
        m_fieldWidth = width;
        m_fieldHeight = height;
    }
    qint64 fieldWidth() const { return m_fieldWidth; }
    qint64 fieldHeight() const { return m_fieldHeight; }

    // Window load: generator seeded by the caller; speed, timers.
    void load();

    // Entry points.
    void Label3_Click();      // start a game
    void Label7_Click();      // pause
    void Label8_Click();      // end the game
    void pictScroll_Timer();  // fall tick
    void CreatWord_Timer() {} // switched with the others; does nothing
    void GaTime_Timer();      // clock and figures
    void TxT_KeyUp(int keyCode, int shift);
    bool TxT_LostFocus() const; // true when the typing box takes the focus back
    void GameOver();
    QString Get_Rnd_word();

    // The message line goes back to what the game shows once feedback has been read.
    void feedbackExpired();
    // The interface language changed: texts the game shows are looked up again.
    void languageChanged();
    // The language whose dictionary gave the words now on the field.
    qint16 wordsLanguage() const { return m_wordsLanguage; }

    // Settings dialog and about window hold a running game while open.
    bool holdIfRunning(); // true when it stopped the timers
    void restartTimers();
    void applySpeed(qint16 level); // pictScroll = level s, CreatWord = level/2 s

    // The exit command or the close box during a game: the game is kept.
    void recordIfActive();
    // A notice in the message line.
    void notify(const QString &text);
    // Idle time before a start: the words of the chosen set are read and
    // measured ahead (a range's pinyin compiled too, when the game needs it), so
    // that the first start after launch finds the store's pages decrypted and the
    // words' widths known. Changes nothing; a store
    // that fails here is left for the start to report.
    void prepareNextStart();

    // What the next game draws from: the word range unless the player chose other words.
    WordSet wordSet;
    // How the next game is answered; a game keeps what it started with.
    AnswerSettings answer;
    const AnswerSettings &gameAnswer() const { return m_gameAnswer; }
    // The game's while one is being played, else the next game's.
    const AnswerSettings &answerInForce() const { return m_gameActive ? m_gameAnswer : answer; }
    // Who plays, kept with every game for a class's exports.
    QString playerName;

    // State, read by the window and the tests.
    std::vector<WordLabel> Label1; // element 0 is the hidden template
    TimerState pictScroll, CreatWord, GaTime;
    GameScreen screen;
    qint64 inputCount = 0;
    qint64 rightCount = 0;
    qint64 playedSeconds = 0;
    qint64 startTick = 0;

    bool running() const { return pictScroll.Enabled; }
    bool gameActive() const { return m_gameActive; }
    qint64 secondsPlayed(qint64 now) const;
    PracticeStore &practice() { return m_practice; }
    History &history() { return m_history; }
    Dialogs &dialogs() { return m_dialogs; }

private:
    // The start command's steps.
    bool readChosenSet(const WordSet &set, std::vector<SetWord> &words);
    void clearForStart();
    qint64 countWords(const WordSet &set, qint64 setSize);
    void fillPracticeList(const WordSet &set, const std::vector<SetWord> &words, qint64 n,
                          std::optional<Transaction> &tx);
    qint64 compilePinyin(qint64 n, std::optional<Transaction> &tx);
    PinyinKey compiledKey(const QString &pinyin);
    void createWordLabels(qint64 n);
    void commitPracticeList(std::optional<Transaction> &tx);
    void stayStopped();
    void showStartNotice();

    void setTimers(bool enabled);
    void closeSegment();
    void finishGame(bool closeOpenSegment);
    void reportStartFailure(const QString &what, const Error &e);
    void progress(qint64 total, qint64 current, bool force);
    EntryVerdict matchEntry();
    bool allWordsGone() const;
    qint64 readClock() const;
    double nextRandom();
    void beginRecord(qint64 words, const WordSet &set);
    void recordGame(qint64 seconds);
    void findEntries(GameRecord &game);
    QStringList visibleWords() const;

    PracticeStore m_practice;
    Measure m_measure;
    const Clock &m_clock;
    const WallClock &m_wallClock;
    Random &m_random;
    Dialogs &m_dialogs;
    History &m_history;
    GameView *m_view = nullptr;
    qint64 m_fieldWidth = 11625;
    qint64 m_fieldHeight = 5835;
    bool m_gameActive = false; // from a start until its game is over
    qint16 m_wordsLanguage = 0;
    qint64 m_drawSize = -1; // dictionary size, counted once per start
    QString m_startNotice;
    AnswerSettings m_gameAnswer;        // fixed at the start
    QHash<QString, PinyinKey> m_pinyin; // by word, from the start's list until its labels are made
    QHash<QString, PinyinKey> m_keys;   // by pinyin, kept from start to start and compiled ahead in idle time
    QString m_pinyinNotice;             // words a pinyin game left out
    std::optional<GameRecord> m_record; // the game being played, until it is kept
    QString m_progressNotice;           // why the last game was not kept, shown again at the next start
    QElapsedTimer m_repaintThrottle;
};

} // namespace trenix
