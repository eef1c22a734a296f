#pragma once
// The typing box. An input method may swallow the press of Enter or Space
// (to commit raw letters or pick a candidate) and pass on only the release;
// such a release must not submit the entry or resume a game. A release counts
// only when its press reached the box while no composition was open.
#include <QLineEdit>
#include <QSet>

namespace trenix {

class TypingBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TypingBox(QWidget *parent = nullptr);
    bool composing() const { return m_composing; }
    // Commits or drops an open composition (before pause, game end, focus change).
    void settleComposition();

signals:
    // Released key in the codes the game uses (13 Enter, 32 Space, others as Qt keys).
    void keyReleased(int keyCode, int modifiers);
    void focusLost(Qt::FocusReason reason);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_composing = false;
    QSet<int> m_cleanPresses; // keys pressed while no composition was open
};

int gameKeyCode(int qtKey);

} // namespace trenix
