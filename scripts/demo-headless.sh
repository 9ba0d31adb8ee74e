#!/usr/bin/env bash
# No display: show what the program does to a lived-in machine.
set -uo pipefail
cd "$(dirname "$0")/.."
tool=build/skplatform
summary() {
    echo "  typed addresses:  $($tool reg query 'HKCU\Software\Microsoft\Internet Explorer\TypedURLs' 2>/dev/null | grep -c REG_SZ)"
    echo "  Run list entries: $($tool reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\RunMRU' 2>/dev/null | grep -c REG_SZ)"
    if $tool cache list --help >/dev/null 2>&1; then
        echo "  cache entries:    $($tool cache list 2>/dev/null | wc -l)"
        echo "  cookies:          $($tool cache list --cookies 2>/dev/null | wc -l)"
        echo "  history entries:  $($tool history list 2>/dev/null | wc -l)"
    fi
}
echo "run: no display; the demo machine in $SURFKOLIBRI_PLATFORM holds:"
summary
export QT_QPA_PLATFORM=offscreen
if [ -x build/surfkolibri ]; then
    echo "run: starting an unattended cleaning (cookies, cache, history, Run list, typed addresses)"
    timeout 120 build/surfkolibri cbhme || echo "run: the program ended with status $?"
fi
echo "run: afterwards:"
summary
exit 0
