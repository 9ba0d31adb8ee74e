#!/usr/bin/env bash
# Configures (once) and builds everything into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
launcher=()
# A compiler cache, where the machine has one, makes rebuilds in several checkouts cheap.
# Paths below the checkout are hashed relative to it, so every clone shares the cache.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache) &&
    export CCACHE_BASEDIR="$PWD"
cmake -S . -B build -G Ninja -DSURFKOLIBRI_WERROR=$werror "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)"
