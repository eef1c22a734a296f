// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameCore.h"

#include "History.h"
#include "NumberFormat.h"
#include "Texts.h"

#include <QLoggingCategory>
#include <cmath>
#include <optional>

Q_LOGGING_CATEGORY(lcGame, "trenix.game")

namespace trenix {

namespace {
qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}
} // namespace

GameCore::GameCore(Store &store, Measure measure, const Clock &clock, const WallClock &wallClock, Random &random,
                   Dialogs &dialogs, History &history)
    : m_practice(store), m_measure(std::move(measure)), m_clock(clock), m_wallClock(wallClock), m_random(random),
      m_dialogs(dialogs), m_history(history)
{
    WordLabel templ;
    templ.Left = 330;
    templ.Width = kTemplateWidth;
    templ.Height = kFallStep;
    Label1.push_back(templ);
}

void GameCore::load()
{
    GlVexM.speedLevel = 8;
    pictScroll.Interval = GlVexM.speedLevel * 1000;
    CreatWord.Interval = GlVexM.speedLevel * 1000;
    pictScroll.Enabled = false;
    CreatWord.Enabled = false;
    GaTime.Enabled = false;
    Label1.front().Visible = false;
    if (m_view)
        m_view->timersChanged();
}

qint64 GameCore::readClock() const { return m_clock.nowMs(); }

double GameCore::nextRandom() { return m_random.next(); }

qint64 GameCore::secondsPlayed(qint64 now) const { return floorDiv(now - startTick, 1000) + playedSeconds; }

void GameCore::setTimers(bool enabled)
{
    pictScroll.Enabled = enabled;
    CreatWord.Enabled = enabled;
    GaTime.Enabled = enabled;
    if (m_view)
        m_view->timersChanged();
}

void GameCore::reportStartFailure(const QString &what, const Error &e)
{
    qCWarning(lcGame).noquote() << "game start:" << what << "skipped:" << e.message();
    if (m_startNotice.isEmpty()) {
        m_startNotice = text(tid::GLVex_startFailed).arg(e.message());
    }
}

void GameCore::progress(qint64 total, qint64 current, bool force)
{
    screen.lbmessage = QStringLiteral("loading...............total:%1;Current:%2").arg(total).arg(current);
    // A repaint per word would cost more than the word; about 60 a second is plenty.
    if (force || !m_repaintThrottle.isValid() || m_repaintThrottle.elapsed() >= 16) {
        m_repaintThrottle.start();
        if (m_view)
            m_view->repaintNow();
    }
}

QString GameCore::Get_Rnd_word()
{
    const qint64 n = m_drawSize >= 0 ? m_drawSize : m_practice.countDictionary(GlVexM.languageCode);
    qint64 s = qint64(std::floor(double(n) * nextRandom()));
    std::optional<DrawnRow> row = m_practice.firstUndrawnFrom(s);
    if (!row) {
        // A retry draws s = Int((n - 1) r + 1) and finds a row only when s is at
        // most the highest undrawn xh M. Drawing r from that part at once gives
        // the same outcomes with one query instead of thousands.
        const std::optional<qint64> highest = m_practice.highestUndrawn();
        if (!highest || *highest < 1)
            return QString(); // nothing left that a retry could reach
        const double r = nextRandom();
        const qint64 m = *highest;
        if (n - 1 > m)
            s = qint64(std::floor(double(m) * r + 1));
        else
            s = qint64(std::floor(double(n - 1) * r + 1));
        row = m_practice.firstUndrawnFrom(s);
        if (!row)
            return QString();
    }
    m_practice.markDrawn(row->xh);
    return row->cz;
}

void GameCore::pictScroll_Timer()
{
    const size_t count = Label1.size();
    for (size_t i = 1; i < count && i < Label1.size(); ++i) {
        WordLabel &w = Label1[i];
        if (!w.falling())
            continue;
        qint64 floor = m_fieldHeight;
        if (const std::optional<qint64> top = m_practice.floorUnder(w.Left, w.Left + w.Width))
            floor = *top;
        ++w.Ticks;
        if (w.Top + w.Height + kFallStep <= floor) {
            w.Top += kFallStep;
            continue;
        }
        w.Top = floor - w.Height;
        m_practice.recordLanding(w.Left, w.Top, w.Width, w.Caption);
        w.ToolTipText = QStringLiteral("1");
        if (w.Top <= 0) {
            if (m_view)
                m_view->wordsChanged();
            GameOver();
            // After No the tick ends with its game: nothing more lands or enters.
            // After Yes it goes on over the new game's words, which wait but the
            // first, and lets the next one in: the new game begins with two.
            if (!m_gameActive)
                return;
        }
        if (m_view)
            m_view->sound(GameSound::Landing);
    }
    for (size_t i = 1; i < Label1.size(); ++i) {
        WordLabel &w = Label1[i];
        if (!w.Visible && !w.Caption.isEmpty()) {
            w.Visible = true;
            break;
        }
    }
    if (m_view)
        m_view->wordsChanged();
}

void GameCore::GaTime_Timer()
{
    screen.timeDisplay = QString::number(secondsPlayed(readClock()));
    if (secondsPlayed(readClock()) == 0)
        screen.lbsd = QStringLiteral("0");
    else
        screen.lbsd =
            formatNumber(double(rightCount) * 60.0 / double(secondsPlayed(readClock())), QStringLiteral("####.##"));
    if (inputCount == 0)
        screen.lbzql = QStringLiteral("0");
    else
        screen.lbzql = formatNumber(double(rightCount) / double(inputCount), QStringLiteral("###.##%"));
    screen.lbfs = QString::number(rightCount);
    if (m_view)
        m_view->screenChanged();
}

void GameCore::TxT_KeyUp(int keyCode, int /*shift*/)
{
    if (keyCode == kKeySpace && GlVexM.isPaused) {
        setTimers(true);
        screen.lblPauseVisible = false;
        screen.speedStatusVisible = true;
        screen.correctStatusVisible = true;
        GlVexM.isPaused = false;
        startTick = readClock();
        screen.lbmessage.clear();
        screen.lbmessageVisible = false;
        screen.TxT.clear();
        if (m_view)
            m_view->screenChanged();
        return;
    }
    if (!GaTime.Enabled)
        return;
    if (keyCode != kKeyEnter || screen.TxT.isEmpty())
        return;

    const EntryVerdict verdict = matchEntry();
    if (verdict.kind != EntryVerdict::Kind::Hit && m_record)
        m_record->misses.push_back({m_wallClock.utcMs(), verdict.entry, visibleWords()});
    ++inputCount;
    screen.TxT.clear();
    screen.feedback = feedbackMessage(verdict);
    if (m_view) {
        m_view->wordsChanged();
        m_view->screenChanged();
        m_view->entryJudged(verdict);
        m_view->sound(verdict.kind == EntryVerdict::Kind::Hit ? GameSound::Hit : GameSound::Miss);
    }
    // Every word typed away: the game is over, as if the end command ended it.
    if (verdict.kind == EntryVerdict::Kind::Hit && allWordsGone())
        GameOver();
}

EntryVerdict GameCore::matchEntry()
{
    EntryVerdict verdict;
    verdict.entry = screen.TxT;
    const qint64 hitsBefore = rightCount;
    const size_t count = Label1.size();
    const bool pinyin = m_gameAnswer.mode == AnswerMode::Pinyin;
    const PinyinEntry typed = pinyin ? PinyinEntry(screen.TxT) : PinyinEntry();
    const auto spelled = [&](const WordLabel &w) {
        if (!pinyin)
            return w.Caption == screen.TxT;
        const PinyinVerdict v = typed.judge(w.Pinyin, m_gameAnswer.tones);
        if (v == PinyinVerdict::WrongTone && verdict.word.isEmpty()) {
            verdict.word = w.Caption;
            verdict.reading = w.Pinyin.toneMarked();
        }
        return v == PinyinVerdict::Hit;
    };
    for (size_t i = 0; i < count; ++i) {
        WordLabel &w = Label1[i];
        if (!w.Visible || !spelled(w))
            continue;
        if (w.landed()) {
            if (const std::optional<PileRow> cover = m_practice.coverAbove(w.Top, w.Left, w.Left + w.Width)) {
                // A landed word higher up still covers an edge; remember the first one for the player.
                if (verdict.cover.isEmpty()) {
                    verdict.cover = cover->cz;
                    for (size_t j = 1; j < count && verdict.coverIndex == 0; ++j) {
                        const WordLabel &c = Label1[j];
                        if (c.Visible && c.landed() && c.Caption == cover->cz && c.Left == cover->left
                            && c.Top == cover->top)
                            verdict.coverIndex = j;
                    }
                }
                continue;
            }
            m_practice.releaseFromPile(w.Caption);
        }
        if (m_record)
            m_record->words.push_back({w.Caption, true, w.landed(), w.Ticks, w.Top});
        w.Caption.clear();
        w.Visible = false;
        ++rightCount;
    }
    if (rightCount > hitsBefore) {
        verdict.kind = EntryVerdict::Kind::Hit;
        verdict.cover.clear(); // a hit needs no word pointed out
        verdict.coverIndex = 0;
    } else if (!verdict.cover.isEmpty())
        verdict.kind = EntryVerdict::Kind::Buried;
    else if (!verdict.word.isEmpty())
        verdict.kind = EntryVerdict::Kind::WrongTone;
    return verdict;
}

QStringList GameCore::visibleWords() const
{
    QStringList words;
    for (size_t i = 1; i < Label1.size(); ++i) {
        if (Label1[i].Visible && !Label1[i].Caption.isEmpty())
            words << Label1[i].Caption;
    }
    return words;
}

bool GameCore::allWordsGone() const
{
    for (size_t i = 1; i < Label1.size(); ++i) {
        if (!Label1[i].Caption.isEmpty())
            return false; // waiting, falling or landed
    }
    return true;
}

void GameCore::feedbackExpired()
{
    if (screen.feedback.isEmpty())
        return;
    screen.feedback.clear();
    if (m_view)
        m_view->screenChanged();
}

void GameCore::languageChanged()
{
    screen.feedback.clear();
    if (GlVexM.isPaused) {
        screen.lbmessage = text(tid::YXZTZAKGJJX);
    } else { // a notice in the old language would stay until the next start
        screen.lbmessage.clear();
        screen.lbmessageVisible = false;
    }
    if (m_view)
        m_view->screenChanged();
}

bool GameCore::TxT_LostFocus() const { return GlVexM.detailWord.isEmpty(); }

void GameCore::Label7_Click()
{
    if (!pictScroll.Enabled)
        return;
    if (m_view)
        m_view->settleInput();
    setTimers(false);
    screen.lblPauseVisible = true;
    screen.correctStatusVisible = false;
    screen.speedStatusVisible = false;
    GlVexM.isPaused = true;
    screen.feedback.clear(); // the pause notice is what matters now
    screen.lbmessage = text(tid::YXZTZAKGJJX);
    screen.lbmessageVisible = true;
    closeSegment();
    if (m_view)
        m_view->screenChanged();
}

void GameCore::closeSegment() { playedSeconds = secondsPlayed(readClock()); }

void GameCore::Label8_Click()
{
    // Nothing to end before the first game or after a game is over.
    if (!m_gameActive)
        return;
    if (GlVexM.isPaused) {
        // The pause has counted the time already; leave no pause behind that
        // Space could "resume" into an ended game.
        GlVexM.isPaused = false;
        screen.lblPauseVisible = false;
        screen.correctStatusVisible = true;
        screen.speedStatusVisible = true;
        screen.lbmessage.clear();
        screen.lbmessageVisible = false;
        if (m_view)
            m_view->screenChanged();
        finishGame(false);
        return;
    }
    GameOver();
}

void GameCore::GameOver() { finishGame(true); }

void GameCore::finishGame(bool closeOpenSegment)
{
    screen.feedback.clear();
    if (m_view) {
        m_view->settleInput();
        m_view->screenChanged(); // what an entry missed is gone before the result is asked
    }
    setTimers(false);
    m_gameActive = false;
    if (closeOpenSegment)
        closeSegment();
    recordGame(playedSeconds);
    if (m_view)
        m_view->sound(GameSound::GameOver);

    const QString cr(QChar(13));
    const QString zsj = text(tid::ZSJ);
    const QString m = text(tid::M);
    const QString sd = text(tid::SD);
    const QString cfz = text(tid::CFZ);
    const QString zql = text(tid::ZQL);
    const QString last = text(tid::LXYXYJJSSFCXKS);
    const QString title = text(tid::NDCJ);
    const double speed = playedSeconds != 0 ? double(rightCount) * 60.0 / double(playedSeconds) : 0.0;
    QString message = zsj + u':' + formatNumber(double(playedSeconds), QStringLiteral("##0")) + m + cr;
    message += sd + u':' + formatNumber(speed, QStringLiteral("##0")) + cfz + cr;
    message += zql + u':';
    if (inputCount != 0)
        message += formatNumber(double(rightCount) / double(inputCount), QStringLiteral("###.##%"));
    message += cr + last;

    const bool again = m_dialogs.askYesNo(message, title);
    if (again) {
        Label3_Click();
    } else {
        screen.TxT.clear();
        if (m_view)
            m_view->screenChanged();
    }
}

bool GameCore::holdIfRunning()
{
    if (!pictScroll.Enabled)
        return false;
    setTimers(false);
    return true;
}

void GameCore::restartTimers() { setTimers(true); }

void GameCore::notify(const QString &text)
{
    screen.lbmessage = text;
    screen.lbmessageVisible = true;
    if (m_view)
        m_view->screenChanged();
}

void GameCore::beginRecord(qint64 words, const WordSet &set)
{
    m_record.emplace();
    GameRecord &r = *m_record;
    const QTimeZone zone = m_wallClock.timeZone();
    r.startUtcMs = m_wallClock.utcMs();
    r.utcOffsetS = zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(r.startUtcMs, Qt::UTC));
    r.language = GlVexM.languageCode;
    r.dictionary = QStringLiteral("zidian%1").arg(GlVexM.languageCode);
    if (set.kind == WordSet::Kind::Range) {
        r.selection = QStringLiteral("range:%1-%2").arg(GlVexM.wordFrom).arg(GlVexM.wordTo);
        r.wordFrom = GlVexM.wordFrom;
        r.wordTo = GlVexM.wordTo;
    } else {
        r.selection = set.value();
    }
    r.speedLevel = GlVexM.speedLevel;
    r.answerMode = m_gameAnswer.modeName();
    r.toneRule = m_gameAnswer.tonesName();
    r.hints = m_gameAnswer.hintsName();
    r.player = playerName;
    r.wordsInSelection = words;
    r.fieldHeight = m_fieldHeight;
}

void GameCore::recordGame(qint64 seconds)
{
    std::optional<GameRecord> game;
    game.swap(m_record); // once per game, whichever way it ends
    // A game without an entry and without a hit tells nothing about the player.
    if (!game || (inputCount == 0 && rightCount == 0))
        return;
    game->endUtcMs = m_wallClock.utcMs();
    game->seconds = seconds;
    game->entries = inputCount;
    game->hits = rightCount;
    game->speed = seconds != 0 ? double(rightCount) * 60.0 / double(seconds) : 0.0;
    if (inputCount != 0)
        game->accuracy = double(rightCount) / double(inputCount);
    for (size_t i = 1; i < Label1.size(); ++i) {
        const WordLabel &w = Label1[i];
        if (w.Visible && !w.Caption.isEmpty())
            game->words.push_back({w.Caption, false, w.landed(), w.Ticks, w.Top});
    }
    findEntries(*game);
    m_history.games.record(*game);
    // Not kept, or kept in a fresh file: told now and again at the next start.
    const HistoryNotice notice = m_history.file.takeNotice();
    m_progressNotice = notice.isNone() ? QString() : describeHistoryNotice(notice);
    if (!m_progressNotice.isEmpty())
        notify(m_progressNotice);
}

void GameCore::findEntries(GameRecord &game)
{
    // Kept by entry, the words follow the player into the other scripts.
    try {
        for (WordOutcome &w : game.words)
            w.entry = m_practice.entryOf(m_wordsLanguage, w.word).value_or(QString());
    } catch (const Error &e) {
        qCWarning(lcGame).noquote() << "the words of this game are kept without their entries:" << e.message();
    }
}

void GameCore::recordIfActive()
{
    if (m_gameActive)
        recordGame(GlVexM.isPaused ? playedSeconds : secondsPlayed(readClock()));
}

void GameCore::applySpeed(qint16 level)
{
    GlVexM.speedLevel = level;
    pictScroll.Interval = int(level) * 1000;
    CreatWord.Interval = int(level) * 500;
    if (m_view)
        m_view->timersChanged();
}

} // namespace trenix
