#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/ and runs the
# test suite there; any finding fails the test that made it.
#
#   scripts/sanitize.sh [--landing] [CTEST ARGUMENTS...]
#
# Without --landing: everything, the whole suite. With --landing (what .ci/run runs): only the
# tests of the platform, the readers of outside files and the cleanings, and what they need:
# the labels platform (the hosted platform's calls), lang (the translation engine), readers
# (every fuzz corpus through its reader), cache, traces, otherbrowsers and automation (the
# cache, trace and other-browser cleanings and the unattended run). Other arguments go to
# ctest (for example scripts/sanitize.sh -R Survey).
set -euo pipefail
cd "$(dirname "$0")/.."
landing=false
if [ "${1:-}" = "--landing" ]; then
    landing=true
    shift
fi
scripts/setup.sh
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
launcher=()
# Paths below the checkout are hashed relative to it, so every clone shares the cache.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache) &&
    export CCACHE_BASEDIR="$PWD"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" "${launcher[@]}" >/dev/null
labels=()
if $landing; then
    programs=(platform lang cache traces otherbrowsers automation)
    targets=(fuzz_targets skplatform surfkolibri program_data)
    for p in "${programs[@]}"; do targets+=("test_$p"); done
    cmake --build build-sanitize -j"$(nproc)" --target "${targets[@]}"
    labels=(-L "^($(IFS='|'; echo "${programs[*]}")|readers)\$")
else
    cmake --build build-sanitize -j"$(nproc)"
fi

export QT_QPA_PLATFORM=offscreen SURFKOLIBRI_SHELL_EXECUTE=record
# The slow unwinder: Qt's libraries keep no frame pointers, and a stack cut short at them could
# neither be read nor matched by a suppression.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:check_initialization_order=1:fast_unwind_on_malloc=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Leaks inside the libraries that the program cannot give back; each is explained there.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
cd build-sanitize
ctest --output-on-failure -j"$(nproc)" "${labels[@]}" "$@"
