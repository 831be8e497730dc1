#!/usr/bin/env bash
# The CPU a watched program takes while its window stays hidden: quedrix with [Watch] Enabled=1
# (Interval 15 s) in the tray of a virtual desktop (Xvfb, openbox, trayer), reading a simulated
# controller with running tables, over 10 minutes by default. Prints its CPU time, the share of one
# core (goal: at most 0.1 %), the refresh passes the simulator saw and the ledger lines written;
# asserts nothing. Usage: watch_cpu.sh QUEDRIX QUEDRIX-SIM OUTPUT-FOLDER [SECONDS [ALT|STD]]
# (default 600 and ALT). Exit 77 when no X desktop can start.
set -uo pipefail

quedrix=$1 sim=$2 out=$3 seconds=${4:-600} mode=${5:-ALT}
interval=15
scripts="$(cd "$(dirname "$0")/.." && pwd)/scripts"
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || { echo "SECONDS must be a whole number above 0, got '$seconds'" >&2; exit 2; }
[[ "$mode" == ALT || "$mode" == STD ]] || { echo "the mode is ALT or STD, got '$mode'" >&2; exit 2; }

for tool in Xvfb xdpyinfo openbox trayer xdotool xwininfo xprop dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/setup-deps.sh lists it)" >&2; exit 77; }
done
# Without a StatusNotifier watcher on the session bus Qt docks its icon over XEmbed into trayer.
if [[ -z "${WATCH_CPU_SESSION:-}" ]]; then
    WATCH_CPU_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

source "$scripts/xdesktop.sh"
source "$scripts/demo-home.sh"
rm -rf "$out"
mkdir -p "$out/home"
trap xdesktop_stop_all EXIT
xdesktop_start "$out" || { echo "no X desktop could be started" >&2; exit 77; }

home=$out/home
write_demo_home "$home" "$home/COM1" "$quedrix"
printf '\r\n[Watch]\r\nEnabled=1\r\nInterval=%d\r\n' "$interval" >>"$home/Quedrix.cfg"
if [[ "$mode" == ALT ]]; then
    # Tables 1 and 4 running (started 1 h and 1000 s ago); table 6's counter runs out after 40 s,
    # so the ledger gets an end line besides the start lines.
    counters=28400,0,0,31000,0,40,0,0 args=(ALT)
else
    # Table 1 long, table 2 running out after 250 s, table 3 at 0.
    counters=3725,250,0,900,0,0,0,0 args=()
fi
"$sim" --link "$home/COM1" --counters "$counters" --log "$out/frames.log" >"$out/sim.log" 2>&1 &
XDESKTOP_PROGRAMS+=($!)
poll_until 10 test -e "$home/COM1" || { echo "the simulator did not publish its port" >&2; exit 1; }

QUEDRIX_HOME="$home" QT_QPA_PLATFORM=xcb "$quedrix" "${args[@]}" >"$out/quedrix.log" 2>&1 &
pid=$!
XDESKTOP_PROGRAMS+=($pid)
poll_until 30 xdesktop_tray_icon "$pid" >/dev/null || { echo "no tray icon within 30 s (see $out/quedrix.log)" >&2; exit 1; }

# User plus system CPU time of the process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
readings() { grep -c "<STX>G" "$out/frames.log" 2>/dev/null || true; }

sleep 5 # the start-up's discovery and first pass are over by now
before=$(cpu_ticks "$pid") read_before=$(readings)
sleep "$seconds"
kill -0 "$pid" 2>/dev/null || { echo "quedrix ended during the measurement (see $out/quedrix.log)" >&2; exit 1; }
after=$(cpu_ticks "$pid") read_after=$(readings)
xdesktop_window_named "$pid" "Zentrovik Quedrix" >/dev/null && echo "note: the window was shown meanwhile" >&2
ledger=0
[[ -f "$home/Ledger.csv" ]] && ledger=$(($(wc -l <"$home/Ledger.csv") - 1)) # less its header

awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" -v mode="$mode" \
    -v passes=$(((read_after - read_before) / 8)) -v expected=$((seconds / interval)) -v ledger="$ledger" 'BEGIN {
    printf "quedrix %s, watched (Interval 15 s), window hidden, %d s (logs in the output folder)\n", mode, s
    if (t == 0)
        printf "  CPU time                        <%.2f s (under one clock tick)\n", 1 / hz
    else
        printf "  CPU time                        %.2f s\n", t / hz
    printf "  share of one core               %s%.4f %%   (goal: at most 0.1 %%)\n", t == 0 ? "<" : "", (t == 0 ? 1 : t) / hz / s * 100
    printf "  refresh passes seen             %d   (expected about %d)\n", passes, expected
    printf "  ledger lines                    %d\n", ledger
    if (passes == 0 && s >= 15)
        print "  no pass read the controller: the figure is that of a program that does not watch"
}'
