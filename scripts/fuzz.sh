#!/usr/bin/env bash
# Fuzzes every reader of files the program does not write itself (tests/fuzz/, one target per
# reader) with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   scripts/fuzz.sh [SECONDS [TARGET...]]
#
# Builds the targets with clang into build-fuzz/, then runs each (or those named: ani, jpeg,
# ...) for SECONDS (60 unless given), one after the other, starting from its seed corpus
# (tests/corpus/<target>/) and the inputs earlier runs found (build-fuzz/corpus/<target>/).
# An input that crashes, reads out of bounds, leaks, breaks a reader's promise or hangs (10 s)
# is kept in build-fuzz/findings/<target>/ and fuzzing starts again for the time left. At the end every finding on
# record is read once more through its target and listed as still failing or fixed; the exit
# status is non-zero while one still fails. A fixed finding belongs in tests/corpus/<target>/,
# where the ordinary test suite reads it (FuzzCorpus.<target>). Logs: build-fuzz/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
scripts/setup.sh

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache) &&
    export CCACHE_BASEDIR="$PWD"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSURFKOLIBRI_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build build-fuzz --target fuzz_targets -j"$(nproc)"

top=$PWD
cd build-fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for program in fuzz_*; do
        [ -x "$program" ] && targets+=("${program#fuzz_}")
    done
fi

export QT_QPA_PLATFORM=offscreen SURFKOLIBRI_SHELL_EXECUTE=record
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
mkdir -p logs
for target in "${targets[@]}"; do
    program=./fuzz_$target
    [ -x "$program" ] || { echo "fuzz: no target '$target'" >&2; exit 2; }
    mkdir -p "corpus/$target" "findings/$target"
    echo "fuzz: $target for ${seconds}s (log: build-fuzz/logs/$target.log)"
    : >"logs/$target.log"
    # A crash ends libFuzzer: the input is kept, and fuzzing starts again for the time left.
    deadline=$((SECONDS + seconds))
    while [ $SECONDS -lt "$deadline" ]; do
        started=$SECONDS
        "$program" -max_total_time=$((deadline - SECONDS)) -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="findings/$target/" -print_final_stats=1 \
            "corpus/$target" "$top/tests/corpus/$target" >>"logs/$target.log" 2>&1 && break
        # A seed that fails at once would fail every new start.
        [ $((SECONDS - started)) -lt 3 ] && break
    done
    runs=$(grep -o "stat::number_of_executed_units: [0-9]*" "logs/$target.log" |
        awk '{ n += $2 } END { print n + 0 }')
    echo "fuzz: $target: $runs inputs, $(ls "corpus/$target" | wc -l) in its corpus," \
        "$(ls "findings/$target" | wc -l) findings on record"
done

# Every finding on record, read once more.
status=0
echo "fuzz: findings"
for target in "${targets[@]}"; do
    for finding in findings/"$target"/*; do
        [ -f "$finding" ] || continue
        if "./fuzz_$target" -timeout=10 "$finding" >"logs/replay.log" 2>&1; then
            echo "  fixed:          build-fuzz/$finding"
        else
            status=1
            echo "  still failing:  build-fuzz/$finding"
            grep -m1 -E "ERROR: |runtime error: |broken promise: |SUMMARY: " logs/replay.log |
                sed 's/^/                  /' || true
        fi
    done
done
[ $status -eq 0 ] && echo "  none failing"
exit $status
