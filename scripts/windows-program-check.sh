#!/usr/bin/env bash
# The program itself on Windows: builds Qt for Windows when it is missing and the run leaves
# room for it (scripts/build-qt-windows.sh), builds surfkolibri.exe (scripts/windows-build.sh)
# and uses it under Wine on a private X server with a window manager, as a user would: real
# pointer clicks and keys through X, pictures of every window taken from X.
#
# In a fresh private prefix, once in English and once in German: a first start shows the
# language window and nothing else; the choice restarts the program into its main window;
# each section and the windows it opens are shown and captured to
# build-windows/pictures/<window>-<language>.png; the typed addresses and the Run list, seeded
# through Wine's registry tool, are cleaned through the windows and checked with the registry
# tool; "surfkolibri.exe cbhmen" runs unattended and writes its report; the uninstall mode asks
# its question. Prints "windows program: N windows shown under Wine" (N counts windows that X
# reported mapped when they were captured) and then "N passed, N failed".
#
# When SURFKOLIBRI_DEADLINE (seconds since the epoch) is set, as .ci/run sets it, Qt is built
# only when its build from nothing fits before then; otherwise the script says plainly that
# the Windows program was not checked, and why.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-windows

if [ "${1:-}" != --on-screen ]; then
    qt=$(scripts/build-qt-windows.sh --if-built)
    if [ -z "$qt" ]; then
        # A build from nothing takes 65 minutes of processor time (README), some 33 on two
        # idle cores; the program and its run under Wine want about 15 more.
        needed=$(((65 / $(nproc) + 15) * 60))
        if [ -n "${SURFKOLIBRI_DEADLINE:-}" ] && [ $(($(date +%s) + needed)) -gt "$SURFKOLIBRI_DEADLINE" ]; then
            left=$(((SURFKOLIBRI_DEADLINE - $(date +%s)) / 60))
            echo "windows-program-check: NOT CHECKED: Qt for Windows is not built on this machine yet;"
            echo "windows-program-check: its build from nothing takes about $((needed / 60)) minutes here, and this run has $left left."
            echo "windows-program-check: run scripts/build-qt-windows.sh once; later runs reuse its cache."
            exit 0
        fi
        qt=$(scripts/build-qt-windows.sh | tail -1)
    fi
    scripts/windows-build.sh "$qt"
    [ -f "$build/program/surfkolibri.exe" ] || { echo "windows-program-check: no surfkolibri.exe was built" >&2; exit 1; }
    packages=(xvfb openbox xdotool x11-utils imagemagick)
    scripts/need-packages.sh windows-program-check "${packages[@]}"
    exec scripts/realscreen.sh "$0" --on-screen
fi

# On the private X server from here on. The Windows program must not be told to use X's
# platform plugin, which realscreen.sh asks of the hosted program.
unset QT_QPA_PLATFORM
. scripts/wine-env.sh
exe="$PWD/$build/program/surfkolibri.exe"
pictures="$build/pictures"
logs="$build/test-logs"
work="$build/program-check"
rm -rf "$pictures" "$work"
mkdir -p "$pictures" "$logs" "$work"
log="$logs/surfkolibri-program.log"
: >"$log"
map="$PWD/$work/window-map.txt"

passed=0
failed=0
failures=()
shown=0
check() {
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        failures+=("$what")
        echo "FAILED: $what" >>"$log"
    fi
}
note() { echo "$*" >>"$log"; }

# A text of a language file (0 English, 1 German), UTF-8, without the line end, trimmed.
text() {
    awk -v n="[$2]" 'found { print; exit } $0 == n "\r" { found = 1 }' "data/Surfkolibri.t0$1" |
        tr -d '\r' | iconv -f windows-1252 -t utf-8 | sed 's/^ *//; s/ *$//'
}

# --- What the program shows, read from its window map ------------------------------------

# Waits until the map has a line for which the awk condition holds; 0 when it came.
wait_map() {
    local condition=$1 seconds=${2:-30}
    local end=$(($(date +%s) + seconds))
    while [ "$(date +%s)" -le "$end" ]; do
        if [ -s "$map" ] && awk "$condition { found = 1 } END { exit !found }" "$map" 2>/dev/null; then
            return 0
        fi
        sleep 0.2
    done
    note "timed out waiting for: $condition; the windows were:"
    grep '^window ' "$map" >>"$log" 2>/dev/null || true
    return 1
}
# The text of a map line: everything after the fixed fields.
line_text() { sed -E 's/^(window( [-0-9]+){5}|control [^ ]+( [-0-9]+){5}|item( [-0-9]+){5}) ?//'; }
# Lines of the active window (its own block in the map).
active_block() {
    awk '/^window / { active = ($6 == 1) } active' "$map" 2>/dev/null || true
}
active_title() { active_block | head -1 | line_text; }
wait_active() { # title-substring [seconds]
    wait_map "/^window / && \$6 == 1 && index(\$0, \"$1\")" "${2:-30}"
}
window_count() {
    local n=0
    [ -f "$map" ] && n=$(grep -c '^window ' "$map" || true)
    echo "$n"
}

# Clicks the middle of the control (or list row) of the active window whose text is TEXT
# (trimmed; the first such), through X.
click_at() { xdotool mousemove --sync "$1" "$2" click 1; sleep 0.3; }
click() { # kind text [nth]
    local kind=$1 wanted=$2 nth=${3:-1} row
    row=$(active_block | awk -v kind="$kind" -v compact="${wanted// /}" -v nth="$nth" '
        $1 == kind {
            text = $0
            for (i = kind == "item" ? 6 : 7; i > 0; i--) sub(/^[^ ]* ?/, "", text)
            split(text, cells, "\t")
            # A button may break its text into lines, which the map joins with a space.
            gsub(/ /, "", cells[1])
            if (cells[1] == compact && ++seen == nth) {
                off = kind == "item" ? 1 : 2
                print $(off + 1) + int($(off + 3) / 2), $(off + 2) + int($(off + 4) / 2); exit
            }
        }')
    if [ -z "$row" ]; then
        note "no $kind \"$wanted\" in: $(active_title)"
        return 1
    fi
    click_at $row
}
# Clicks the nearest control of CLASS (a link label by default) right of the label with TEXT,
# on the same line.
click_after() {
    local row
    row=$(active_block | awk -v wanted="$1" -v class="${2:-TLabel}" '
        $1 == "control" {
            text = $0; for (i = 7; i > 0; i--) sub(/^[^ ]* ?/, "", text)
            n++; x[n] = $3; y[n] = $4; w[n] = $5; h[n] = $6; t[n] = text; c[n] = $2
        }
        END {
            # The section breaks a long text into lines of labels: the label with its last line.
            for (i = 1; i <= n; i++)
                if (t[i] != "" && length(t[i]) <= length(wanted) &&
                    substr(wanted, length(wanted) - length(t[i]) + 1) == t[i]) {
                    tx = x[i] + w[i]; ty = y[i]; th = h[i]; found = 1; break
                }
            if (!found) exit
            best = 0
            for (i = 1; i <= n; i++)
                if (c[i] == class && x[i] >= tx - 2 && y[i] < ty + th && y[i] + h[i] > ty &&
                    (!best || x[i] < x[best])) best = i
            if (best) print x[best] + int(w[best] / 2), y[best] + int(h[best] / 2)
        }')
    if [ -z "$row" ]; then
        note "no ${2:-TLabel} after \"$1\" in: $(active_title)"
        return 1
    fi
    click_at $row
}
# Activates the program's X window whose title begins with TITLE, as a click on it would.
activate() {
    local id
    for id in $(x_windows); do
        case "$(xdotool getwindowname "$id" 2>/dev/null)" in
        "$1"*) xdotool windowactivate --sync "$id" 2>/dev/null || true; sleep 0.3; return 0 ;;
        esac
    done
    note "no window \"$1\" to activate"
    return 1
}
# Makes the window the program calls active (the map's) the one X gives the keys to: Wine
# may leave the focus on the main window while a new window of the program stands above it.
# The two are matched by size; nothing is done when the map names no active window.
sync_focus() {
    local size id w h
    size=$(awk '/^window / && $6 == 1 { print $4, $5; exit }' "$map" 2>/dev/null || true)
    [ -n "$size" ] || return 0
    read -r w h <<<"$size"
    id=$(xdotool getactivewindow 2>/dev/null || true)
    [ -n "$id" ] && same_size "$id" "$w" "$h" && return 0
    for id in $(x_windows); do
        if same_size "$id" "$w" "$h"; then
            xdotool windowactivate --sync "$id" 2>/dev/null || true
            sleep 0.2
            return 0
        fi
    done
}
same_size() { # X window, width, height (within a few pixels)
    local WIDTH=0 HEIGHT=0
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=')"
    [ $((WIDTH - $2)) -le 4 ] && [ $(($2 - WIDTH)) -le 4 ] &&
        [ $((HEIGHT - $3)) -le 4 ] && [ $(($3 - HEIGHT)) -le 4 ]
}
key() {
    sync_focus
    xdotool key --clearmodifiers "$@"
    sleep 0.3
}

# --- Pictures, taken from X ----------------------------------------------------------------

# The X windows Wine shows for the program, mapped, one id a line.
x_windows() {
    xdotool search --onlyvisible --class 'surfkolibri.exe' 2>/dev/null || true
}
one_colour() { [ "$(convert "$1" -format '%[fx:standard_deviation]' info: 2>/dev/null)" = 0 ]; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
# The X window that is active now (the window manager's choice), if it is the program's.
x_active() {
    local id
    id=$(xdotool getactivewindow 2>/dev/null) || return 1
    x_windows | grep -qx "$id" && echo "$id"
}
# Captures the active window with its frame as NAME-LANG.png; counts it when X says it is mapped.
capture() { check "$lang: the $1 window is shown and captured" capture_window "$1"; }
capture_window() {
    local name=$1 id file="$pictures/$1-$lang.png"
    sleep 0.6 # the window paints
    sync_focus
    id=$(x_active) || { note "capture $name: no active window of the program"; return 1; }
    if ! viewable "$id"; then
        note "capture $name: window $id is not mapped"
        return 1
    fi
    # X may refuse the picture while Wine still maps the window, or give it before the
    # window painted (one colour), more so on a busy machine: again, for up to five seconds.
    local tries=0
    until import -silent -frame -window "$id" "$file" 2>>"$log" && ! one_colour "$file"; do
        tries=$((tries + 1))
        if [ "$tries" -ge 5 ]; then
            note "capture $name: the window shows nothing"
            return 1
        fi
        sleep 1
    done
    shown=$((shown + 1))
    note "captured $file ($(xdotool getwindowname "$id" 2>/dev/null))"
}
# Waits until a window other than those listed is shown and active (native dialogs, which the
# map does not know); prints its id.
wait_new_x_window() {
    local before=$1 end=$(($(date +%s) + ${2:-20})) id
    while [ "$(date +%s)" -le "$end" ]; do
        id=$(x_active || true)
        if [ -n "$id" ] && ! grep -qx "$id" <<<"$before"; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}
wait_gone() { # X window id
    local end=$(($(date +%s) + ${2:-20}))
    while [ "$(date +%s)" -le "$end" ]; do
        viewable "$1" || return 0
        sleep 0.2
    done
    return 1
}

# --- The program -----------------------------------------------------------------------------

started_at=0
start_program() {
    rm -f "$map"
    started_at=$(date +%s%N)
    SURFKOLIBRI_WINDOW_MAP=$("$wine" winepath.exe -w "$map" 2>/dev/null | tr -d '\r') \
        "$wine" "$exe" "$@" >>"$log" 2>&1 &
    program=$!
}
# Waits for every process of the program to end (a restart starts a new one).
wait_ended() {
    local end=$(($(date +%s) + ${1:-30}))
    while [ "$(date +%s)" -le "$end" ]; do
        [ -z "$(x_windows)" ] && ! pgrep -f 'surfkolibri.exe' >/dev/null && return 0
        sleep 0.3
    done
    return 1
}
stop_program() {
    pkill -f 'surfkolibri.exe' 2>/dev/null || true
    wait_ended 10 || true
}

absent_key() { ! "$wine" reg query "$1" >/dev/null 2>&1; }
seed_traces() {
    seed_registry_traces
    # A favorite to look at in the favorites section.
    local favorites
    favorites=$(winenv USERPROFILE)/Favorites
    mkdir -p "$favorites"
    printf '[InternetShortcut]\r\nURL=http://www.example.org/\r\n' >"$favorites/Example.url"
}

# The whole walk in one language: LANG (en, de) and its language file number.
tour() {
    lang=$1
    local n=$2 choice

    local data_folder
    data_folder="$(winenv LOCALAPPDATA)/Kravonel/Surfkolibri"
    rm -rf "$data_folder"

    # A first start: the language window, and nothing else.
    local t0 t1
    start_program
    check "$lang: a first start shows a window" wait_map '/^window /' 60
    t0=$started_at
    sleep 1
    check "$lang: a first start shows the language window and nothing else (map: $(window_count), X: $(x_windows | wc -l))" \
        test "$(window_count)" -eq 1 -a "$(x_windows | wc -l)" -eq 1
    capture language
    choice=$(text "$n" 0)
    click control "" || true # the list box of languages has no text of its own
    key Home
    [ "$n" = 1 ] && key Down
    key Return
    sleep 0.5
    check "$lang: the language window's OK button" click control OK
    # The choice restarts the program into its main window.
    start_wait=$(date +%s%N)
    check "$lang: the choice starts the main window" \
        wait_map "/^window / && index(\$0, \"$(main_title "$n")\")" 60
    # Windows lets a process that was not started by the user's own click take the foreground
    # only when the user allows it; the user clicks the new window, and so does the check.
    activate "$(main_title "$n")" || true
    t1=$(date +%s%N)
    note "$lang: main window $(((t1 - start_wait) / 1000000)) ms after the choice"
    capture main-welcome

    # The sections, each by its button in the navigation bar.
    local section
    for section in 7:security 8:cache 9:favorites 10:settings 11:automation 12:about; do
        click control "$(text "$n" "${section%%:*}")" && capture "main-${section#*:}"
    done
    click control "$(text "$n" 6)" && capture main-welcome

    tour_security "$n"
    tour_settings "$n"
    tour_automation "$n"
    tour_favorites "$n"

    # The program ends by its exit button.
    click control "$(text "$n" 14)" || stop_program
    check "$lang: the exit button ends the program" wait_ended 20
    stop_program

    tour_unattended "$n"
    tour_uninstall "$n"
}

tour_security() {
    local n=$1 before
    click control "$(text "$n" 7)" || return 0
    open_window "$n" cookie-info click_after "$(text "$n" 45)" TImage
    open_window "$n" cookies click_after "$(text "$n" 47)"
    open_window "$n" history click_after "$(text "$n" 50)"
    open_window "$n" typed-urls click_after "$(text "$n" 57)"
    open_window "$n" mru click_after "$(text "$n" 65)"
    open_window "$n" other-browsers click_after "$(text "$n" 201)"
    # A cleaning through the windows: the typed addresses, emptied by the section's link; the
    # message that says so is the program's own window.
    before=$(values "$typed")
    open_window "$n" message-typed-urls click_after "$(text "$n" 59)"
    check "$lang: the typed addresses are emptied through the window ($before before, $(values "$typed") after)" \
        test "$(values "$typed")" -eq 0 -a "$before" -gt 0
}

main_title() { echo "$(text "$1" 1) 2.8"; }
# Back in the main window; a window that stayed open is closed with Esc, a message with Enter.
back_to_main() {
    wait_active "$(main_title "$1")" 5 ||
        { key Escape && wait_active "$(main_title "$1")" 5; } ||
        { key Return && wait_active "$(main_title "$1")" 10; } || true
}
# Waits while the active window is the busy window ("One moment, please..."), which stands
# before a window that first reads what it lists.
wait_not_busy() {
    local busy end=$(($(date +%s) + 60))
    busy=$(text "$1" 66)
    while active_block | line_text | grep -qxF "$busy" && [ "$(date +%s)" -le "$end" ]; do
        sleep 0.3
    done
}
# Opens a window of the program by a click, captures it and closes it with Esc.
open_window() { # language name click-command...
    local n=$1 name=$2
    shift 2
    "$@" || return 0
    if wait_map "/^window / && \$6 == 1 && !index(\$0, \"$(main_title "$n")\")" 30; then
        wait_not_busy "$n"
        capture "$name"
    else
        check "$lang: $name is shown" false
    fi
    key Escape
    back_to_main "$n"
}
# Opens a system dialog (a window Wine draws, which the map does not know), captures it and
# cancels it.
open_system_dialog() { # language name click-command...
    local n=$1 name=$2 before id
    shift 2
    before=$(x_windows)
    "$@" || return 0
    if id=$(wait_new_x_window "$before" 30); then
        capture "$name"
        key Escape
        wait_gone "$id" 10 || true
    else
        check "$lang: the system dialog $name is shown" false
    fi
    back_to_main "$n"
}

tour_settings() {
    local n=$1
    click control "$(text "$n" 10)" || return 0
    open_window "$n" start-page click_after "$(text "$n" 142)"
    open_window "$n" autocomplete click_after "$(text "$n" 189)" TImage
    open_system_dialog "$n" editor-choice click_after "$(text "$n" 147)"
    open_system_dialog "$n" download-folder click_after "$(text "$n" 150)"
}

tour_automation() {
    local n=$1
    click control "$(text "$n" 11)" || return 0
    # With the typed addresses ticked, the preview has something to say; the tick comes off
    # again, and with it the start-up shortcut it wrote.
    check "$lang: a tick on the automation page" click control "$(text "$n" 165)"
    open_window "$n" preview click control "$(text "$n" 321)"
    check "$lang: the tick comes off again" click control "$(text "$n" 165)"
    open_window "$n" reports click control "$(text "$n" 320)"
}

tour_favorites() {
    local n=$1
    click control "$(text "$n" 9)" || return 0
    click item Example || return 0
    open_window "$n" link-editor click control "$(text "$n" 129)"
    click item Example || true
    open_system_dialog "$n" favorite-delete-question click control "$(text "$n" 130)"
    check "$lang: a favorite whose deletion was declined stays" \
        test -f "$(winenv USERPROFILE)/Favorites/Example.url"
}

tour_unattended() {
    local n=$1 data_folder
    data_folder="$(winenv LOCALAPPDATA)/Kravonel/Surfkolibri"
    seed_traces
    start_program cbhmen
    # The success message of "n" waits for the user.
    if wait_map '/^window / && $6 == 1' 90; then
        wait_not_busy "$n"
        capture message-unattended
        key Return
    fi
    check "$lang: the unattended run ends" wait_ended 60
    check "$lang: the unattended run cleaned the typed addresses and the Run list" \
        test "$(values "$typed")" -eq 0 -a "$(values "$runmru")" -le 1
    check "$lang: the unattended run wrote its report" \
        grep -q '^### .* | cbhmen | ' <(tr -d '\r' <"$data_folder/Surfkolibri.log" 2>/dev/null)
    stop_program
}

tour_uninstall() {
    local n=$1 before id
    before=$(x_windows)
    start_program /uninstall
    # The question is a system message box.
    if id=$(wait_new_x_window "$before" 60); then
        capture uninstall-question
        key Escape
        wait_gone "$id" 10 || true
    else
        check "$lang: the uninstall mode asks its question" false
    fi
    check "$lang: the uninstall mode ends after No" wait_ended 30
    stop_program
}

# The setup program, as a Windows user meets it: installed silently into a fresh machine,
# checked from outside (Wine's registry tool, the files), the installed program started to
# its language window, and uninstalled silently: what the setup put there is gone, the
# user's data folder stays.
installer_round_trip() {
    local setup data_folder folder menu key= failed_before=$failed
    setup=$(ls "$build"/Surfkolibri-*-setup.exe 2>/dev/null | head -1)
    if [ -z "$setup" ]; then
        check "the setup program was built" false
        return
    fi
    lang=setup
    wine_fresh_prefix "$PWD/$build/wine-setup-prefix"
    key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Surfkolibri'
    "$wine" "$setup" /S >>"$log" 2>&1 || true
    "$wineserver" -w
    folder=$(winpath 'C:\Program Files\Surfkolibri')
    menu=$(winpath 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs')
    local expected=(surfkolibri.exe surfkolibri-clean.exe uninstall.exe)
    for file in data/*; do expected+=("$(basename "$file")"); done
    check "setup: every file is installed ($(ls "$folder" 2>/dev/null | wc -l) in the folder)" \
        test "$(ls "$folder" 2>/dev/null | sort)" = "$(printf '%s\n' "${expected[@]}" | sort)"
    check "setup: the installed program is the one built" cmp -s "$folder/surfkolibri.exe" "$build/installer/surfkolibri.exe"
    check "setup: a Start-menu shortcut to the program" test -s "$menu/Surfkolibri.lnk"
    local entry
    entry=$("$wine" reg query "$key" 2>/dev/null | tr -d '\r')
    echo "$entry" >>"$log"
    for value in DisplayName DisplayVersion Publisher DisplayIcon UninstallString EstimatedSize; do
        check "setup: the uninstall entry has $value" grep -q "^ *$value " <<<"$entry"
    done
    check "setup: the entry names the uninstaller" \
        grep -q 'UninstallString *REG_SZ *"C:\\Program Files\\Surfkolibri\\uninstall.exe"' <<<"$entry"

    # The installed program starts to its language window.
    local installed=$exe
    exe="$folder/surfkolibri.exe"
    start_program
    check "setup: the installed program shows its language window" wait_map '/^window /' 60
    capture installed-language
    stop_program
    exe=$installed

    data_folder="$(winenv LOCALAPPDATA)/Kravonel/Surfkolibri"
    check "setup: the program made its data folder" test -d "$data_folder"
    # A start-up shortcut of the automatic cleaning, as the automation page leaves one: the
    # uninstaller has the program remove it.
    local startup
    startup=$(winpath "$("$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
        /v Startup 2>/dev/null | tr -d '\r' | sed -n 's/^ *Startup *REG_SZ *//p')")
    mkdir -p "$startup"
    cp "$menu/Surfkolibri.lnk" "$startup/$(text 0 169).lnk"
    "$wine" "$folder/uninstall.exe" /S >>"$log" 2>&1 || true
    # The uninstaller copies itself away and runs from there; it is done when it is gone.
    local end=$(($(date +%s) + 60))
    while [ -e "$folder/uninstall.exe" ] && [ "$(date +%s)" -le "$end" ]; do sleep 0.5; done
    "$wineserver" -w
    check "setup: the uninstaller removes the program folder" test ! -e "$folder"
    check "setup: the uninstaller removes the shortcut" test ! -e "$menu/Surfkolibri.lnk"
    check "setup: the program removed its start-up shortcut" test ! -e "$startup/$(text 0 169).lnk"
    check "setup: the uninstaller removes the entry" absent_key "$key"
    check "setup: the user's data folder stays" test -d "$data_folder"
    if [ "$failed" -eq "$failed_before" ]; then
        echo "windows-program-check: windows installer: installed, started, uninstalled under Wine"
    fi
}

# The uninstaller as a user meets it, after a new silent install into the same prefix: its
# pages are passed with Enter (Next, Uninstall, Close), the program's survey question comes up
# in between and is answered No; everything is removed but the data folder.
interactive_uninstall() {
    local setup folder id asked=0 end
    setup=$(ls "$build"/Surfkolibri-*-setup.exe 2>/dev/null | head -1)
    [ -n "$setup" ] || return 0
    lang=setup
    folder=$(winpath 'C:\Program Files\Surfkolibri')
    "$wine" "$setup" /S >>"$log" 2>&1 || true
    "$wineserver" -w
    check "setup: installed again" test -f "$folder/surfkolibri.exe"
    "$wine" "$folder/uninstall.exe" >>"$log" 2>&1 &
    end=$(($(date +%s) + 120))
    while [ -e "$folder/uninstall.exe" ] && [ "$(date +%s)" -le "$end" ]; do
        sleep 1
        if [ -n "$(x_windows)" ]; then
            # The program's own question: pictured once, answered No.
            if [ "$asked" = 0 ]; then
                id=$(x_windows | head -1)
                xdotool windowactivate --sync "$id" 2>/dev/null || true
                capture uninstall-question-from-setup
                asked=1
                key Escape
                wait_gone "$id" 10 || true
            fi
            continue
        fi
        id=$(xdotool getactivewindow 2>/dev/null) || continue
        note "setup page: $(xdotool getwindowname "$id" 2>/dev/null)"
        key Return
    done
    # The last page (Close) after the files are gone.
    sleep 1
    xdotool getactivewindow >/dev/null 2>&1 && key Return
    "$wineserver" -w
    check "setup: the interactive uninstaller asked the program's survey question" test "$asked" = 1
    check "setup: the interactive uninstaller removes the program folder" test ! -e "$folder"
    check "setup: the user's data folder stays after the interactive uninstaller" \
        test -d "$(winenv LOCALAPPDATA)/Kravonel/Surfkolibri"
}

wine_fresh_prefix "$PWD/$build/wine-program-prefix"
# Today's Firefox and Chrome with their profiles, for the other-browsers window and the
# unattended run to find.
"$wine" "$PWD/$build/seed-machine.exe" >>"$log" 2>&1 || note "seed-machine.exe failed"
seed_traces
tour en 0
seed_traces
tour de 1
"$wineserver" -k >/dev/null 2>&1 || true
installer_round_trip
interactive_uninstall
"$wineserver" -k >/dev/null 2>&1 || true

for name in "${failures[@]}"; do
    echo "windows-program-check: FAILED $name" >&2
done
echo "windows-program-check: windows program: $shown windows shown under Wine"
echo "windows-program-check: $passed passed, $failed failed (log: $log, pictures: $pictures)"
[ "$failed" -eq 0 ]
