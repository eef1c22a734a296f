#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One entry point for a fresh Debian 12 machine:
#   ./build.sh play   install what is missing, build, start the game
#   ./build.sh test   install what is missing, build, run every test
#                     (normal, then short fuzz runs, then under AddressSanitizer+UBSan)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n qt6-charts-dev libqt6opengl6-dev
  qt6-multimedia-dev
  libsqlcipher-dev sqlcipher
  fonts-noto-cjk fonts-liberation2 python3-fonttools
  xvfb xauth xdotool x11-utils imagemagick
  libbenchmark-dev clang libclang-rt-14-dev
  appstream desktop-file-utils dpkg-dev file
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure_and_build() { # folder, extra cmake args...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

case "${1:-}" in
  play)
    install_missing
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      echo "No display: start the game from a desktop session with build/bin/trenix" >&2
      exit 1
    fi
    exec build/bin/trenix
    ;;
  test)
    install_missing
    export QT_QPA_PLATFORM=offscreen
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    (cd build && ctest --output-on-failure -j 2)
    tools/ci/fuzz.sh build-fuzz 20
    configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DTRENIX_SANITIZE=ON -DTRENIX_BUILD_BENCH=OFF
    (cd build-asan && ctest --output-on-failure -j 2)
    ;;
  *)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac
