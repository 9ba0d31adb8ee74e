#!/usr/bin/env bash
# No display: show what the program does on the demo machine without a person. The windows
# are rendered offscreen, in both languages, with the demo machine's data.
set -uo pipefail
cd "$(dirname "$0")/.."
tool=build/skplatform
echo "run: no display; the demo machine in $SURFKOLIBRI_PLATFORM holds:"
echo "  cache entries:    $($tool cache list 2>/dev/null | wc -l)"
echo "  cookies:          $($tool cache list --cookies 2>/dev/null | wc -l)"
echo "  history entries:  $($tool history list 2>/dev/null | wc -l)"
echo "  typed addresses:  $($tool reg query 'HKCU\Software\Microsoft\Internet Explorer\TypedURLs' 2>/dev/null | grep -c REG_SZ)"
out=build/window-pictures
echo "run: rendering every window to $out (QT_QPA_PLATFORM=offscreen)"
QT_QPA_PLATFORM=offscreen build/screenshots "$out" | sed 's/^/  /'
echo "run: with a display (DISPLAY set), ./run.sh starts the program itself."
exit 0
