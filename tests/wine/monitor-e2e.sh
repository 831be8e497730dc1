#!/usr/bin/env bash
# quedrix.exe under Wine on an X desktop (Xvfb, openbox), its COM1 leading to a simulated controller
# and COM2 to COM20 nowhere. The tray (trayer) starts 5 s after the program: the icon docks and the
# window stays hidden; a double-click shows it and one refresh follows; the times carry their
# colours; the Cyrillic captions are drawn as letters; btnReset(2) sends R02 (with ALT: btnSet(3) of
# the idle table 3 sends G03, then C03;32000); the tray restarts and the icon comes back; a
# right-click while the window is shown but inactive sends no frame; the menu's "Изход" ends the
# program and takes the icon away. With WATCH the standard mode runs with the watch on: a table that
# runs out while the window is hidden raises the notification and gets its time-up line in the ledger.
# Usage: monitor-e2e.sh WINE-RUN WINE-FOLDER QUEDRIX.EXE OUTPUT-FOLDER [ALT|WATCH]. QUEDRIX_HOST_SIM names
# the simulator built for this machine. Exit 77 (skipped) when no X desktop can start.
set -uo pipefail

run=$1 folder=$(realpath -m "$2") exe=$3 out=$4 mode=${5:-} ticking=()
program_mode=${mode/WATCH/}
here=$(cd "$(dirname "$0")" && pwd)

source "$here/../support/e2e-outcome.sh"

for tool in Xvfb xdpyinfo openbox trayer xdotool xwininfo xprop xmessage import convert; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup-deps.sh lists it)"
done

source "$here/../../scripts/xdesktop.sh"
source "$here/simulators.sh"
source "$here/../e2e/time-up-notification.sh"

# The prefix of this test: COM1 leads to the simulator's link, every other port nowhere.
export QUEDRIX_WINE_PORTS=1
export WINEPREFIX=$folder/prefix
wine_stop() { wineserver -k 2>/dev/null || true; }

app=
cleanup() {
    [[ -n "$app" ]] && kill "$app" 2>/dev/null
    wine_stop
    stop_simulators
    xdesktop_stop_all
}
trap cleanup EXIT

rm -rf "$out"
mkdir -p "$out" "$folder"
wine_stop # a server left by an interrupted run would still show its programs on an old display
xdesktop_start "$out" no-tray || skip "no X desktop could be started"
echo "desktop on $DISPLAY"

started=$SECONDS
# Wine's own "MS Sans Serif" has no Cyrillic letters in a Western code page: the labels' face with
# the Cyrillic character set is drawn with DejaVu Sans (fonts-dejavu-core), whatever else is installed.
"$run" "$folder" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'MS Sans Serif,204' /d 'DejaVu Sans,204' /f >"$out/prefix.log" 2>&1 ||
    fail "the Wine prefix could not be prepared (see $out/prefix.log)"
echo "prefix ready after $((SECONDS - started)) s"

# Positions in the window, from the layout in twips (15 twips make one pixel at 96 dpi).
px() { echo $((($1 + 7) / 15)); }
if [[ "$mode" == ALT ]]; then
    # Table 1 started an hour ago (green), tables 2 and 3 idle (red); one refresh after a double-click.
    counters=28400,0,0,31000,0,0,0,0 expected=("0,255,0" "255,0,0" "255,0,0") refreshes=1
    inner=(12375 2145) step=1530 label=(1500 285) time_top=450 button=(1110 1485 435) hide=(10950 1710 1335 375)
else
    # Tables 1 to 3: above 300 s (green), within 300 s (yellow), 0 (red). The activation refreshes
    # and so does the 200 ms timer: sixteen "G" requests.
    counters=3725,250,0,900,0,0,0,0 expected=("0,255,0" "255,255,0" "255,0,0") refreshes=2
    inner=(8775 1665) step=1080 label=(1035 225) time_top=390 button=(660 1035 435) hide=(7350 1230 1335 375)
fi
left() { px $((90 + ($1 - 1) * step)); }

# The hall's folder: the program, its language file and a configuration with a tariff.
home=$out/home
mkdir -p "$home"
cp "$exe" "$(dirname "$exe")/Common.lng" "$home/" || fail "quedrix.exe or Common.lng missing beside $exe"
printf '[Tariff]\r\nPeak=0.50\r\nOffPeak=0.30\r\nStartTime=08:00\r\nEndTime=18:00\r\n' >"$home/Quedrix.cfg"
if [[ "$mode" == WATCH ]]; then
    # Table 5 runs out 30 s after the simulator starts, whose counters count down here; the watch
    # reads the tables every 5 s.
    counters=3725,250,0,900,30,0,0,0 ticking=(--tick-ms 1000)
    printf '[Watch]\r\nEnabled=1\r\nInterval=5\r\n' >>"$home/Quedrix.cfg"
fi

log=$out/frames.log
: >"$log"
start_simulator "$folder/ports" 1 --counters "$counters" --log "$log" "${ticking[@]}" || fail "no simulator on COM1"

"$run" "$folder" "$home/quedrix.exe" $program_mode >"$out/quedrix.log" 2>&1 &
app=$!
launched=$SECONDS

# requests PATTERN: how many logged frames match it; frames_after N: the frames after the first N.
requests() { grep -c -- "$1" "$log" 2>/dev/null || true; }
at_least() { (($(requests "<STX>$1") >= $2)); }
frames_after() { tail -n +$(($1 + 1)) "$log" | sed -n 's/.*<STX>\(.*\)<ETX>.*/\1/p'; }

poll_until 60 at_least V 1 || fail "no discovery request reached COM1"
sleep $((launched + 5 - SECONDS > 0 ? launched + 5 - SECONDS : 0))
xdesktop_start_tray "$out" || fail "trayer did not start"
icon=
find_icon() {
    # shellcheck disable=SC2046 # one word per window
    icon=$(xdesktop_docked $(xdotool search --classname '^explorer\.exe$' 2>/dev/null))
}
poll_until 30 find_icon || fail "no tray icon docked in the panel of the tray started 5 s after the program"
echo "tray started 5 s after the program; icon window $icon after $((SECONDS - started)) s"
kill -0 "$app" 2>/dev/null || fail "quedrix.exe ended early (see $out/quedrix.log)"
if [[ "$mode" == WATCH ]]; then
    # The balloon is a window of the prefix's explorer.exe, which holds the tray icons.
    expect_time_up_notification 90 "$app" "$home" "$out" 5 xdotool search --onlyvisible --classname '^explorer\.exe$'
    exit 0
fi
sleep 1 # a window shown at start would be mapped by now
[[ -z "$(xdesktop_window_named "$app" 'Zentrovik Quedrix')" ]] || fail "the window is shown at start"
(($(requests '<STX>G') == 0)) || fail "tables were read before the window was shown"

window=
find_window() { window=$(xdesktop_window_named "$app" 'Zentrovik Quedrix'); }
xdesktop_double_click_until "$icon" find_window || fail "a double-click on the icon did not show the window"
wanted=$((8 * refreshes))
poll_until 30 at_least G $wanted || fail "only $(requests '<STX>G') table requests after the double-click"
sleep 1.5 # a further refresh would have begun by now
(($(requests '<STX>G') == wanted)) || fail "$(requests '<STX>G') table requests after the double-click, expected $wanted"
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "${WIDTH}x${HEIGHT}" == "$(px "${inner[0]}")x$(px "${inner[1]}")" ]] ||
    fail "the window's inner size is ${WIDTH}x${HEIGHT}, expected $(px "${inner[0]}")x$(px "${inner[1]}")"

# time_colour PNG T: the background of lblTime(T), inside its edges.
time_colour() {
    xdesktop_label_colour "$1" $(($(left "$2") + 2)) $(($(px $time_top) + 2)) \
        $(($(px "${label[0]}") - 4)) $(($(px "${label[1]}") - 4))
}
colours_right() {
    import -window "$window" "$out/window.png" || return 1
    for t in 1 2 3; do
        [[ "$(time_colour "$out/window.png" $t)" == "${expected[t - 1]}" ]] || return 1
    done
}
poll_until 10 colours_right || fail "lblTime(1..3) are $(for t in 1 2 3; do time_colour "$out/window.png" $t; done | xargs), expected ${expected[*]}"
echo "lblTime(1..3): ${expected[*]}"

# glyph_pattern THRESHOLD PNG X Y W H: the text in that rectangle as one letter per glyph in reading
# order, the same letter for glyphs drawn alike ("Маса 1" gives abcbd). Glyphs are the runs of
# columns holding pixels darker than THRESHOLD; boxes or question marks in place of the letters all
# give the same letter.
glyph_pattern() {
    convert "$2" -crop "${5}x${6}+${3}+${4}" +repage -colorspace gray -threshold "$1" -compress none pbm:- |
        awk 'NR == 1 { next }
             NR == 2 { w = $1; h = $2; next }
             { for (i = 1; i <= NF; i++) bits[n++] = $i }
             END {
                 letters = "abcdefghijklmnopqrstuvwxyz"
                 for (x = 0; x <= w; x++) {
                     column = ""
                     for (y = 0; y < h && x < w; y++) column = column bits[y * w + x]
                     if (x < w && column ~ /1/) { glyph = glyph column "|"; continue }
                     if (glyph == "") continue
                     if (!(glyph in seen)) seen[glyph] = substr(letters, ++kinds, 1)
                     printf "%s", seen[glyph]
                     glyph = ""
                 }
                 print ""
             }'
}
# expect_letters WHAT PATTERN PNG X Y W H: the text there gives PATTERN at one of a few thresholds
# (bold letters touch when faint edge pixels count, thin ones fall apart when they do not).
expect_letters() {
    local threshold got=()
    for threshold in 40% 50% 60% 70% 80%; do
        got+=("$(glyph_pattern "$threshold" "${@:3}")")
        if [[ "${got[-1]}" == "$2" ]]; then
            echo "$1 drawn as letters ($2 at $threshold)"
            return 0
        fi
    done
    fail "$1 is not drawn as letters: glyphs ${got[*]}, expected $2 (see $3)"
}
expect_letters '"Маса 1"' abcbd "$out/window.png" "$(left 1)" "$(px 120)" "$(px "${label[0]}")" "$(px "${label[1]}")"
# Inside the button's edges: "Скриване" has eight different letters.
expect_letters '"Скриване"' abcdefgh "$out/window.png" $(($(px "${hide[0]}") + 3)) $(($(px "${hide[1]}") + 3)) \
    $(($(px "${hide[2]}") - 6)) $(($(px "${hide[3]}") - 6))

# click_table_button T: a click in the middle of the table button of column T.
click_table_button() {
    xdotool mousemove --sync --window "$window" $(($(left "$1") + $(px "${button[1]}") / 2)) \
        $(($(px "${button[0]}") + $(px "${button[2]}") / 2)) click 1
}
before=$(wc -l <"$log")
if [[ "$mode" == ALT ]]; then
    # Start of the idle table 3: its read, its load with 32000, then after the pause a refresh.
    click_table_button 3
    poll_until 20 at_least G $((wanted + 9)) || fail "no refresh after btnSet(3): $(frames_after "$before" | xargs)"
    [[ "$(frames_after "$before" | head -n2 | xargs)" == "G03;00000; C03;32000;" ]] ||
        fail "btnSet(3) sent $(frames_after "$before" | head -n2 | xargs), expected G03 then C03;32000"
    echo "btnSet(3): G03, C03;32000, then a refresh"
else
    click_table_button 2
    poll_until 20 at_least G $((wanted + 8)) || fail "no refresh after btnReset(2): $(frames_after "$before" | xargs)"
    [[ "$(frames_after "$before" | head -n1)" == R02\;* ]] ||
        fail "btnReset(2) sent $(frames_after "$before" | head -n1), expected R02"
    (($(frames_after "$before" | grep -c '^[RC]') == 1)) || fail "btnReset(2) sent more than one command"
    echo "btnReset(2): R02, then a refresh"
fi

mark=$SECONDS
xdesktop_stop_tray
xdesktop_start_tray "$out" || fail "trayer did not start again"
poll_until 30 find_icon || fail "the icon did not come back into the restarted tray"
echo "tray restarted: the icon is back after $((SECONDS - mark)) s"

# The window shown but inactive: another window has the focus.
xmessage -name quedrix-e2e-focus "another program" 2>/dev/null &
XDESKTOP_PROGRAMS+=($!)
other=
find_other() { other=$(xdotool search --onlyvisible --classname '^quedrix-e2e-focus$' 2>/dev/null | head -n1); }
poll_until 10 find_other || fail "the other window did not come up"
xdotool windowactivate --sync "$other"
poll_until 10 eval '[[ "$(xdotool getactivewindow)" == "$other" ]]' || fail "the other window did not become active"
frames=$(wc -l <"$log")

# The right-click menu, its last item "Изход" read before the pointer lights it up, then chosen.
windows_more_than() { (($(xdesktop_visible_windows "$app") > $1)); }
shown=$(xdesktop_visible_windows "$app")
read -r x y < <(xdesktop_center "$icon")
xdotool mousemove --sync "$x" "$y" click 3
poll_until 10 windows_more_than "$shown" || fail "a right-click on the icon showed no menu"
menu=$(xdotool search --onlyvisible --pid "$app" | grep -vx "$window" | tail -n1)
eval "$(xdotool getwindowgeometry --shell "$menu")"
sleep 0.3 # the menu is drawn
import -window root "$out/menu.png"
expect_letters '"Изход"' abcde "$out/menu.png" $((X + 3)) $((Y + HEIGHT * 3 / 5)) $((WIDTH - 6)) $((HEIGHT * 2 / 5 - 3))
[[ -z "$(frames_after "$frames")" ]] ||
    fail "the right-click on the inactive window sent $(frames_after "$frames" | xargs)"
echo "right-click on the shown, inactive window: the menu, no frame"
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 8)) click 1
exited() { ! kill -0 "$app" 2>/dev/null; }
poll_until 10 exited || fail "quedrix.exe still runs after Изход"
wait "$app"
status=$?
app=
((status == 0)) || fail "quedrix.exe ended with status $status (see $out/quedrix.log)"
icon_gone() { ! xwininfo -id "$icon" >/dev/null 2>&1; }
poll_until 10 icon_gone || fail "the tray icon is still in the panel after Изход"
echo "Изход: quedrix.exe ended, the icon is gone"
echo "PASSED in $((SECONDS - started)) s: screenshots in $out"
