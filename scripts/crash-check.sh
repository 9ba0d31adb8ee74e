#!/usr/bin/env bash
# The unattended cleaning killed in the middle, and on a full disk.
#
# A machine with 50 000 pages in the URL cache and browser databases of tens of thousands of
# rows is cleaned by surfkolibri-clean, killed with SIGKILL at 10 moments spread over the run.
# After each kill: platform.db and every browser database pass integrity_check, no file of the
# URL cache is left without its entry, the bookmarks and passwords are all there, and the next
# run removes everything but the locked entries and reports what its preview counted. Then (as
# root, on a small tmpfs) a run on a nearly full and on a completely full file system: status
# 1, a clear message, nothing lost, and the report either the old one or the old one plus a
# whole block. Prints "crash check: 10 kills, N faults" and exits non-zero on a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
build=$repo/build

if ! command -v sqlite3 >/dev/null; then
    if [ "$(id -u)" = 0 ]; then
        apt-get install -y -qq sqlite3 >/dev/null
    else
        echo "crash check: needs the sqlite3 program (apt-get install sqlite3)" >&2
        exit 1
    fi
fi
[ -x "$build/surfkolibri-clean" ] && [ -x "$build/skplatform" ] || scripts/build.sh

# In memory where the machine has it: the check is about order and states, not the disk.
base=$(mktemp -d "$( [ -d /dev/shm ] && [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/crash-check.XXXXXX")
mounted=""
cleanup() {
    [ -n "$mounted" ] && umount "$mounted" 2>/dev/null || true
    rm -rf "$base"
}
trap cleanup EXIT

faults=0
fault() {
    echo "crash check: FAULT: $*" >&2
    faults=$((faults + 1))
}

export SURFKOLIBRI_SHELL_EXECUTE=record QT_QPA_PLATFORM=offscreen
runner() { # ROOT ARGS...
    local root=$1
    shift
    HOME="$root.home" SURFKOLIBRI_PLATFORM="$root" "$build/surfkolibri-clean" "$@"
}

users() { echo "$1/drive_c/Users/User/AppData"; }
report_of() { echo "$(users "$1")/Local/Kravonel/Surfkolibri/Surfkolibri.log"; }

# Every SQLite database of the browsers (by the names the browsers give them; the caches'
# thousands of files are passed over), as host paths below the root.
database_names() {
    find "$(users "$1")" -type f \( -name '*.sqlite' -o -name '*.db' -o -name History \
        -o -name Cookies -o -name 'Login Data' -o -name 'Web Data' -o -name Favicons \) |
        sed "s|^$1||" | sort
}
# Those of a root that the template holds whole (the seeded machine's stand-ins for files
# the cleaning never opens, such as Firefox's key store, are no databases).
browser_databases() {
    local name
    while read -r name; do echo "$1$name"; done <"$base/databases"
}

# integrity_check of platform.db and of every browser database; a fault for each that fails.
check_databases() { # ROOT WHAT
    local root=$1 what=$2 db check
    check=$(integrity "$root/platform.db")
    [ "$check" = ok ] || fault "$what: platform.db: $check"
    while read -r db; do
        check=$(integrity "$db")
        [ "$check" = ok ] || fault "$what: ${db#"$root"}: $check"
    done < <(browser_databases "$root")
}

# integrity_check of a database as it lies (with its log or journal), on a copy, so that the
# look changes nothing that the next run will meet.
integrity() {
    local db=$1 copy
    copy=$(mktemp -d "$base/look.XXXXXX")
    cp "$db" "$copy/db"
    for suffix in -wal -journal; do [ -f "$db$suffix" ] && cp "$db$suffix" "$copy/db$suffix"; done
    sqlite3 "$copy/db" "PRAGMA integrity_check" 2>&1 | head -1
    rm -rf "$copy"
}

# The files the URL cache's entries name, as host paths.
rows_files() {
    local root=$1 copy
    copy=$(mktemp -d "$base/rows.XXXXXX")
    cp "$root/platform.db" "$copy/db"
    [ -f "$root/platform.db-wal" ] && cp "$root/platform.db-wal" "$copy/db-wal"
    sqlite3 "$copy/db" "SELECT local_file FROM url_cache WHERE local_file <> ''" |
        sed -e 's|^[Cc]:\\|'"$root"'/drive_c/|' -e 's|\\|/|g' | sort
    rm -rf "$copy"
}

# Files in the cache's folders that no entry names.
orphans() {
    local root=$1
    rows_files "$root" >"$base/rows"
    sed 's|/[^/]*$||' "$base/rows" | sort -u >"$base/dirs"
    while read -r dir; do find "$dir" -maxdepth 1 -type f; done <"$base/dirs" | sort >"$base/files"
    comm -23 "$base/files" "$base/rows"
}

# What must never go: bookmarks (Firefox's rows, Chrome's and Edge's file) and passwords.
keepsakes() {
    local root=$1 db
    find "$(users "$root")" -type f \( -name Bookmarks -o -name 'Login Data' -o -name logins.json \
        -o -name key4.db \) -print0 | sort -z | xargs -0 md5sum | sed "s|$root||"
    while read -r db; do
        echo "$(integrity_count "$db" "SELECT count(*) FROM moz_bookmarks") ${db#"$root"}"
    done < <(find "$(users "$root")" -name places.sqlite | sort)
}
integrity_count() {
    local copy
    copy=$(mktemp -d "$base/count.XXXXXX")
    cp "$1" "$copy/db"
    [ -f "$1-wal" ] && cp "$1-wal" "$copy/db-wal"
    [ -f "$1-journal" ] && cp "$1-journal" "$copy/db-journal"
    sqlite3 "$copy/db" "$2"
    rm -rf "$copy"
}

# The last block's header of a report: "REMOVED NOTREMOVED".
last_header() {
    grep -a '^### ' "$1" | tail -1 | awk -F'|' '{gsub(/ /, "", $3); gsub(/[ \r]/, "", $4); print $3, $4}'
}

# The sum of the counts a preview prints (the first number of each cleaning's line after its
# title; the indented lines below a cleaning are each browser's share of it). The preview ends
# with status 1 when the run would, as with the locked entries here.
preview_sum() {
    { runner "$1" --preview cbhme || true; } | tail -n +2 |
        sed -n 's/^[^ :][^:]*: \([0-9][0-9]*\).*/\1/p' | awk '{s += $1} END {print s + 0}'
}

phase_start=$(date +%s)
phase() { echo "crash check: $* ($(($(date +%s) - phase_start)) s)"; }

# --- the machine every kill starts from -------------------------------------------------
template=$base/template
SURFKOLIBRI_PLATFORM=$template "$build/skplatform" seed-demo --large >/dev/null
# The earlier browsers pause a second per cleaning; they have checks of their own.
rm -rf "$(users "$template")/Roaming/Opera" "$(users "$template")/Roaming/Mozilla/Profiles" \
    "$template/drive_c/Program Files/Opera"
baseline_orphans=$(orphans "$template" | sed "s|$template||")
keepsakes "$template" | sed "s|$template||" >"$base/keepsakes.template"
locked=$(sqlite3 "$template/platform.db" "SELECT count(*) FROM url_cache WHERE locked > 0")

phase "seeded"

database_names "$template" | while read -r name; do
    if [ "$(integrity "$template$name")" = ok ]; then echo "$name"; fi
done >"$base/databases"

# A copy of the template: the pages of the URL cache, which the cleaning only deletes, are
# hard links (deleting one leaves the template's); every other file, which a cleaning may
# change in place, is a copy of its own.
pages=$(cd "$template" && find . -type d -name Content.IE5 | head -1)
copy_template() {
    rm -rf "$1" "$1.home"
    mkdir -p "$1" "$1.home"
    tar -C "$template" --exclude=./"$pages" -cf - . | tar -C "$1" -xf -
    cp -al "$template/$pages" "$1/$pages"
}

# One whole run, timed, to spread the kills over it.
copy_template "$base/timed"
start=$(date +%s%N)
runner "$base/timed" cbhme >/dev/null 2>&1 || true
duration_ms=$((($(date +%s%N) - start) / 1000000))
rm -rf "$base/timed" "$base/timed.home"
phase "a whole run takes $duration_ms ms"

check_after_kill() { # ROOT MOMENT
    local root=$1 at=$2 left
    check_databases "$root" "kill at $at ms"
    left=$(orphans "$root" | sed "s|$root||" | grep -vxF -f <(printf '%s\n' "$baseline_orphans") || true)
    [ -z "$left" ] || fault "kill at $at ms: cache files without their entry: $(echo "$left" | head -3)"
    keepsakes "$root" | sed "s|$root||" | cmp -s - "$base/keepsakes.template" ||
        fault "kill at $at ms: bookmarks or passwords changed"
}

check_next_run() { # ROOT MOMENT
    local root=$1 at=$2 expected status header remaining
    expected=$(preview_sum "$root")
    status=0
    runner "$root" cbhme >"$base/out" 2>"$base/err" || status=$?
    [ "$status" = 1 ] || fault "kill at $at ms: the next run ended with $status ($(head -c 300 "$base/err"))"
    header=$(last_header "$(report_of "$root")")
    [ "${header% *}" = "$expected" ] ||
        fault "kill at $at ms: the report says ${header% *} removed, the preview counted $expected"
    [ "${header#* }" = "$locked" ] ||
        fault "kill at $at ms: the report says ${header#* } not removed, $locked entries are locked"
    remaining=$(sqlite3 "$root/platform.db" "SELECT count(*) FROM url_cache")
    [ "$remaining" = "$locked" ] ||
        fault "kill at $at ms: $remaining cache entries left, $locked locked"
    keepsakes "$root" | sed "s|$root||" | cmp -s - "$base/keepsakes.template" ||
        fault "kill at $at ms: bookmarks or passwords changed by the next run"
}

kills=0
for k in 1 2 3 4 5 6 7 8 9 10; do
    root=$base/kill$k
    copy_template "$root"
    at=$((duration_ms * k / 11))
    HOME="$root.home" SURFKOLIBRI_PLATFORM="$root" "$build/surfkolibri-clean" cbhme >/dev/null 2>&1 &
    pid=$!
    sleep "$(awk -v ms="$at" 'BEGIN {printf "%.3f", ms / 1000}')"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    kills=$((kills + 1))
    check_after_kill "$root" "$at"
    check_next_run "$root" "$at"
    rm -rf "$root" "$root.home"
    phase "kill $k at $at ms checked"
done

# --- a full disk ------------------------------------------------------------------------
full_disk() { # ROOT WHAT
    local root=$1 what=$2 status report
    report=$(report_of "$root")
    cp "$report" "$base/report.before"
    status=0
    runner "$root" cbhme >"$base/out" 2>"$base/err" || status=$?
    [ "$status" = 1 ] || fault "$what: the run ended with $status ($(head -c 300 "$base/err"))"
    if [ -s "$base/err" ] && ! grep -q "disk is full" "$base/err"; then
        fault "$what: unclear message: $(head -c 300 "$base/err")"
    fi
    local size
    size=$(stat -c %s "$base/report.before")
    if ! head -c "$size" "$report" | cmp -s - "$base/report.before"; then
        fault "$what: the old report was changed"
    elif [ "$(stat -c %s "$report")" != "$size" ]; then
        tail -c +$((size + 1)) "$report" >"$base/report.added"
        [ "$(grep -c '^### ' "$base/report.added")" = 1 ] &&
            [ "$(tail -c 4 "$base/report.added" | od -An -tx1 | tr -d ' \n')" = 0d0a0d0a ] ||
            fault "$what: the report gained something other than one whole block"
    fi
    rm -f "$root.fill"* # room to look
    check_databases "$root" "$what"
    keepsakes "$root" | sed "s|$root||" | cmp -s - "$base/keepsakes.small" ||
        fault "$what: bookmarks or passwords changed"
}

disk=skipped
if [ "$(id -u)" = 0 ] && mkdir -p "$base/disk" && mount -t tmpfs -o size=96m tmpfs "$base/disk" 2>/dev/null; then
    mounted=$base/disk
    disk=checked
    for what in "nearly full" "full"; do
        root=$base/disk/root
        rm -rf "$root" "$root.home" "$base/disk/root.fill"*
        mkdir -p "$root.home"
        SURFKOLIBRI_PLATFORM=$root "$build/skplatform" seed-demo >/dev/null
        keepsakes "$root" | sed "s|$root||" >"$base/keepsakes.small"
        runner "$root" m >/dev/null 2>&1 || true # the report to keep
        # Fill the disk: up to the last 192 KB, or to the last byte.
        free=$(($(df --output=avail -B1 "$base/disk" | tail -1)))
        if [ "$what" = full ]; then
            dd if=/dev/zero of="$root.fill" bs=1M status=none 2>/dev/null || true
            dd if=/dev/zero of="$root.fill2" bs=4k status=none 2>/dev/null || true
        else
            dd if=/dev/zero of="$root.fill" bs=4k count=$(((free - 196608) / 4096)) status=none
        fi
        full_disk "$root" "$what disk"
    done
    umount "$mounted" && mounted=""
else
    echo "crash check: full disk skipped: a small tmpfs could not be mounted (it needs root and the right to mount)"
fi

echo "crash check: full disk $disk; a whole run takes $duration_ms ms"
echo "crash check: $kills kills, $faults faults"
[ "$faults" = 0 ]
