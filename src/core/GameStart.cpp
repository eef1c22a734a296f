// SPDX-License-Identifier: GPL-3.0-or-later
// The start command in its steps, and the next start prepared in idle time.
#include "GameCore.h"

#include "History.h"
#include "NumberFormat.h"
#include "Texts.h"

#include <QLoggingCategory>
#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcGame)

namespace trenix {

void GameCore::Label3_Click()
{
    // A set other than the range is read before anything changes: an empty one
    // starts nothing and leaves the game there is, running, paused or over, as it was.
    const WordSet set = wordSet;
    std::vector<SetWord> setWords;
    if (!readChosenSet(set, setWords))
        return;
    if (m_gameActive) // a start over a game ends that game
        recordGame(GlVexM.isPaused ? playedSeconds : secondsPlayed(readClock()));
    clearForStart();
    qint64 n = countWords(set, qint64(setWords.size()));
    std::optional<Transaction> tx;
    fillPracticeList(set, setWords, n, tx);
    n = compilePinyin(n, tx);
    createWordLabels(n);
    commitPracticeList(tx);

    if (m_view)
        m_view->focusTyping();
    if (allWordsGone()) {
        stayStopped();
        return;
    }
    m_wordsLanguage = GlVexM.languageCode;
    showStartNotice();
    m_gameActive = true;
    setTimers(true);
    startTick = readClock();
    playedSeconds = 0;
    beginRecord(n, set);
    GaTime.Interval = 1000;
    if (m_view) {
        m_view->timersChanged();
        m_view->screenChanged();
    }
    pictScroll_Timer();
}

bool GameCore::readChosenSet(const WordSet &set, std::vector<SetWord> &words)
{
    if (set.kind == WordSet::Kind::Range)
        return true;
    QString notice;
    try {
        words = wordsOfSet(set, m_practice, m_history, GlVexM.languageCode, m_wallClock.utcMs(), &notice);
    } catch (const Error &e) {
        qCWarning(lcGame).noquote() << "game start: reading" << set.value() << "failed:" << e.message();
        notice = text(tid::GLVex_startFailed).arg(e.message());
    }
    if (!words.empty())
        return true;
    screen.feedback.clear();
    notify(notice);
    return false;
}

void GameCore::clearForStart()
{
    m_startNotice.clear();
    screen.feedback.clear();
    screen.lbmessageVisible = true;
    screen.lbmessage = QStringLiteral("loading...............");
    if (m_view)
        m_view->repaintNow();

    inputCount = 0;
    rightCount = 0;
    screen.timeDisplay = formatNumber(double(GlVexM.gameMinutes) * 60, QStringLiteral("000"));
    screen.TxT.clear();
    if (GlVexM.isPaused) {
        screen.lblPauseVisible = false;
        screen.speedStatusVisible = true;
        screen.correctStatusVisible = true;
        GlVexM.isPaused = false;
    }
    Label1.resize(1);
}

qint64 GameCore::countWords(const WordSet &set, qint64 setSize)
{
    if (set.kind != WordSet::Kind::Range)
        return setSize;
    try {
        return m_practice.countRange(GlVexM.languageCode, GlVexM.wordFrom, GlVexM.wordTo);
    } catch (const Error &e) {
        reportStartFailure(QStringLiteral("counting the word range"), e);
        return 0;
    }
}

void GameCore::fillPracticeList(const WordSet &set, const std::vector<SetWord> &words, qint64 n,
                                std::optional<Transaction> &tx)
{
    // One transaction for the whole preparation, committed once the words are
    // drawn: a failure or a kill never leaves a half-filled list behind.
    if (n <= 0)
        return;
    const int lang = GlVexM.languageCode;
    try {
        tx.emplace(m_practice.store());
        m_practice.emptyList();
        if (set.kind == WordSet::Kind::Range)
            m_practice.fillList(lang, GlVexM.wordFrom, GlVexM.wordTo);
        else
            m_practice.fillWords(lang, words);
    } catch (const Error &e) {
        tx.reset();
        reportStartFailure(QStringLiteral("preparing the practice list"), e);
    }
    try {
        m_drawSize = m_practice.countDictionary(lang);
    } catch (const Error &e) {
        m_drawSize = 0;
        reportStartFailure(QStringLiteral("counting the dictionary"), e);
    }
}

qint64 GameCore::compilePinyin(qint64 n, std::optional<Transaction> &tx)
{
    // The keys are compiled once here, so that an entry only compares them.
    m_gameAnswer = answer;
    m_pinyin.clear();
    m_pinyinNotice.clear();
    const bool pinyinGame = m_gameAnswer.mode == AnswerMode::Pinyin;
    if (n <= 0 || (!pinyinGame && m_gameAnswer.hints == HintMode::Off))
        return n;
    qint64 leftOut = 0;
    try {
        for (const ListPinyin &row : m_practice.listPinyin()) {
            PinyinKey key = compiledKey(row.py);
            if (!key.isEmpty()) {
                m_pinyin.insert(row.cz, std::move(key));
            } else if (pinyinGame) {
                // Nothing to answer it with: it never falls in this game.
                m_practice.dropFromList(row.xh);
                ++leftOut;
            }
        }
    } catch (const Error &e) {
        tx.reset();
        reportStartFailure(QStringLiteral("reading the words' pinyin"), e);
        return 0;
    }
    if (leftOut == n) {
        tx.reset(); // nothing to play: the list stays as it was
        m_startNotice = text(tid::GLVex_noPinyinAtAll).arg(n);
    } else if (leftOut > 0)
        m_pinyinNotice = text(tid::GLVex_noPinyin).arg(leftOut);
    return n - leftOut;
}

PinyinKey GameCore::compiledKey(const QString &pinyin)
{
    constexpr qsizetype kKeysKept = 20000; // more than any range a player keeps to
    auto it = m_keys.constFind(pinyin);
    if (it == m_keys.cend()) {
        if (m_keys.size() >= kKeysKept)
            m_keys.clear();
        it = m_keys.insert(pinyin, PinyinKey(pinyin));
    }
    return *it;
}

void GameCore::createWordLabels(qint64 n)
{
    Label1.reserve(size_t(n) + 1);
    m_repaintThrottle.invalidate();
    bool drawFailed = false;
    for (qint64 i = 0; i < n; ++i) {
        progress(n, i + 1, i + 1 == n);
        WordLabel w = Label1.front();
        w.Top = 0;
        w.Left = qint64(std::floor(nextRandom() * double(m_fieldWidth - w.Width - kRightMargin)));
        if (w.Left < kLeastLeft)
            w.Left = kLeastLeft;
        if (!drawFailed) {
            try {
                w.Caption = Get_Rnd_word();
            } catch (const Error &e) {
                drawFailed = true; // the store is unusable; do not retry per word
                reportStartFailure(QStringLiteral("drawing the words"), e);
            }
        }
        w.Width = m_measure ? m_measure(w.Caption) : w.Width;
        w.Pinyin = m_pinyin.value(w.Caption);
        // Keep a long word inside the field instead of cutting it off at the right.
        if (w.Left + w.Width > m_fieldWidth)
            w.Left = std::max<qint64>(0, m_fieldWidth - w.Width);
        w.Visible = false;
        Label1.push_back(std::move(w));
    }
    m_drawSize = -1;
    m_pinyin.clear();
}

void GameCore::commitPracticeList(std::optional<Transaction> &tx)
{
    if (!tx)
        return;
    try {
        tx->commit();
    } catch (const Error &e) {
        tx.reset();
        reportStartFailure(QStringLiteral("saving the practice list"), e);
    }
}

void GameCore::stayStopped()
{
    // Nothing can fall: a clock running over an empty field would only
    // count seconds nobody plays. Say why and leave the game stopped.
    if (m_startNotice.isEmpty())
        m_startNotice = text(tid::GLVex_noWords).arg(GlVexM.wordFrom).arg(GlVexM.wordTo);
    screen.lbmessage = m_startNotice;
    screen.lbmessageVisible = true;
    m_gameActive = false;
    setTimers(false);
    startTick = readClock();
    playedSeconds = 0;
    if (m_view) {
        m_view->wordsChanged(); // the old game's words are gone
        m_view->repaintNow();
        m_view->screenChanged();
    }
}

void GameCore::showStartNotice()
{
    if (m_startNotice.isEmpty() && m_progressNotice.isEmpty() && m_pinyinNotice.isEmpty()) {
        screen.lbmessageVisible = false;
        screen.lbmessage.clear();
    } else {
        screen.lbmessage = !m_startNotice.isEmpty()      ? m_startNotice
                           : !m_progressNotice.isEmpty() ? m_progressNotice
                                                         : m_pinyinNotice;
        screen.lbmessageVisible = true;
    }
    m_progressNotice.clear();
    if (m_view)
        m_view->repaintNow();
}

void GameCore::prepareNextStart()
{
    try {
        const int lang = GlVexM.languageCode;
        m_practice.countDictionary(lang);
        if (wordSet.kind != WordSet::Kind::Range) {
            QString notice; // an empty set is the start's to report
            for (const SetWord &word : wordsOfSet(wordSet, m_practice, m_history, lang, m_wallClock.utcMs(), &notice))
                m_measure(word.word);
            return;
        }
        m_practice.countRange(lang, GlVexM.wordFrom, GlVexM.wordTo);
        for (const QString &word : m_practice.wordsInRange(lang, GlVexM.wordFrom, GlVexM.wordTo))
            m_measure(word);
        if (answer.mode == AnswerMode::Pinyin || answer.hints != HintMode::Off) {
            for (const QString &pinyin : m_practice.pinyinInRange(lang, GlVexM.wordFrom, GlVexM.wordTo))
                compiledKey(pinyin);
        }
    } catch (const Error &e) {
        qCInfo(lcGame).noquote() << "preparing the next start:" << e.message();
    }
}

} // namespace trenix
