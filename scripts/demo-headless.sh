#!/usr/bin/env bash
# No display: the program's main job on the demo machine, with nobody there. The start-up
# shortcut runs the program at every logon with the ticked cleanings as its one argument;
# here it runs so ("surfkolibri cbhme", offscreen) and the traces are counted before and
# after. scripts/window-pictures.sh renders the windows instead.
set -uo pipefail
cd "$(dirname "$0")/.."
tool=build/skplatform
root=$SURFKOLIBRI_PLATFORM
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
values_of() {
    "$tool" reg query "$1" 2>/dev/null | grep -c '    REG_'
}
other_browser_files() {
    local appdata localappdata
    appdata=$(host_path "$(shell_folder AppData)")
    localappdata=$(host_path "$(shell_folder 'Local AppData')")
    find "$appdata/Opera" "$appdata/Mozilla" "$localappdata/Mozilla" -type f \
        \( -path '*/cache4/*' -o -path '*/Cache/*' -o -name 'cookies*' -o -name 'global.dat' \
        -o -name 'history.dat' \) 2>/dev/null | wc -l
}
count_traces() {
    entries_of cache list
    entries_of cache list --cookies
    entries_of history list
    values_of 'HKCU\Software\Microsoft\Internet Explorer\TypedURLs'
    values_of 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU'
    "$tool" ls "$(shell_folder Recent)\\*.lnk" 2>/dev/null | wc -l
    other_browser_files
}

echo "run: no display; the program's main job instead: the unattended cleaning that the"
echo "     start-up shortcut runs at every logon, on the demo machine in $root"
# The traces of a few more weeks of surfing (seed-demo writes back what is missing).
"$tool" seed-demo >/dev/null || exit 1
# The language was chosen once (English); without that choice the program would ask first.
data=$(host_path "$(shell_folder 'Local AppData')")/Kravonel/Surfkolibri
version=$(sed -n 's/.*ProgramVersion = "\(.*\)";/\1/p' src/ui/MyTricks.h)
if [ "$(cat "$data/Surfkolibri.cho" 2>/dev/null)" != "$version" ]; then
    mkdir -p "$data"
    cp build/Surfkolibri.t00 "$data/Surfkolibri.def"
    printf '%s' "$version" >"$data/Surfkolibri.cho"
fi

mapfile -t before < <(count_traces)
echo "run: build/surfkolibri cbhme (cookies, cache, history, MRU lists, typed addresses)"
start=$(date +%s%N)
QT_QPA_PLATFORM=offscreen timeout 300 build/surfkolibri cbhme 2>/dev/null
status=$?
tenths=$((($(date +%s%N) - start) / 100000000))
mapfile -t after < <(count_traces)

labels=("cache entries" "cookies" "history entries" "typed addresses" "Run-list values"
    "recent documents" "other-browser files")
printf '  %-22s %7s %7s\n' "" before after
for i in "${!labels[@]}"; do
    printf '  %-22s %7s %7s\n' "${labels[$i]}" "${before[$i]:-?}" "${after[$i]:-?}"
done
printf 'run: the cleaning ended with status %s after %d.%d s (each cleaning of another\n' \
    "$status" $((tenths / 10)) $((tenths % 10))
echo "     browser pauses a second); cache entries of pages still open in a browser are"
echo "     locked and stay."
echo "run: with a display (DISPLAY set) ./run.sh starts the program itself;"
echo "     scripts/window-pictures.sh renders every window to build/window-pictures."
exit "$status"
