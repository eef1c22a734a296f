// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayField.h"

#include "Fonts.h"
#include "GameCore.h"
#include "Twips.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace trenix {

namespace {
constexpr int kPadPx = 4; // text margin inside the border, each side
}

PlayField::PlayField(QWidget *parent)
    : QWidget(parent), m_wordFont(uiFont({QStringLiteral("Arial Black")}, 21.75, QFont::Black)),
      m_wordMetrics(m_wordFont)
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
    update();
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
    if (const int i = outlined(); i > 0 && size_t(i) < m_words->size() && (*m_words)[size_t(i)].Visible) {
        p.setPen(QPen(QColor(0xE0, 0x60, 0x00), 3, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(wordRect(i).adjusted(-3, -3, 2, 2));
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
