// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyBindings.h"

#include "Texts.h"

namespace trenix {

QList<QKeySequence> keySequences(const Shortcut &shortcut)
{
    QList<QKeySequence> keys;
    for (const QString &text : shortcut.keys)
        keys << QKeySequence::fromString(text, QKeySequence::PortableText);
    if (shortcut.platformPreferences)
        keys << QKeySequence::keyBindings(QKeySequence::Preferences);
    QList<QKeySequence> unique;
    for (const QKeySequence &key : std::as_const(keys)) {
        if (!key.isEmpty() && !unique.contains(key))
            unique << key;
    }
    return unique;
}

QString keysText(const Shortcut &shortcut)
{
    QStringList texts;
    for (const QKeySequence &key : keySequences(shortcut))
        texts << key.toString(QKeySequence::NativeText);
    return texts.join(QStringLiteral(", "));
}

QString keysText(Command command)
{
    for (const Shortcut &shortcut : shortcutTable()) {
        if (shortcut.command == command)
            return keysText(shortcut);
    }
    return QString();
}

QString toolTip(const Shortcut &shortcut)
{
    return text(shortcut.tip) + QStringLiteral(" (") + keysText(shortcut) + u')';
}

} // namespace trenix
