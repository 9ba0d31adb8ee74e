#!/usr/bin/env bash
# Installs what building and testing need, from the distribution, when something is missing.
# Safe to run again: it only calls apt-get when a package is absent.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libsqlite3-dev libjpeg-dev
          libgtest-dev libgmock-dev fonts-dejavu-core fonts-comic-neue clang-format liblnk-utils
          xvfb openbox xdotool x11-utils ccache clang libclang-rt-dev
          nlohmann-json3-dev sqlite3 libpsl-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${missing[*]}" >&2
    echo "setup: run as root (or install them) and try again" >&2
    exit 1
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
