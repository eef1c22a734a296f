// SPDX-License-Identifier: GPL-3.0-or-later
#include "TypingBox.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QPointer>

namespace trenix {

int gameKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Space: return 32;
    default: return qtKey;
    }
}

TypingBox::TypingBox(QWidget *parent) : QLineEdit(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled, true);
    m_flash.setSingleShot(true);
    connect(&m_flash, &QTimer::timeout, this, [this] { setPalette(QPalette()); });
}

void TypingBox::flash(int ms)
{
    QPalette red = palette();
    red.setColor(QPalette::Base, QColor(0xFF, 0xB8, 0xB8));
    setPalette(red);
    m_flash.start(ms);
}

void TypingBox::setPlainKeys(bool plain)
{
    if (plainKeys() == plain)
        return;
    settleComposition(); // what was composed stays in the box
    setAttribute(Qt::WA_InputMethodEnabled, !plain);
    // The input method looks at the focus widget only when told.
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

bool TypingBox::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (composing()) {
            // Esc that cancels a composition must not pause the game, nor F2 restart it.
            key->accept();
            return true;
        }
        const QKeySequence pressed(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
        if (m_gameKeys.contains(pressed)) {
            // Our own commands win over the line edit's editing keys (Ctrl+E).
            key->ignore();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TypingBox::settleComposition()
{
    if (!composing())
        return;
    QInputMethod *im = QGuiApplication::inputMethod();
    // The input method acts on the focus object, which must be this box.
    if (im && hasFocus())
        im->commit(); // fcitx5 and ibus answer with a commit event at once
    if (composing()) {
        // No input method answered: keep the letters and make it forget them.
        commitLocally();
        if (im && hasFocus())
            im->reset();
    }
}

void TypingBox::setEntry(const QString &entry)
{
    if (!composing()) {
        if (text() != entry)
            setText(entry);
        return;
    }
    if (text() == entry)
        return;
    QInputMethodEvent replace(m_preedit, m_preeditAttributes);
    replace.setCommitString(entry, -cursorPosition(), int(text().size()));
    QLineEdit::inputMethodEvent(&replace);
}

void TypingBox::commitLocally()
{
    QInputMethodEvent commit;
    commit.setCommitString(m_preedit);
    m_preedit.clear();
    m_preeditAttributes.clear();
    QLineEdit::inputMethodEvent(&commit);
}

void TypingBox::keyPressEvent(QKeyEvent *event)
{
    // A repeat keeps the first press's verdict: holding Space after picking a
    // candidate must not turn into a resume.
    if (!event->isAutoRepeat()) {
        if (composing())
            m_cleanPresses.remove(event->key());
        else
            m_cleanPresses.insert(event->key());
    }
    QLineEdit::keyPressEvent(event);
}

void TypingBox::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    if (event->isAutoRepeat())
        return;
    const int code = gameKeyCode(event->key());
    // The press decides, not the release: Enter pressed cleanly still submits
    // when the next word's composition has begun before Enter comes up.
    const bool clean = m_cleanPresses.remove(event->key());
    if ((code == 13 || code == 32) && !clean)
        return;
    emit keyReleased(code, int(event->modifiers()));
}

void TypingBox::inputMethodEvent(QInputMethodEvent *event)
{
    const bool wasComposing = composing();
    m_preedit = event->preeditString();
    m_preeditAttributes = event->attributes();
    QLineEdit::inputMethodEvent(event);
    // A composition that ended may have taken the release of a press seen
    // before it; that press must not pair with a later release.
    if (wasComposing && !composing())
        m_cleanPresses.clear();
}

void TypingBox::focusInEvent(QFocusEvent *event)
{
    m_cleanPresses.clear();
    QLineEdit::focusInEvent(event);
}

void TypingBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // The release of a key pressed here goes to the new focus.
    m_cleanPresses.clear();
    if (composing()) {
        // Qt and the input method commit on a focus change, but only when one
        // is running; look again once they have had their turn.
        QPointer<TypingBox> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self && self->composing() && !self->hasFocus())
                    self->commitLocally();
            },
            Qt::QueuedConnection);
    }
    emit focusLost(event->reason());
}

} // namespace trenix
