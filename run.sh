#!/usr/bin/env bash
# Sets up a fresh machine, builds, prepares a demo platform root on first use and starts the
# program on it. Without a display it shows the main job working instead: an unattended
# cleaning of the demo machine, with the traces counted before and after.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh

export SURFKOLIBRI_PLATFORM="${SURFKOLIBRI_PLATFORM:-$PWD/build/demo-root}"
if [ ! -e "$SURFKOLIBRI_PLATFORM/platform.db" ]; then
    echo "run: seeding a demo machine in $SURFKOLIBRI_PLATFORM"
    build/skplatform init
    build/skplatform seed-demo
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
    exec build/surfkolibri "$@"
fi
exec scripts/demo-headless.sh
