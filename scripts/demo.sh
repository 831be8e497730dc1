#!/usr/bin/env bash
# make demo: quedrix (release build) against a simulated controller in build/demo.
# With a desktop: starts both and waits; double-click the tray icon, "Изход" ends the demo.
# Without one: runs Xvfb, openbox and trayer, double-clicks the icon, saves build/demo/screenshot.png
# (or the file SCREENSHOT names). MODE=ALT starts the alternative mode.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"
demo="$root/build/demo"
screenshot=${SCREENSHOT:-$demo/screenshot.png}
quedrix="$build/app/quedrix"
sim="$build/sim/quedrix-sim"
# Standard mode: table 1 well above 300 s, table 2 within 300 s, table 3 at 0, the rest in between;
# the activation and the 200 ms timer each refresh after the double-click.
args=() counters=3725,250,0,1800,45,0,7200,600 refreshes=2
if [[ "${MODE:-}" == [Aa][Ll][Tt] ]]; then
    # Started one hour, half an hour, a minute and two hours ago; the others idle for Start.
    # Only the timer refreshes after the double-click.
    args=(ALT) counters=28400,0,30200,0,31940,0,24800,0 refreshes=1
fi

source "$root/scripts/xdesktop.sh"
source "$root/scripts/demo-home.sh"

for program in "$quedrix" "$sim"; do
    [[ -x "$program" ]] || { echo "demo: $program is missing; run 'make demo'" >&2; exit 1; }
done

have_display() { [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; }

if ! have_display && [[ -z "${QUEDRIX_DEMO_SESSION:-}" ]]; then
    # A private session bus without a StatusNotifier watcher: Qt docks its icon into trayer.
    QUEDRIX_DEMO_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

trap xdesktop_stop_all EXIT
trap 'exit 130' INT TERM

mkdir -p "$demo"
mkdir -p "$(dirname "$screenshot")"
rm -f "$demo/COM1" "$demo/frames.log" "$screenshot"
write_demo_home "$demo" "$demo/COM1" "$quedrix"
"$sim" --link "$demo/COM1" --counters "$counters" --log "$demo/frames.log" >"$demo/sim.out" 2>&1 &
XDESKTOP_PROGRAMS+=($!)
poll_until 10 test -e "$demo/COM1" || { echo "demo: the simulator did not start (see $demo/sim.out)" >&2; exit 1; }
echo "Simulated controller on COM1 ($demo/COM1), application folder $demo"

if have_display; then
    echo "Starting quedrix${args[*]:+ ${args[*]}}: double-click its tray icon to show the window; \"Изход\" in its menu ends the demo."
    QUEDRIX_HOME="$demo" "$quedrix" "${args[@]}"
    exit $?
fi

echo "No display: running the demo on a virtual desktop (Xvfb, openbox, trayer)."
xdesktop_start "$demo" || exit 1
QUEDRIX_HOME="$demo" QT_QPA_PLATFORM=xcb "$quedrix" "${args[@]}" >"$demo/quedrix.log" 2>&1 &
app=$!
XDESKTOP_PROGRAMS+=($app)

icon=
find_icon() { icon=$(xdesktop_tray_icon "$app"); }
poll_until 30 find_icon || { echo "demo: the tray icon did not appear (see $demo/quedrix.log)" >&2; exit 1; }
window=
find_window() { window=$(xdesktop_window_named "$app" 'Zentrovik Quedrix'); }
xdesktop_double_click_until "$icon" find_window || { echo "demo: the window did not come up" >&2; exit 1; }
# Let the refreshes after the double-click land before the picture is taken.
tables_asked() { test "$(grep -c '<STX>G' "$demo/frames.log" 2>/dev/null || true)" -ge "$1"; }
poll_until 30 tables_asked $((8 * refreshes))
sleep 0.3
import -window root "$screenshot" || { echo "demo: no screenshot" >&2; exit 1; }
echo "$screenshot"
