#pragma once
// Platform seams: the clock and the questions to the player.
// Tests drive these; Windows can follow with its own implementations.
#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

namespace trenix {

// Monotonic 64-bit millisecond count: never wraps, never goes back.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
};

class SteadyClock final : public Clock {
public:
    SteadyClock() { m_timer.start(); }
    // Offset so that a fresh program never reads 0, which means "no game yet".
    qint64 nowMs() const override { return m_timer.elapsed() + 1000; }
private:
    QElapsedTimer m_timer;
};

// Message boxes. Yes/No questions have no icon and Yes as the default button.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual bool askYesNo(const QString &text, const QString &title) = 0;
    virtual void inform(const QString &text, const QString &title) = 0;
    // The one place that shows a fatal error to the player.
    virtual void showError(const QString &text) = 0;
};

} // namespace trenix
