#!/usr/bin/env bash
# Installs what building and testing need, from the distribution, when something is missing.
# Safe to run again: it only calls apt-get when a package is absent.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libsqlite3-dev libjpeg-dev
          libgtest-dev libgmock-dev fonts-dejavu-core fonts-comic-neue clang-format liblnk-utils
          xvfb openbox xdotool x11-utils ccache clang libclang-rt-dev
          nlohmann-json3-dev sqlite3 libpsl-dev)
"$(dirname "$0")"/need-packages.sh setup "${packages[@]}"
