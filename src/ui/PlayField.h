// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The play field: every word label is painted here, in one widget, instead
// of one child widget per word.
#include "AnswerSettings.h"

#include <QFont>
#include <QFontMetrics>
#include <QStaticText>
#include <QTimer>
#include <QWidget>
#include <vector>

class QPainter;

namespace trenix {

struct WordLabel;

class PlayField : public QWidget {
    Q_OBJECT
public:
    explicit PlayField(QWidget *parent = nullptr);
    void setWords(const std::vector<WordLabel> *words) { m_words = words; }
    const QFont &wordFont() const { return m_wordFont; }
    // Width in twips that a word label takes for this caption.
    qint64 measure(const QString &caption) const;
    // Index of the visible word at the point, or 0.
    int wordAt(const QPoint &pos) const;
    // Where the word is, in pixels of the field; the word that ended the game
    // rests on the pile and so reaches above the field's top edge.
    QRect wordRect(int index) const;
    // The word that ended the game, or 0.
    int endingWord() const;
    // A word's box as the field draws it.
    void drawWord(QPainter &p, const QRect &r, const QString &caption, bool ended) const;
    // Outlines a word for a while (the word that covers a buried entry).
    void outline(int index, int ms = 1500);
    int outlined() const { return m_outlineTimer.isActive() ? m_outlined : 0; }
    // The word font follows the interface language's CJK family.
    void refreshFont();
    // Pinyin over the words: which words show it, the field's height in twips
    // (a late hint shows past its middle), and whether its syllables take their
    // tone colours. Hints are drawn only: no word moves for them.
    void setHints(HintMode hints, qint64 fieldHeight, bool toneColours);
    // Where the word's hint is drawn; empty when it shows none.
    QRect hintRect(int index) const;

signals:
    void wordClicked(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    const std::vector<WordLabel> *m_words = nullptr;
    QFont m_wordFont;
    QFontMetrics m_wordMetrics; // measured once per word at every game start
    int m_outlined = 0;
    QTimer m_outlineTimer;

    // A word's hint laid out once, the first time it shows.
    struct Hint {
        QString caption; // the word it was laid out for
        QList<QStaticText> syllables;
        QList<int> tones, offsets; // per syllable: its tone, its x from the hint's left
        int width = 0;
    };
    const Hint &hintOf(size_t index) const;
    void paintHints(QPainter &p, const QRect &area) const;
    HintMode m_hints = HintMode::Off;
    qint64 m_fieldHeight = 0;
    bool m_toneColours = true;
    QFont m_hintFont;
    QFontMetrics m_hintMetrics;
    mutable std::vector<Hint> m_hintCache; // by label index
};

} // namespace trenix
