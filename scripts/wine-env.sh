# Sourced by the Windows scripts: finds Wine (Debian installs the loader and the server without
# putting them on the PATH) and makes a fresh private prefix. Every run gets a new machine: the
# prefix is made anew, a program that crashes ends instead of waiting in the debugger, and
# Wine's menu builder stays off (it would read every saved shell link in a process of its own,
# write menu entries into the home folder, and its late close of a link deleted meanwhile takes
# a new file of that name along). The user's ~/.wine is never touched.
#
#   wine_fresh_prefix FOLDER     makes FOLDER the prefix (WINEPREFIX) and boots it
#   winpath WINDOWS-PATH         the host path of a Windows path
#   winenv NAME                  the host path of a folder named by an environment variable
#   seed_registry_traces         three typed addresses and three Run-list commands
#   values KEY                   how many string values KEY holds

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || true)
wineserver=$(dirname "${wine:-/nonexistent}")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || true)
if [ -z "$wine" ] || [ -z "$wineserver" ]; then
    echo "$(basename "$0"): no wine64 loader or wineserver found" >&2
    exit 1
fi
export WINEDEBUG=-all WINEARCH=win64 USER=User
export WINEDLLOVERRIDES="winemenubuilder.exe=d"

wine_fresh_prefix() {
    export WINEPREFIX=$1
    "$wineserver" -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1
    "$wine" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
        >/dev/null 2>&1 || true
}

winpath() { "$wine" winepath.exe -u "$1" 2>/dev/null | tr -d '\r'; }
winenv() { winpath "$("$wine" cmd.exe /c echo "%$1%" 2>/dev/null | tr -d '\r')"; }

typed='HKCU\Software\Microsoft\Internet Explorer\TypedURLs'
runmru='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU'
seed_registry_traces() {
    local i n
    for i in 1 2 3; do
        "$wine" reg add "$typed" /v "url$i" /d "http://www.site$i.example/" /f >/dev/null 2>&1
    done
    for n in a b c; do
        "$wine" reg add "$runmru" /v "$n" /d "notepad $n\\1" /f >/dev/null 2>&1
    done
    "$wine" reg add "$runmru" /v MRUList /d cba /f >/dev/null 2>&1
}
values() { "$wine" reg query "$1" 2>/dev/null | grep -c 'REG_SZ' || true; }
