#!/usr/bin/env bash
# The program on a real X desktop with a tray: the icon docks in trayer's panel, a double-click shows
# the window with its colours, a right-click shows the menu, and "Изход" ends the program at once in
# the middle of a refresh against a controller that no longer answers the tables. With ALT the
# alternative mode runs, and a click on Start of the idle table 2 turns its time green. With WATCH the
# standard mode runs with the watch on: a table that runs out while the window is hidden raises the
# notification and gets its time-up line in the ledger.
# Usage: tray_e2e.sh QUEDRIX QUEDRIX-SIM OUTPUT-FOLDER [ALT|WATCH]. Exit 77 (skipped) when no X server
# can start.
set -uo pipefail

quedrix=$1 sim=$2 out=$3 mode=${4:-}
program_mode=${mode/WATCH/}
here=$(cd "$(dirname "$0")" && pwd)
scripts="$here/../../scripts"

source "$here/../support/e2e-outcome.sh"

for tool in Xvfb xdpyinfo openbox trayer xdotool xwininfo xprop import convert dbus-run-session; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup-deps.sh lists it)"
done

# Without a StatusNotifier watcher on the session bus Qt docks its icon over XEmbed into trayer.
if [[ -z "${QUEDRIX_E2E_SESSION:-}" ]]; then
    QUEDRIX_E2E_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

source "$scripts/xdesktop.sh"
source "$scripts/demo-home.sh"
source "$here/time-up-notification.sh"

rm -rf "$out"
mkdir -p "$out"
home="$out/home"
trap xdesktop_stop_all EXIT

xdesktop_start "$out" || skip "no X desktop could be started"
echo "desktop on $DISPLAY"

if [[ "$mode" == ALT ]]; then
    # Table 1 started an hour ago (green), tables 2 and 3 idle (red). Columns are 102 pixels apart,
    # time labels 100 x 19 at top 30; the refresh after the double-click comes from the 200 ms timer.
    counters=28400,0,0,31000,0,0,0,0 expected=("0,255,0" "255,0,0" "255,0,0")
    column=102 time_top=30 time_size=(96 15) refreshes=1
else
    # Tables 1 to 3: above 300 s (green), within 300 s (yellow), 0 (red). Columns 72 pixels apart,
    # time labels 69 x 15 at top 26; the activation refreshes and so does the timer.
    counters=3725,250,0,900,0,0,0,0 expected=("0,255,0" "255,255,0" "255,0,0")
    column=72 time_top=26 time_size=(65 11) refreshes=2
fi

write_demo_home "$home" "$home/COM1" "$quedrix"
if [[ "$mode" == WATCH ]]; then
    # Table 5 runs out 20 s after the start; the watch reads the tables every 5 s.
    counters=3725,250,0,900,20,0,0,0
    printf '\r\n[Watch]\r\nEnabled=1\r\nInterval=5\r\n' >>"$home/Quedrix.cfg"
fi
"$sim" --link "$home/COM1" --counters "$counters" --log "$out/frames.log" >"$out/sim.out" 2>&1 &
answering_sim=$!
XDESKTOP_PROGRAMS+=($answering_sim)
poll_until 10 test -e "$home/COM1" || fail "the simulator did not publish its port"

QUEDRIX_HOME="$home" QT_QPA_PLATFORM=xcb "$quedrix" $program_mode >"$out/quedrix.log" 2>&1 &
app=$!
XDESKTOP_PROGRAMS+=($app)

# requests LETTER [LOG]: how many requests of that command letter the simulator has logged.
requests() { grep -c "<STX>$1" "${2:-$out/frames.log}" 2>/dev/null || true; }
# at_least COMMAND N [LOG]: at least N requests of that command letter have arrived.
at_least() { (($(requests "$1" "${3:-}") >= $2)); }
windows_more_than() { (($(xdesktop_visible_windows "$app") > $1)); }

poll_until 30 at_least V 1 || fail "no discovery request reached the simulator"
icon=
find_icon() { icon=$(xdesktop_tray_icon "$app"); }
poll_until 30 find_icon || fail "the tray icon did not dock in trayer's panel"
echo "tray icon window $icon"
kill -0 "$app" 2>/dev/null || fail "quedrix ended early"
[[ -z "$(xdesktop_window_named "$app" 'Zentrovik Quedrix')" ]] || fail "the window is shown at start"

if [[ "$mode" == WATCH ]]; then
    expect_time_up_notification 60 "$app" "$home" "$out" 5 xdotool search --onlyvisible --pid "$app"
    exit 0
fi

# A second start while this copy runs ends by itself with status 0, before any window or icon.
QUEDRIX_HOME="$home" QT_QPA_PLATFORM=xcb timeout 60 "$quedrix" $program_mode >"$out/second.log" 2>&1
status=$?
((status == 0)) || fail "a second start ended with status $status (see $out/second.log)"
kill -0 "$app" 2>/dev/null || fail "the second start ended the first"
[[ "$(xdesktop_tray_icon "$app")" == "$icon" ]] || fail "the first copy's tray icon changed"

window=
find_window() { window=$(xdesktop_window_named "$app" 'Zentrovik Quedrix'); }
xdesktop_double_click_until "$icon" find_window || fail "a double-click on the icon did not show the window"
poll_until 30 at_least G $((8 * refreshes)) || fail "only $(requests G) table requests after the double-click"

# time_colour PNG T: the background of lblTime(T) in a screenshot of the window.
time_colour() {
    xdesktop_label_colour "$1" $((6 + ($2 - 1) * column + 2)) $((time_top + 2)) "${time_size[@]}"
}
import -window root "$out/screen.png"
import -window "$window" "$out/window.png" || fail "no screenshot of the window"
for t in 1 2 3; do
    colour=$(time_colour "$out/window.png" $t)
    echo "lblTime($t): $colour"
    [[ "$colour" == "${expected[t - 1]}" ]] || fail "lblTime($t) is $colour, expected ${expected[t - 1]}"
done

if [[ "$mode" == ALT ]]; then
    colour=$(xdesktop_label_colour "$out/window.png" 8 54 96 15)
    [[ "$colour" == "128,255,255" ]] || fail "lblSum(1) is $colour, expected light cyan"
    # btnSet(2): 99 x 29 at (108, 74). Its "G" and "C", the pause, then the eight "G" of the refresh.
    xdotool mousemove --sync --window "$window" 157 88 click 1
    poll_until 20 at_least C 1 || fail "no start request after the click on btnSet(2)"
    poll_until 20 at_least G 17 || fail "no refresh after the start ($(requests G) table requests)"
    table2_green() {
        import -window "$window" "$out/started.png" && [[ "$(time_colour "$out/started.png" 2)" == "0,255,0" ]]
    }
    poll_until 10 table2_green || fail "lblTime(2) is $(time_colour "$out/started.png" 2) after the start"
    echo "lblTime(2) after Start: green"
fi

# From here on the controller answers its version but no table: every table request waits for its
# reply, so a refresh lasts half a minute, and "Изход" is chosen while one runs.
kill "$answering_sim"
wait "$answering_sim" 2>/dev/null
silent=$out/silent.log
"$sim" --link "$home/COM1" --counters "$counters" --log "$silent" \
    $(printf -- '--silent-table %d ' 1 2 3 4 5 6 7 8) >"$out/silent-sim.out" 2>&1 &
XDESKTOP_PROGRAMS+=($!)
poll_until 10 test -e "$home/COM1" || fail "the silent simulator did not publish its port"
xdesktop_double_click "$icon"
poll_until 10 at_least G 1 "$silent" || fail "no refresh started after the double-click"
# A table button clicked meanwhile queues its flow behind the refresh: btnReset(3), or btnSet(3) with ALT.
if [[ "$mode" == ALT ]]; then
    xdotool mousemove --sync --window "$window" 259 88 click 1
else
    xdotool mousemove --sync --window "$window" 184 58 click 1
fi

before=$(xdesktop_visible_windows "$app")
read -r x y < <(xdesktop_center "$icon")
xdotool mousemove --sync "$x" "$y" click 3
poll_until 10 windows_more_than "$before" || fail "a right-click showed no menu"
sleep 0.3 # a second menu would have appeared by now
after=$(xdesktop_visible_windows "$app")
((after == before + 1)) || fail "$((after - before)) windows appeared on a right-click, expected one menu"
menu=$(xdotool search --onlyvisible --pid "$app" | while read -r w; do
    [[ "$w" == "$window" || "$w" == "$icon" ]] || echo "$w"
done | tail -n1)
import -window root "$out/menu.png"
eval "$(xdotool getwindowgeometry --shell "$menu")"
# "Изход" is the last item. It is chosen right after a try has gone out, a second before the next
# one is due, so any frame logged from here on went out after the exit.
tries=$(requests G "$silent")
fresh_try() { (($(requests G "$silent") > tries)); }
poll_until 10 fresh_try || fail "the refresh sent no further try"
sent=$(wc -l <"$silent")
started=$(date +%s%N)
(sleep 10 && kill -9 "$app") 2>/dev/null &
watchdog=$!
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 8)) click 1
wait "$app"
status=$?
elapsed=$((($(date +%s%N) - started) / 1000000))
kill "$watchdog" 2>/dev/null
echo "quedrix ended ${elapsed} ms after Изход, status $status"
((status == 0)) || fail "quedrix ended with status $status (see $out/quedrix.log)"
((elapsed <= 500)) || fail "quedrix took ${elapsed} ms to end after Изход in the middle of a refresh"
sleep 0.5
(($(wc -l <"$silent") == sent)) || fail "frames went out after Изход: $(tail -n +$((sent + 1)) "$silent")"
(($(requests R "$silent") + $(requests C "$silent") == 0)) || fail "the table button's queued flow ran"
[[ -z "$(xdotool search --pid "$app" 2>/dev/null)" ]] || fail "a window of quedrix outlived it"
xwininfo -id "$icon" >/dev/null 2>&1 && fail "the tray icon is still in the panel"
[[ ! -e "$home/Quedrix.lock" ]] || fail "Quedrix.lock is left in the application folder"
echo "PASSED: screenshots in $out"
