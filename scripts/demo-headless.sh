#!/usr/bin/env bash
# No display: the program's main job on the demo machine, with nobody there. The start-up
# shortcut runs the program at every logon with the ticked cleanings as its one argument;
# here it runs so ("surfkolibri cbhme", offscreen) and the traces are counted before and
# after, with the reasons for what is left. scripts/window-pictures.sh renders the windows
# instead.
#
# Runs on its own as well as from ./run.sh: without SURFKOLIBRI_PLATFORM the machine is the
# demo root build/demo-root, seeded when it is missing or empty. Exits non-zero when the
# program's run failed (its own exit status, a crash, or no end within five minutes).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
tool=build/skplatform
program=build/surfkolibri
for built in "$tool" "$program"; do
    if [ ! -x "$built" ]; then
        echo "run: $built is missing; build first (scripts/build.sh or ./run.sh)" >&2
        exit 1
    fi
done
export SURFKOLIBRI_PLATFORM="${SURFKOLIBRI_PLATFORM:-$PWD/build/demo-root}"
root=$SURFKOLIBRI_PLATFORM
if [ ! -e "$root/platform.db" ]; then
    echo "run: seeding a demo machine in $root"
    { "$tool" init && "$tool" seed-demo; } >/dev/null || exit 1
fi
shell_folders='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'

shell_folder() {
    "$tool" reg query "$shell_folders" /v "$1" 2>/dev/null | sed -n 's/.*REG_[A-Z_]*SZ    //p'
}
# A path on drive C: as a path of the host, below the root.
host_path() {
    local rest=${1#[Cc]:}
    printf '%s/drive_c%s' "$root" "${rest//\\//}"
}
# The number from a list's closing "N entries" line.
entries_of() {
    "$tool" "$@" 2>/dev/null | tail -n 1 | awk '{ print $1 + 0 }'
}
# The entries of a list that a browser holds locked (pages still open); they refuse deletion.
locked_of() {
    "$tool" "$@" 2>/dev/null | grep -c $'\tlocked$'
}
values_of() {
    "$tool" reg query "$1" 2>/dev/null | grep -c '    REG_'
}
appdata=$(host_path "$(shell_folder AppData)")
localappdata=$(host_path "$(shell_folder 'Local AppData')")
firefox_roaming=$appdata/Mozilla/Firefox/Profiles
firefox_local=$localappdata/Mozilla/Firefox/Profiles
# Every file in the earlier browsers' folders, and those of them that are traces: the cache
# folders' contents, the cookie and history files. Today's Firefox's databases and cache are
# counted apart, by their rows and files.
browser_files() {
    find "$appdata/Opera" "$appdata/Mozilla" "$localappdata/Mozilla" -type f \
        ! -name '*.sqlite*' ! -path '*/cache2/*' "$@" 2>/dev/null
}
trace_test=(\( -path '*/cache4/*' -o -path '*/Cache/*' -o -name 'cookies.txt' -o -name 'cookies4.dat'
    -o -name 'global.dat' -o -name 'history.dat' \))
chromium=("$localappdata/Google/Chrome/User Data" "$localappdata/Microsoft/Edge/User Data")
# The rows of a table summed over today's browsers' databases of one name, read with sqlite3.
rows_of() {
    local table=$1 total=0 n
    shift
    while IFS= read -r -d '' db; do
        n=$(sqlite3 -readonly "$db" "SELECT count(*) FROM $table" 2>/dev/null) || n=0
        total=$((total + ${n:-0}))
    done < <(find "$firefox_roaming" "${chromium[@]}" -type f \( "$@" \) -print0 2>/dev/null)
    echo "$total"
}
# Every row the history cleanings remove: Firefox's visits, input history, places and form
# history, and the whole of Chrome's and Edge's history tables (bookmarked places stay).
history_rows() {
    local total=0 table
    for table in moz_historyvisits moz_inputhistory moz_places; do
        total=$((total + $(rows_of "$table" -name places.sqlite)))
    done
    total=$((total + $(rows_of moz_formhistory -name formhistory.sqlite)))
    for table in visits urls keyword_search_terms segment_usage segments visit_source \
        downloads_url_chains downloads downloads_slices content_annotations context_annotations \
        clusters_and_visits clusters cluster_keywords cluster_visit_duplicates visited_links; do
        total=$((total + $(rows_of "$table" -name History)))
    done
    echo "$total"
}
# The earlier browsers' cookies as their cleaning counts them: a line of cookies.txt each,
# Opera's binary cookie file as one.
old_cookies() {
    local total=0 n
    while IFS= read -r -d '' file; do
        n=$(grep -cE '^#HttpOnly_|^[^#[:space:]]' "$file" 2>/dev/null)
        total=$((total + ${n:-0}))
    done < <(browser_files -name cookies.txt -print0)
    echo $((total + $(browser_files -name cookies4.dat | wc -l)))
}
current_cache_files() {
    find "$firefox_local" "${chromium[@]}" -type f \( -path '*/cache2/*' -o -path '*/Cache_Data/*' \
        -o -path '*/Code Cache/*' -o -path '*/GPUCache/*' \) 2>/dev/null | wc -l
}
other_browser_files() {
    browser_files "${trace_test[@]}" | wc -l
}
count_traces() {
    entries_of cache list
    entries_of cache list --cookies
    entries_of history list
    values_of 'HKCU\Software\Microsoft\Internet Explorer\TypedURLs'
    values_of 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU'
    "$tool" ls "$(shell_folder Recent)\\*.lnk" 2>/dev/null | wc -l
    other_browser_files
    echo $(($(rows_of moz_historyvisits -name places.sqlite) + $(rows_of visits -name History)))
    echo $(($(rows_of moz_cookies -name cookies.sqlite) + $(rows_of cookies -path '*/Network/Cookies')))
    current_cache_files
    # Not shown in the table; the report is checked against them.
    history_rows
    old_cookies
    browser_files \( -path '*/cache4/*' -o -path '*/Cache/*' \) | wc -l
    browser_files \( -name global.dat -o -name history.dat \) | wc -l
    "$tool" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU' \
        2>/dev/null | grep '    REG_' | grep -vc '^ *MRUList '
}

echo "run: no display; the program's main job instead: the unattended cleaning that the"
echo "     start-up shortcut runs at every logon, on the demo machine in $root"
# The traces of a few more weeks of surfing (seed-demo writes back what is missing).
"$tool" seed-demo >/dev/null || exit 1
# The language was chosen once (English); without that choice the program would ask first.
data=$localappdata/Kravonel/Surfkolibri
version=$(sed -n 's/.*ProgramVersion = "\(.*\)";/\1/p' src/ui/MyTricks.h)
if [ "$(cat "$data/Surfkolibri.cho" 2>/dev/null)" != "$version" ]; then
    mkdir -p "$data"
    cp build/Surfkolibri.t00 "$data/Surfkolibri.def"
    printf '%s' "$version" >"$data/Surfkolibri.cho"
fi

mapfile -t before < <(count_traces)
echo "run: $program cbhme (cookies, cache, history, MRU lists, typed addresses)"
messages=$(mktemp)
trap 'rm -f "$messages"' EXIT
start=$(date +%s%N)
QT_QPA_PLATFORM=offscreen timeout 300 "$program" cbhme 2>"$messages"
status=$?
tenths=$((($(date +%s%N) - start) / 100000000))
mapfile -t after < <(count_traces)

labels=("cache entries" "cookies" "history entries" "typed addresses" "Run-list values"
    "recent documents" "other-browser files" "browser visits" "browser cookies"
    "browser cache files")
printf '  %-22s %7s %7s\n' "" before after
for i in "${!labels[@]}"; do
    printf '  %-22s %7s %7s\n' "${labels[$i]}" "${before[$i]:-?}" "${after[$i]:-?}"
done

if [ "$status" -eq 0 ]; then
    printf 'run: the cleaning ended normally after %d.%d s (each cleaning of another browser\n' \
        $((tenths / 10)) $((tenths % 10))
    echo "     pauses a second)."
elif [ "$status" -eq 124 ]; then
    echo "run: FAILED: the cleaning had not ended after 300 s and was stopped."
elif [ "$status" -gt 128 ]; then
    echo "run: FAILED: the program crashed (signal $(kill -l $((status - 128)) 2>/dev/null ||
        echo $((status - 128)))) after $((tenths / 10)).$((tenths % 10)) s."
else
    echo "run: FAILED: the program ended with status $status after $((tenths / 10)).$((tenths % 10)) s."
fi
if [ "$status" -ne 0 ] && [ -s "$messages" ]; then
    echo "run: what it said last:"
    tail -n 5 "$messages" | sed 's/^/     /'
fi

# Why something is left: what the machine shows now, set against the counts after the run.
explained=(0 0 0 0 0 0 0 0 0 0)
echo "run: what is left, and why:"
locked=$(locked_of cache list)
locked_cookies=$(locked_of cache list --cookies)
explained[0]=$locked
explained[1]=$locked_cookies
held=()
[ "$locked" -gt 0 ] && held+=("$locked cache entries")
[ "$locked_cookies" -gt 0 ] && held+=("$locked_cookies cookies")
if [ ${#held[@]} -gt 0 ]; then
    echo "     $(printf '%s and ' "${held[@]}" | sed 's/ and $//') are locked by pages still open in"
    echo "       a browser; they go at a later cleaning, once those pages are closed."
fi
# Firefox's cache cleaning takes the local profile's cache when it has one; the roaming
# profile's cache is then no part of the lookup.
if [ -n "$(find "$firefox_local" -mindepth 2 -maxdepth 2 -type d -name Cache 2>/dev/null)" ]; then
    roaming_cache=$(find "$firefox_roaming" -path '*/Cache/*' -type f 2>/dev/null | wc -l)
    explained[6]=$roaming_cache
    if [ "$roaming_cache" -gt 0 ]; then
        echo "     $roaming_cache files in Firefox's roaming cache: the lookup takes the cache of"
        echo "       Firefox's local profile, which this machine has as well, and never reaches"
        echo "       the roaming one."
    fi
fi
mapfile -t settings < <(browser_files ! "${trace_test[@]}" -printf '%f\n' | sort)
if [ "${#settings[@]}" -gt 0 ]; then
    echo "     ${#settings[@]} browser settings files ($(printf '%s\n' "${settings[@]}" | uniq |
        paste -sd, - | sed 's/,/, /g')) stay on"
    echo "       purpose: they hold the browsers' settings, not traces, and are not counted above."
fi
unexplained=()
for i in "${!labels[@]}"; do
    rest=$((${after[$i]:-0} - ${explained[$i]}))
    [ "$rest" -gt 0 ] && unexplained+=("$rest ${labels[$i]}")
done
if [ ${#unexplained[@]} -gt 0 ]; then
    echo "     left for none of these reasons: $(printf '%s, ' "${unexplained[@]}" | sed 's/, $//')."
else
    echo "     Nothing else is left."
fi
# The run's own account of itself: the last block of its report, set against the counts. The
# report's lines come in the order the run takes: cookies, cache, history, the Run list with the
# recent documents, typed addresses.
report=$data/Surfkolibri.log
if [ "$status" -eq 0 ] && [ -s "$report" ]; then
    echo "run: the run's report ($report), its last block:"
    block=$(awk '/^### /{ b = "" } { b = b $0 "\n" } END { printf "%s", b }' "$report" | tr -d '\r' |
        sed '/^$/d')
    printf '%s\n' "$block" | sed 's/^/     /'
    gone() { echo $((${before[$1]:-0} - ${after[$1]:-0})); }
    expected=($(($(gone 1) + $(gone 8) + $(gone 11))) $(($(gone 0) + $(gone 9) + $(gone 12)))
        $(($(gone 2) + $(gone 10) + $(gone 13))) $(($(gone 14) + $(gone 5))) "$(gone 3)")
    mapfile -t reported < <(printf '%s\n' "$block" | tail -n +2 |
        awk '{ n = 0; if (match($0, /[0-9]+/)) n = substr($0, RSTART, RLENGTH); print n }')
    header=$(printf '%s\n' "$block" | head -n 1)
    total_removed=$(awk -F' [|] ' '{ print $3 + 0 }' <<<"$header")
    total_left=$(awk -F' [|] ' '{ print $4 + 0 }' <<<"$header")
    sum=0
    mismatches=()
    for i in "${!expected[@]}"; do
        sum=$((sum + ${expected[$i]}))
        [ "${reported[$i]:-0}" = "${expected[$i]}" ] ||
            mismatches+=("line $((i + 2)) says ${reported[$i]:-nothing}, the counts ${expected[$i]}")
    done
    [ "$total_removed" = "$sum" ] || mismatches+=("$total_removed removed in all, the counts $sum")
    [ "$total_left" = "$((locked + locked_cookies))" ] ||
        mismatches+=("$total_left not removed, $((locked + locked_cookies)) locked")
    if [ ${#mismatches[@]} -eq 0 ]; then
        echo "run: the report's numbers match the counts: $sum traces removed, $total_left locked"
        echo "     ones not removed."
    else
        echo "run: FAILED: the report does not match the counts: $(printf '%s; ' "${mismatches[@]}" |
            sed 's/; $//')."
        status=1
    fi
elif [ "$status" -eq 0 ]; then
    echo "run: FAILED: the run left no report in $report."
    status=1
fi
echo "run: with a display (DISPLAY set) ./run.sh starts the program itself;"
echo "     scripts/window-pictures.sh renders every window to build/window-pictures."
exit "$status"
