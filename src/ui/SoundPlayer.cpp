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
    if (QMediaDevices::audioOutputs().isEmpty()) {
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
