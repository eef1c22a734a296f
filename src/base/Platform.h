// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Platform seams: the clocks and the questions to the player.
// Tests drive these; Windows can follow with its own implementations.
#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <QTimeZone>
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

// Calendar time, for what is kept beyond a run: UTC milliseconds since the epoch
// and the player's time zone, which decides where a local day begins.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual qint64 utcMs() const = 0;
    virtual QTimeZone timeZone() const = 0;
};

class SystemWallClock final : public WallClock {
public:
    qint64 utcMs() const override { return QDateTime::currentMSecsSinceEpoch(); }
    QTimeZone timeZone() const override { return QTimeZone::systemTimeZone(); }
};

// Message boxes. Yes/No questions have no icon and Yes as the default button.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual bool askYesNo(const QString &text, const QString &title) = 0;
    virtual void inform(const QString &text, const QString &title) = 0;
    // The one place that shows a fatal error to the player.
    virtual void showError(const QString &text) = 0;
    // A file to write, or empty when the player cancels (or nobody can be asked).
    virtual QString chooseSaveFile(const QString &title, const QString &suggested, const QString &filter)
    {
        Q_UNUSED(title)
        Q_UNUSED(suggested)
        Q_UNUSED(filter)
        return QString();
    }
    // A file to read, or empty when the player cancels.
    virtual QString chooseOpenFile(const QString &title, const QString &filter)
    {
        Q_UNUSED(title)
        Q_UNUSED(filter)
        return QString();
    }
    // A line of text the player types, or a null string when they cancel.
    virtual QString askText(const QString &title, const QString &label, const QString &initial)
    {
        Q_UNUSED(title)
        Q_UNUSED(label)
        Q_UNUSED(initial)
        return QString();
    }
};

} // namespace trenix
