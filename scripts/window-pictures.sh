#!/usr/bin/env bash
# Renders every window of the program offscreen, in both languages, with the data of the
# platform root in SURFKOLIBRI_PLATFORM (default: the demo machine build/demo-root, seeded on
# first use), to PNG files in build/window-pictures (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
export SURFKOLIBRI_PLATFORM="${SURFKOLIBRI_PLATFORM:-$PWD/build/demo-root}"
if [ ! -e "$SURFKOLIBRI_PLATFORM/platform.db" ]; then
    build/skplatform init >/dev/null
    build/skplatform seed-demo >/dev/null
fi
out="${1:-build/window-pictures}"
echo "window-pictures: rendering every window to $out (QT_QPA_PLATFORM=offscreen)"
QT_QPA_PLATFORM=offscreen build/screenshots "$out" 2>/dev/null | sed 's/^/  /'
