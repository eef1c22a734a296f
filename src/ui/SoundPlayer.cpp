// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundPlayer.h"

#include <QAudioDevice>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

Q_LOGGING_CATEGORY(lcSound, "trenix.sound", QtWarningMsg)

namespace trenix {

namespace {
// Qt's sound output on Linux talks to a PulseAudio server (PipeWire's stands in
// for one). Where none runs, asking for its devices only leaves a complaint on
// stderr: look for its socket first.
bool soundServerRunning()
{
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("pulse/native")));
}
} // namespace

SoundPlayer::SoundPlayer(QString folder, QObject *parent) : QObject(parent), m_folder(std::move(folder)) {}

void SoundPlayer::setEnabled(bool on)
{
    m_enabled = on;
    if (on && !m_loaded)
        load();
}

void SoundPlayer::load()
{
    m_loaded = true;
    // Without an output device the effects would only complain: silence instead.
    if (!soundServerRunning() || QMediaDevices::audioOutputs().isEmpty()) {
        qCInfo(lcSound) << "no sound output: the game stays silent";
        return;
    }
    for (size_t i = 0; i < m_effects.size(); ++i) {
        const QString path = QDir(m_folder).filePath(QLatin1String(kSoundFiles[i]));
        if (!QFileInfo::exists(path)) {
            qCInfo(lcSound) << "no clip" << path;
            continue;
        }
        auto *effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(path));
        effect->setVolume(0.6);
        m_effects[i] = effect;
    }
}

void SoundPlayer::play(GameSound sound)
{
    if (!m_enabled)
        return;
    const size_t i = size_t(sound);
    m_lastPlayed = int(i);
    if (QSoundEffect *effect = m_effects[i]) {
        if (effect->isPlaying())
            effect->stop(); // a hit on a hit starts again rather than stacking up
        effect->play();
    }
}

} // namespace trenix
