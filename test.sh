#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/check-format.sh
scripts/check-layers.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen SURFKOLIBRI_SHELL_EXECUTE=record
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
