#include "TypingBox.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>

namespace trenix {

int gameKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Space:
        return 32;
    default:
        return qtKey;
    }
}

TypingBox::TypingBox(QWidget *parent) : QLineEdit(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled, true);
}

void TypingBox::settleComposition()
{
    if (m_composing) {
        if (QInputMethod *im = QGuiApplication::inputMethod())
            im->commit();
        m_composing = false;
    }
    m_cleanPresses.clear();
}

void TypingBox::keyPressEvent(QKeyEvent *event)
{
    if (!event->isAutoRepeat()) {
        if (m_composing)
            m_cleanPresses.remove(event->key());
        else
            m_cleanPresses.insert(event->key());
    }
    // Enter must not be swallowed by the line edit's own handling silently;
    // it has no effect on the text anyway.
    QLineEdit::keyPressEvent(event);
}

void TypingBox::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    if (event->isAutoRepeat())
        return;
    const int code = gameKeyCode(event->key());
    const bool clean = m_cleanPresses.contains(event->key());
    m_cleanPresses.remove(event->key());
    if ((code == 13 || code == 32) && (!clean || m_composing))
        return;
    emit keyReleased(code, int(event->modifiers()));
}

void TypingBox::inputMethodEvent(QInputMethodEvent *event)
{
    QLineEdit::inputMethodEvent(event);
    m_composing = !event->preeditString().isEmpty();
}

void TypingBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    emit focusLost(event->reason());
}

} // namespace trenix
