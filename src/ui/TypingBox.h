// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The typing box. An input method may swallow the press of Enter or Space
// (to commit raw letters or pick a candidate) and pass on only the release;
// such a release must not submit the entry or resume a game. A release counts
// only when its press reached the box while no composition was open.
#include <QInputMethodEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QList>
#include <QSet>
#include <QTimer>

namespace trenix {

class TypingBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TypingBox(QWidget *parent = nullptr);
    bool composing() const { return !m_preedit.isEmpty(); }
    QString preedit() const { return m_preedit; }
    // Commits an open composition into the entry (before pause, game end).
    void settleComposition();
    // Replaces the entry but keeps an open composition, which setText() would
    // drop: a fast typist starts the next word before releasing Enter.
    void setEntry(const QString &entry);
    // The window's shortcut keys: they reach their commands while no
    // composition is open; while one is, every key belongs to the input method.
    void setGameKeys(const QList<QKeySequence> &keys) { m_gameKeys = keys; }
    // Pinyin answers take plain keys: no input method while they are on.
    void setPlainKeys(bool plain);
    bool plainKeys() const { return !testAttribute(Qt::WA_InputMethodEnabled); }
    // A short red flash of the box: the entry hit nothing.
    void flash(int ms = 300);
    bool flashing() const { return m_flash.isActive(); }

signals:
    // Released key in the codes the game uses (13 Enter, 32 Space, others as Qt keys).
    void keyReleased(int keyCode, int modifiers);
    void focusLost(Qt::FocusReason reason);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void commitLocally();

    QString m_preedit;
    QList<QInputMethodEvent::Attribute> m_preeditAttributes;
    QSet<int> m_cleanPresses; // keys pressed while no composition was open
    QList<QKeySequence> m_gameKeys;
    QTimer m_flash;
};

int gameKeyCode(int qtKey);

} // namespace trenix
