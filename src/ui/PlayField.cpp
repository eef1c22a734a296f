// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayField.h"

#include "Fonts.h"
#include "GameCore.h"
#include "ToneColours.h"
#include "Twips.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace trenix {

namespace {
constexpr int kPadPx = 4; // text margin inside the border, each side
constexpr double kHintPoints = 9;

QFont hintFont() { return uiFont({QStringLiteral("Arial")}, kHintPoints, QFont::Bold); }
} // namespace

PlayField::PlayField(QWidget *parent)
    : QWidget(parent), m_wordFont(uiFont({QStringLiteral("Arial Black")}, 21.75, QFont::Black)),
      m_wordMetrics(m_wordFont), m_hintFont(hintFont()), m_hintMetrics(m_hintFont)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    m_outlineTimer.setSingleShot(true);
    connect(&m_outlineTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void PlayField::refreshFont()
{
    m_wordFont = uiFont({QStringLiteral("Arial Black")}, 21.75, QFont::Black);
    m_wordMetrics = QFontMetrics(m_wordFont);
    m_hintFont = hintFont();
    m_hintMetrics = QFontMetrics(m_hintFont);
    m_hintCache.clear();
    update();
}

void PlayField::setHints(HintMode hints, qint64 fieldHeight, bool toneColours)
{
    if (hints == m_hints && fieldHeight == m_fieldHeight && toneColours == m_toneColours)
        return;
    m_hints = hints;
    m_fieldHeight = fieldHeight;
    m_toneColours = toneColours;
    update();
}

const PlayField::Hint &PlayField::hintOf(size_t index) const
{
    if (m_hintCache.size() < m_words->size())
        m_hintCache.resize(m_words->size());
    Hint &hint = m_hintCache[index];
    const WordLabel &w = (*m_words)[index];
    if (hint.caption == w.Caption && !hint.syllables.isEmpty())
        return hint;
    hint = Hint{w.Caption, {}, {}, {}, 0};
    const int space = m_hintMetrics.horizontalAdvance(u' ');
    for (const PinyinSyllable &s : w.Pinyin.displaySyllables()) {
        if (!hint.syllables.isEmpty())
            hint.width += space;
        QStaticText text(s.text);
        text.setTextFormat(Qt::PlainText);
        text.prepare(QTransform(), m_hintFont);
        hint.offsets << hint.width;
        hint.width += m_hintMetrics.horizontalAdvance(s.text);
        hint.syllables << text;
        hint.tones << s.tone;
    }
    return hint;
}

QRect PlayField::hintRect(int index) const
{
    if (!m_words || index < 1 || size_t(index) >= m_words->size()
        || !showsHint(m_hints, (*m_words)[size_t(index)], m_fieldHeight))
        return QRect();
    const Hint &hint = hintOf(size_t(index));
    const QRect word = wordRect(index);
    // Centred over the word and kept inside the field; its lower part lies in the
    // word's own top margin, its upper part in the margin under a word just above.
    const int height = m_hintMetrics.height();
    const int top = word.top() - height / 2;
    if (top >= 0) {
        const int left = std::clamp(word.center().x() - hint.width / 2, 0, std::max(0, width() - hint.width));
        return QRect(left, top, hint.width, height);
    }
    // The top row has no room above, and no other word: beside the word, where it covers nothing.
    constexpr int kGap = 4;
    const int right = word.right() + 1 + kGap;
    const int left = right + hint.width <= width() ? right : std::max(0, word.left() - kGap - hint.width);
    return QRect(left, word.center().y() - height / 2, hint.width, height);
}

void PlayField::outline(int index, int ms)
{
    m_outlined = index;
    m_outlineTimer.start(ms);
    update();
}

namespace {
// The word whose landing ended the game: at or above the field's top edge.
bool endedTheGame(const WordLabel &w) { return w.Visible && w.landed() && w.Top <= 0; }
} // namespace

qint64 PlayField::measure(const QString &caption) const
{
    const int px = m_wordMetrics.horizontalAdvance(caption) + 2 * kPadPx + 2;
    return Twips::fromPx(px);
}

QRect PlayField::wordRect(int index) const
{
    const WordLabel &w = (*m_words)[size_t(index)];
    return Twips::rect(double(w.Left), double(w.Top), double(w.Width), double(w.Height));
}

int PlayField::endingWord() const
{
    for (size_t i = 1; m_words && i < m_words->size(); ++i)
        if (endedTheGame((*m_words)[i]))
            return int(i);
    return 0;
}

void PlayField::drawWord(QPainter &p, const QRect &r, const QString &caption, bool ended) const
{
    p.setFont(m_wordFont);
    p.fillRect(r, ended ? QColor(0xFF, 0xC8, 0xA0) : QColor(0xC0, 0xFF, 0xC0));
    p.setPen(ended ? QPen(QColor(0xD0, 0x00, 0x00), 3) : QPen(Qt::black));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.drawText(r, Qt::AlignCenter, caption);
}

int PlayField::wordAt(const QPoint &pos) const
{
    if (!m_words)
        return 0;
    // Later labels are drawn on top, so look from the end.
    for (int i = int(m_words->size()) - 1; i >= 1; --i) {
        if ((*m_words)[size_t(i)].Visible && wordRect(i).contains(pos))
            return i;
    }
    return 0;
}

void PlayField::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    p.fillRect(event->rect(), palette().color(QPalette::Base));
    if (!m_words)
        return;
    for (size_t i = 1; i < m_words->size(); ++i) {
        const WordLabel &w = (*m_words)[i];
        if (!w.Visible)
            continue;
        const QRect r = wordRect(int(i));
        if (!r.intersects(event->rect()))
            continue;
        drawWord(p, r, w.Caption, endedTheGame(w));
    }
    if (m_hints != HintMode::Off)
        paintHints(p, event->rect());
    if (const int i = outlined(); i > 0 && size_t(i) < m_words->size() && (*m_words)[size_t(i)].Visible) {
        p.setPen(QPen(QColor(0xE0, 0x60, 0x00), 3, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(wordRect(i).adjusted(-3, -3, 2, 2));
    }
}

void PlayField::paintHints(QPainter &p, const QRect &area) const
{
    // After every word, so that no word drawn later hides a hint.
    p.setFont(m_hintFont);
    QColor plate = palette().color(QPalette::Base);
    plate.setAlpha(225); // the borders under it stay faintly visible
    for (size_t i = 1; i < m_words->size(); ++i) {
        const QRect r = hintRect(int(i));
        if (r.isEmpty() || !r.intersects(area))
            continue;
        const Hint &hint = hintOf(i);
        p.fillRect(r.adjusted(-2, 0, 2, 0), plate);
        for (qsizetype s = 0; s < hint.syllables.size(); ++s) {
            p.setPen(m_toneColours ? toneColour(hint.tones[s]) : QColor(Qt::black));
            p.drawStaticText(r.left() + hint.offsets[s], r.top(), hint.syllables[s]);
        }
    }
}

void PlayField::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (const int index = wordAt(event->position().toPoint()))
            emit wordClicked(index);
    }
    event->accept(); // releases over the field have no other effect
}

} // namespace trenix
