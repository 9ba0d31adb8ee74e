#!/usr/bin/env bash
# The Windows build of everything that needs no Qt, and its tests run under Wine: the code
# above src/platform compiles against the SDK headers, and the platform's conformance tests
# pass against a second implementation of the API. Builds into build-windows/ (MinGW-w64,
# cmake/mingw-w64.cmake) and runs every test program there in a fresh Wine prefix of its own
# (build-windows/wine-prefix); the user's ~/.wine is never touched.
#
# Prints "N passed, N failed" and how many tests were skipped because Wine is incomplete
# there (each such skip names Wine's behaviour, beginning "Wine:"). Exits non-zero when the
# build or a test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-windows
# The program's windows are built too where Qt for Windows is built already
# (scripts/build-qt-windows.sh; scripts/windows-program-check.sh builds it when it may).
scripts/windows-build.sh "$(scripts/build-qt-windows.sh --if-built)"

# A fresh machine for every run, without a display.
. scripts/wine-env.sh
unset DISPLAY WAYLAND_DISPLAY
# The local-time tests mean most under a zone with daylight saving time.
[ -e /usr/share/zoneinfo/Europe/Berlin ] && export TZ=Europe/Berlin
wine_fresh_prefix "$PWD/$build/wine-prefix"

logs="$build/test-logs"
rm -rf "$logs"
mkdir -p "$logs"
passed=0
failed=0
skipped=0
failures=()

# Counts one program's results from its output; a program that did not finish (a crash) has
# its tests run one by one, so that the crash fails only the test that caused it.
count() {
    local log=$1
    local p f s
    p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.$/\1/p' "$log" | tail -1)
    f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below:$/\1/p' "$log" | tail -1)
    s=$(grep -c '^Wine: ' "$log" || true)
    passed=$((passed + ${p:-0}))
    failed=$((failed + ${f:-0}))
    skipped=$((skipped + s))
    while IFS= read -r name; do failures+=("$name"); done < <(
        sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_]*\.[A-Za-z0-9_]*\)$/\1/p' "$log" | sort -u)
}

# Runs a test program under Wine; its output, without the carriage returns, goes to a log.
run() {
    local log=$1
    shift
    "$wine" "$@" 2>&1 | tr -d '\r' >"$log" || true
}
finished() { grep -q '^\[==========\] .* ran\.' "$1"; }

for program in "$build"/test_*.exe; do
    name=$(basename "$program" .exe)
    log="$logs/$name.log"
    echo "windows-check: running $name"
    run "$log" "$program"
    if finished "$log"; then
        count "$log"
        continue
    fi
    echo "windows-check: $name did not finish; running its tests one by one"
    while IFS= read -r test; do
        one="$logs/$name.$test.log"
        run "$one" "$program" --gtest_filter="$test"
        if finished "$one"; then
            count "$one"
        else
            failed=$((failed + 1))
            failures+=("$test (the program ended)")
        fi
    done < <("$wine" "$program" --gtest_list_tests 2>/dev/null | tr -d '\r' | awk '
        /^[^ ]/ { suite = $1; next }
        /^  / { print suite $1 }')
done
# The console runner, as a Windows user runs it, on a machine seeded through Wine's own registry
# tool and by a Windows program of the build (recent documents through the shell, today's
# Firefox and Chrome with their databases). What it removed is counted from outside: values
# by Wine's registry tool, rows by the sqlite3 program, files in the folders. Where Wine lacks
# a call (the URL cache walk, the URL history, the emptying of the recent documents) the
# runner must say exactly what stayed.
echo "windows-check: running surfkolibri-clean.exe on a seeded machine"
runner_log="$logs/surfkolibri-clean.log"
: >"$runner_log"
check() {
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        failures+=("surfkolibri-clean: $what")
        echo "FAILED: $what" >>"$runner_log"
    fi
}
clean() {
    local status=0
    "$wine" "$build/surfkolibri-clean.exe" "$@" >"$logs/runner.out" 2>"$logs/runner.err" || status=$?
    tr -d '\r' <"$logs/runner.out" >"$logs/runner.txt"
    { echo "--- surfkolibri-clean $* (status $status)"; cat "$logs/runner.txt" "$logs/runner.err"; } >>"$runner_log"
    return "$status"
}
# A text of the German language file, UTF-8, with %1 filled in.
german() {
    awk -v n="[$1]" 'found { print; exit } $0 == n "\r" { found = 1 }' data/Surfkolibri.t01 |
        tr -d '\r' | iconv -f latin1 -t utf-8 | sed "s/%1/${2:-}/; s/%2/${3:-}/"
}
seed_registry_traces
"$wine" "$build/seed-machine.exe" >>"$runner_log" 2>&1 || echo "seed-machine failed" >>"$runner_log"
roaming=$(winenv APPDATA)
local_data=$(winenv LOCALAPPDATA)
data_folder="$local_data/Kravonel/Surfkolibri"
mkdir -p "$data_folder"
cp data/Surfkolibri.t01 "$data_folder/Surfkolibri.def" # the user chose German
firefox="$roaming/Mozilla/Firefox/Profiles/k3v9x2lq.default-release"
firefox_cache="$local_data/Mozilla/Firefox/Profiles/k3v9x2lq.default-release"
chrome="$local_data/Google/Chrome/User Data/Default"
rows() { sqlite3 -batch -noheader "$1" "SELECT count(*) FROM $2" 2>/dev/null || echo missing; }
files() { find "$@" -type f 2>/dev/null | wc -l; }
traces() {
    echo "typed $(values "$typed")"
    echo "runlist $(values "$runmru")"
    echo "recent $(files "$roaming/Microsoft/Windows/Recent" -name '*.lnk')"
    echo "firefox-visits $(rows "$firefox/places.sqlite" moz_historyvisits)"
    echo "firefox-places $(rows "$firefox/places.sqlite" moz_places)"
    echo "firefox-cookies $(rows "$firefox/cookies.sqlite" moz_cookies)"
    echo "firefox-forms $(rows "$firefox/formhistory.sqlite" moz_formhistory)"
    echo "firefox-cache $(files "$firefox_cache/cache2")"
    echo "chrome-visits $(rows "$chrome/History" visits)"
    echo "chrome-urls $(rows "$chrome/History" urls)"
    echo "chrome-cookies $(rows "$chrome/Network/Cookies" cookies)"
    echo "chrome-cache $(files "$chrome/Cache" "$chrome/Code Cache" "$chrome/GPUCache")"
}
trace() { awk -v k="$1" '$1 == k { print $2 }' <<<"$2"; }
before=$(traces)
echo "$before" | sed 's/^/before: /' >>"$runner_log"
check "the seeded machine has every trace" \
    test "$(echo "$before" | awk '$2 == "missing" || $2 == 0' | wc -l)" -eq 0

status=0
clean cbx || status=$?
check "letters that choose no cleaning are refused (status $status)" test "$status" -eq 2
check "a refusal names the letters that choose nothing" grep -qF "$(german 463 cbx x)" "$logs/runner.err"
status=0
clean --preview cbhme || status=$?
# The preview ends with the status the run would end with: what Wine cannot clean would stay.
check "the preview ends with status 1 (status $status)" test "$status" -eq 1
check "the preview speaks German" grep -qxF "$(german 325)" "$logs/runner.txt"
check "the preview removes nothing" test "$(traces)" = "$before"
check "the preview leaves no report" test ! -e "$data_folder/Surfkolibri.log"

status=0
clean cbhme || status=$?
after=$(traces)
echo "$after" | sed 's/^/after: /' >>"$runner_log"
# Wine's URL cache walk and URL history are stubs, and its shell does not empty the recent
# documents: the run says so, and ends with status 1.
check "what Wine cannot clean ends the run with status 1 (status $status)" test "$status" -eq 1
# Each step's own lines; the indented ones below a step are each browser's share of it.
grep -v '^  ' "$logs/runner.txt" >"$logs/runner-steps.txt" || true
check "each of today's browsers has its share of the cookies, the cache and the history" \
    test "$(grep -c '^  \(Firefox\|Chrome\): ' "$logs/runner.txt")" -eq 6
check "the cookie cleaning says the URL cache could not be read" \
    test "$(sed -n '2p' "$logs/runner-steps.txt")" = "$(german 380 2)"
check "the cache cleaning says the URL cache could not be read" \
    test "$(grep -cxF "$(german 380 2)" "$logs/runner.txt")" -eq 2
check "the history cleaning says the URL history could not be read" \
    grep -qxF "$(german 380 0x80004001)" "$logs/runner.txt"
check "the recent documents Wine's shell keeps are named as not removed" \
    grep -qF "$(german 311 3)" "$logs/runner.txt"
check "nothing else is named as not cleaned" test "$(wc -l <"$logs/runner-steps.txt")" -eq 8
for kind in typed runlist firefox-visits firefox-cookies firefox-forms firefox-cache \
    chrome-visits chrome-urls chrome-cookies chrome-cache; do
    check "$kind: nothing left" test "$(trace "$kind" "$after")" = 0
done
check "firefox-places: the bookmarked places stay" test "$(trace firefox-places "$after")" = 10
check "the recent documents stay under Wine" test "$(trace recent "$after")" = 3
check "the bookmarks stay" test "$(rows "$firefox/places.sqlite" moz_bookmarks)" -gt 10
check "Firefox's places.sqlite is sound" \
    test "$(sqlite3 "$firefox/places.sqlite" 'PRAGMA integrity_check' 2>&1)" = ok
# Not removed: the three recent documents Wine will not let go, and the three parts of
# Internet Explorer that Wine cannot read.
check "the run is reported in the data folder" \
    grep -q '^### .* | cbhme | [0-9]* | 6$' <(tr -d '\r' <"$data_folder/Surfkolibri.log")
removed=0
while read -r kind count; do
    [ "$count" = missing ] && continue
    removed=$((removed + count - $(trace "$kind" "$after")))
done <<<"$before"
echo "windows-check: windows runner: $removed traces removed under Wine"

for name in "${failures[@]}"; do
    echo "windows-check: FAILED $name" >&2
done
echo "windows-check: $passed passed, $failed failed"
echo "windows-check: $skipped skipped for Wine stubs (their reasons begin \"Wine:\" in $logs)"
[ "$failed" -eq 0 ]
