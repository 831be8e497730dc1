#!/usr/bin/env bash
# The program on a real X desktop with a tray: the icon docks in trayer's panel, a double-click shows
# the window with the three colours, a right-click shows the menu, and "Изход" ends the program.
# Usage: tray_e2e.sh QUEDRIX QUEDRIX-SIM OUTPUT-FOLDER. Exit 77 (skipped) when no X server can start.
set -uo pipefail

readonly SKIP=77
quedrix=$1 sim=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
scripts="$here/../../scripts"

skip() {
    echo "SKIPPED: $*" >&2
    exit $SKIP
}
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

for tool in Xvfb xdpyinfo openbox trayer xdotool xwininfo xprop import convert dbus-run-session; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup-deps.sh lists it)"
done

# Without a StatusNotifier watcher on the session bus Qt docks its icon over XEmbed into trayer.
if [[ -z "${QUEDRIX_E2E_SESSION:-}" ]]; then
    QUEDRIX_E2E_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

source "$scripts/xdesktop.sh"
source "$scripts/demo-home.sh"

rm -rf "$out"
mkdir -p "$out"
home="$out/home"
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    xdesktop_stop
}
trap cleanup EXIT

xdesktop_start "$out" || skip "no X desktop could be started"
echo "desktop on $DISPLAY"

# Tables 1 to 3: above 300 s (green), within 300 s (yellow), 0 (red).
write_demo_home "$home" "$home/COM1"
"$sim" --link "$home/COM1" --counters 3725,250,0,900,0,0,0,0 --log "$out/frames.log" >"$out/sim.out" 2>&1 &
pids+=($!)
poll_until 10 test -e "$home/COM1" || fail "the simulator did not publish its port"

QUEDRIX_HOME="$home" QT_QPA_PLATFORM=xcb "$quedrix" >"$out/quedrix.log" 2>&1 &
app=$!
pids+=($app)

requests() { grep -c "<STX>$1" "$out/frames.log" 2>/dev/null || true; }
# at_least COMMAND N: at least N requests of that command letter have arrived.
at_least() { (($(requests "$1") >= $2)); }
windows_more_than() { (($(xdesktop_visible_windows "$app") > $1)); }

poll_until 30 at_least V 1 || fail "no discovery request reached the simulator"
icon=
find_icon() { icon=$(xdesktop_tray_icon "$app"); }
poll_until 30 find_icon || fail "the tray icon did not dock in trayer's panel"
echo "tray icon window $icon"
kill -0 "$app" 2>/dev/null || fail "quedrix ended early"
[[ -z "$(xdesktop_window_named "$app" 'Zentrovik Quedrix')" ]] || fail "the window is shown at start"

window=
find_window() { window=$(xdesktop_window_named "$app" 'Zentrovik Quedrix'); }
xdesktop_double_click_until "$icon" find_window || fail "a double-click on the icon did not show the window"
# The activation's refresh and the timer's one.
poll_until 30 at_least G 16 || fail "only $(requests G) table requests after the double-click"

import -window root "$out/screen.png"
import -window "$window" "$out/window.png" || fail "no screenshot of the window"
expected=("0,255,0" "255,255,0" "255,0,0")
for t in 1 2 3; do
    colour=$(xdesktop_label_colour "$out/window.png" $((6 + (t - 1) * 72 + 2)) 28 65 11)
    echo "lblTime($t): $colour"
    [[ "$colour" == "${expected[t - 1]}" ]] || fail "lblTime($t) is $colour, expected ${expected[t - 1]}"
done

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
# "Изход" is the last item.
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT - 8)) click 1

poll_until 20 eval '! kill -0 "$app" 2>/dev/null' || fail "quedrix still runs after Изход"
wait "$app"
status=$?
((status == 0)) || fail "quedrix ended with status $status (see $out/quedrix.log)"
[[ -z "$(xdotool search --pid "$app" 2>/dev/null)" ]] || fail "a window of quedrix outlived it"
xwininfo -id "$icon" >/dev/null 2>&1 && fail "the tray icon is still in the panel"
echo "PASSED: screenshots in $out"
