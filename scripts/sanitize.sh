#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/
# and runs the whole test suite there; any finding fails the test that made it. Arguments go
# to ctest (for example scripts/sanitize.sh -R Survey).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
launcher=()
# Paths below the checkout are hashed relative to it, so every clone shares the cache.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache) &&
    export CCACHE_BASEDIR="$PWD"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" "${launcher[@]}" >/dev/null
cmake --build build-sanitize -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen SURFKOLIBRI_SHELL_EXECUTE=record
# The slow unwinder: Qt's libraries keep no frame pointers, and a stack cut short at them could
# neither be read nor matched by a suppression.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:check_initialization_order=1:fast_unwind_on_malloc=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Leaks inside the libraries that the program cannot give back; each is explained there.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
cd build-sanitize
ctest --output-on-failure -j"$(nproc)" "$@"
