// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Errors carry a kind and a message up to the one place that shows them.
#include <QByteArray>
#include <QString>
#include <exception>

namespace trenix {

enum class ErrorKind {
    StoreMissing, // a data file is not there
    StoreOpen,    // not a database, wrong key, unreadable
    StoreQuery,   // a statement failed
    StoreWrite,   // a write failed (read-only, full disk)
    StoreDamaged, // a plain store whose file is not a database or is corrupt
    File,         // another file problem
    Input,        // bad input from the player
};

class Error : public std::exception {
public:
    Error(ErrorKind kind, QString message) : m_kind(kind), m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    ErrorKind kind() const noexcept { return m_kind; }
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    ErrorKind m_kind;
    QString m_message;
    QByteArray m_utf8;
};

// Text for the terminal: a control character is written as \xHH, so that a
// name in a message can neither move the cursor nor fake a line of its own.
inline QByteArray forTerminal(const QString &text)
{
    QString shown;
    for (const QChar c : text) {
        const uint u = c.unicode();
        shown +=
            u < 0x20 || (u >= 0x7F && u <= 0x9F) ? QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0')) : QString(c);
    }
    return shown.toLocal8Bit();
}

} // namespace trenix
