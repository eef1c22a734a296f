#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the game's four sound clips as small WAV files (16-bit mono PCM).

    make_sounds.py OUT_FOLDER

hit.wav, miss.wav, landing.wav and gameover.wav are made from sine tones with
short attacks and decays, so that the program ships no recorded sound of
anyone else's and the clips are the same on every build.
"""
import math
import os
import struct
import sys
import wave

RATE = 22050


def tone(freqs, ms, volume=0.5, decay=6.0, attack_ms=4, glide=1.0):
    """Sum of sines at freqs (Hz) for ms, gliding to freq * glide, fading out exponentially."""
    n = int(RATE * ms / 1000)
    attack = max(1, int(RATE * attack_ms / 1000))
    out = []
    phases = [0.0] * len(freqs)
    for i in range(n):
        t = i / n
        envelope = min(1.0, i / attack) * math.exp(-decay * t)
        value = 0.0
        for k, f in enumerate(freqs):
            phases[k] += 2 * math.pi * f * (1 + (glide - 1) * t) / RATE
            value += math.sin(phases[k]) / len(freqs)
        out.append(volume * envelope * value)
    return out


def write(path, samples):
    # A few ms of silence at the end, so that no player clicks at the cut.
    samples = samples + [0.0] * int(RATE * 0.005)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 32767)) for s in samples))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_sounds.py OUT_FOLDER")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    clips = {
        # a bright, short ping
        "hit.wav": tone([1046.5, 1568.0], 110, volume=0.45, decay=7),
        # a low, dull buzz
        "miss.wav": tone([196.0, 207.7], 170, volume=0.5, decay=5, glide=0.9),
        # a soft thud that drops in pitch
        "landing.wav": tone([130.8], 140, volume=0.6, decay=8, glide=0.7),
        # three falling notes
        "gameover.wav": tone([659.3], 170, volume=0.45, decay=3)
        + tone([523.3], 170, volume=0.45, decay=3)
        + tone([392.0], 320, volume=0.45, decay=4),
    }
    for name, samples in clips.items():
        write(os.path.join(out, name), samples)


if __name__ == "__main__":
    main()
