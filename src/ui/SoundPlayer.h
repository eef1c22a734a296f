// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's four clips, played with Qt Multimedia when sound is on. Nothing
// is loaded until sound is first switched on; a machine without sound output
// (or without the clips) plays nothing and says nothing.
#include "GameCore.h"

#include <QObject>
#include <QString>
#include <array>

class QSoundEffect;

namespace trenix {

// The clips' folder under the program's folder, and each clip's file, in GameSound's order.
inline constexpr char kSoundFolder[] = "sounds";
inline constexpr const char *kSoundFiles[] = {"hit.wav", "miss.wav", "landing.wav", "gameover.wav"};

class SoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit SoundPlayer(QString folder, QObject *parent = nullptr);

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on);
    void play(GameSound sound);
    // The clip asked for last, for tests; -1 before any.
    int lastPlayed() const { return m_lastPlayed; }

private:
    void load();

    QString m_folder;
    bool m_enabled = false;
    bool m_loaded = false;
    int m_lastPlayed = -1;
    std::array<QSoundEffect *, 4> m_effects{};
};

} // namespace trenix
