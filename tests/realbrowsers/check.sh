#!/usr/bin/env bash
# Profiles that the real browsers made, cleaned: Chromium and Firefox ESR (the distribution's
# packages) browse a few local sites headless and are closed (make_profiles.py); their profiles
# are placed where the hosted machine keeps them (Chromium in its User Data folder, Firefox in
# its profiles folder with its cache below the local one, the same Firefox profile again as
# Zen's at a path of its own), site4 goes on the keep-list, and the console runner cleans
# (cbhme). Then the sqlite3 program and a byte search check every store the cleaning covers:
# no site that is neither kept (site4) nor bookmarked (site1's first page) is named in any of
# them, the kept cookies and the bookmarked page's icon stay, and passwords, bookmarks,
# settings, permissions and the extensions' files are byte for byte as they were.
# Usage: tests/realbrowsers/check.sh [BUILD_FOLDER]   (needs chromium, firefox-esr, sqlite3)
# Not part of the test suite: it needs the browsers and takes a minute.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build}")
for program in chromium firefox-esr sqlite3 python3; do
    command -v "$program" >/dev/null || { echo "realbrowsers: $program is missing" >&2; exit 2; }
done
work=$(mktemp -d /tmp/realbrowsers-XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "realbrowsers: making the profiles (about a minute)"
python3 tests/realbrowsers/make_profiles.py "$work/made"

export SURFKOLIBRI_PLATFORM=$work/root SURFKOLIBRI_SHELL_EXECUTE=record HOME=$work/home
"$build/skplatform" init >/dev/null
user=$("$build/skplatform" settings user)
home="$work/root/drive_c/Users/$user"
roaming="$home/AppData/Roaming"
local_data="$home/AppData/Local"
chromium="$local_data/Chromium/User Data"
firefox="$roaming/Mozilla/Firefox/Profiles/real.default-esr"
firefox_cache="$local_data/Mozilla/Firefox/Profiles/real.default-esr"
zen="$home/Documents/Zen profile"
mkdir -p "$local_data/Chromium" "$(dirname "$firefox")" "$firefox_cache" "$roaming/zen"
cp -a "$work/made/chromium" "$chromium"
cp -a "$work/made/firefox" "$firefox"
cp -a "$work/made/firefox" "$zen"
[ -d "$firefox/cache2" ] && mv "$firefox/cache2" "$firefox_cache/cache2"
printf '[Profile0]\r\nName=real\r\nIsRelative=1\r\nPath=Profiles/real.default-esr\r\nDefault=1\r\n' \
    >"$roaming/Mozilla/Firefox/profiles.ini"
printf '[Profile0]\r\nName=elsewhere\r\nIsRelative=0\r\nPath=C:\\Users\\%s\\Documents\\Zen profile\r\n' \
    "$user" >"$roaming/zen/profiles.ini"
"$build/skplatform" reg add 'HKCU\Software\Kravonel\Surfkolibri\KeepCookies' /v site4.localhost \
    /d 2026-01-01 /f >/dev/null

# What must never change, and every store the cleaning covers.
untouched() {
    find "$chromium" "$firefox" "$zen" -type f \( -name 'Login Data' -o -name Bookmarks \
        -o -name Preferences -o -name 'Secure Preferences' -o -name 'Local State' \
        -o -name logins.json -o -name key4.db -o -name prefs.js -o -name permissions.sqlite \
        -o -path '*Extension*' -o -path '*moz-extension*' -o -name extensions.json \) -print0 |
        sort -z | xargs -0 sha256sum
}
stores() {
    for p in "$chromium/Default"; do
        for f in History Favicons 'Top Sites' Shortcuts 'Network Action Predictor' 'Web Data' \
            Cookies Network/Cookies; do
            [ -f "$p/$f" ] && echo "$p/$f"
        done
        find "$p/Sessions" "$p/Sessions_Encrypted" "$p/Cache" "$p/Code Cache" "$p/GPUCache" \
            "$p/Service Worker/CacheStorage" -type f 2>/dev/null
    done
    for p in "$firefox" "$zen"; do
        for f in places.sqlite favicons.sqlite cookies.sqlite formhistory.sqlite \
            sessionstore.jsonlz4; do
            [ -f "$p/$f" ] && echo "$p/$f"
        done
        find "$p/sessionstore-backups" "$p/cache2" -type f 2>/dev/null
    done
    find "$firefox_cache" -type f
}
naming() { stores | while read -r f; do grep -l -a "$1" "$f" || true; done; }

before=$(untouched)
for site in site2 site3 site5; do
    echo "before: $site.localhost named in $(naming "$site.localhost" | wc -l) store files"
done
status=0
"$build/surfkolibri-clean" cbhme >"$work/out" 2>&1 || status=$?
sed 's/^/  /' "$work/out"

failed=0
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=$((failed + 1)); fi
}
check "the run ends with status 0 (status $status)" test "$status" -eq 0
for site in site2 site3 site5; do
    check "no store names $site.localhost" test -z "$(naming "$site.localhost")"
done
check "passwords, bookmarks, settings and extensions are byte-identical" test "$before" = "$(untouched)"
cookies=$(sqlite3 "$chromium/Default/Cookies" 'SELECT DISTINCT host_key FROM cookies')
check "Chromium keeps only the kept site's cookies ($cookies)" test "$cookies" = site4.localhost
for p in "$firefox" "$zen"; do
    hosts=$(sqlite3 "$p/cookies.sqlite" 'SELECT DISTINCT host FROM moz_cookies')
    check "Firefox keeps only the kept site's cookies ($hosts)" test "$hosts" = site4.localhost
    check "Firefox keeps the bookmarked page's icon" \
        test "$(sqlite3 "$p/favicons.sqlite" "SELECT count(*) FROM moz_pages_w_icons WHERE page_url LIKE 'http://site1.localhost:%/start'")" = 1
    check "Firefox's databases are sound" \
        test "$(sqlite3 "$p/places.sqlite" 'PRAGMA integrity_check')" = ok
done
check "Chromium keeps the bookmarked page's icon" \
    test "$(sqlite3 "$chromium/Default/Favicons" 'SELECT count(*) FROM icon_mapping')" = 1
check "Chromium has no visits left" \
    test "$(sqlite3 "$chromium/Default/History" 'SELECT count(*) FROM visits')" = 0
echo "realbrowsers: $failed failed"
[ "$failed" -eq 0 ]
