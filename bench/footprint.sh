#!/usr/bin/env bash
# What the program costs on a desktop, beside a minimal Qt tray program (one window, one icon): the time
# from start to its icon docked in the tray with no ports (median of 10 starts), its resident memory
# then, and the CPU time it takes in 60 s with the alternative window shown. Runs on its own virtual
# desktop (Xvfb, openbox, trayer); prints the figures and asserts nothing.
# Usage: footprint.sh QUEDRIX MINIMAL_TRAY OUTPUT-FOLDER. Exit 77 when no X desktop can start.
set -uo pipefail

quedrix=$1 minimal=$2 out=$3
starts=${FOOTPRINT_STARTS:-10}
cpu_seconds=${FOOTPRINT_CPU_SECONDS:-60}
scripts="$(cd "$(dirname "$0")/.." && pwd)/scripts"

for tool in Xvfb xdpyinfo openbox trayer xdotool xwininfo xprop dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/setup-deps.sh lists it)" >&2; exit 77; }
done
# Without a StatusNotifier watcher on the session bus Qt docks its icon over XEmbed into trayer.
if [[ -z "${FOOTPRINT_SESSION:-}" ]]; then
    FOOTPRINT_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

source "$scripts/xdesktop.sh"
rm -rf "$out"
mkdir -p "$out/home" "$out/no-ports"
trap xdesktop_stop_all EXIT
xdesktop_start "$out" || { echo "no X desktop could be started" >&2; exit 77; }
cp "$(dirname "$quedrix")/Common.lng" "$out/home/"
# Every COMn names a file in an empty folder: no port exists, none is ever a real device.
export QUEDRIX_HOME="$out/home" QUEDRIX_PORT_DIR="$out/no-ports" QT_QPA_PLATFORM=xcb

now_ms() { echo $(($(date +%s%N) / 1000000)); }
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
# User plus system CPU time of the process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Figures are handed back in globals: command substitution would run them in a subshell, which
# loses the pid of the program started.
pid= elapsed= figure_start= figure_rss= figure_cpu=
# launch NAME PROGRAM [ARGS...]: starts the program and waits for its icon in trayer's panel; elapsed
# is the milliseconds that took.
launch() {
    local name=$1 started
    shift
    started=$(now_ms)
    "$@" >>"$out/$name.log" 2>&1 &
    pid=$!
    XDESKTOP_PROGRAMS+=($pid)
    local deadline=$((SECONDS + 30))
    until xdesktop_tray_icon "$pid" >/dev/null; do
        if ((SECONDS > deadline)) || ! kill -0 "$pid" 2>/dev/null; then
            echo "$name: no tray icon within 30 s (see $out/$name.log)" >&2
            return 1
        fi
        sleep 0.005
    done
    elapsed=$(($(now_ms) - started))
}

finish() {
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    XDESKTOP_PROGRAMS=()
}

# start_figures NAME PROGRAM [ARGS...]: the median start time (ms) and resident memory (KiB).
start_figures() {
    local name=$1 i times=() rss=()
    shift
    for ((i = 0; i < starts; i++)); do
        launch "$name" "$@" || return 1
        times+=("$elapsed")
        sleep 1 # the start-up's own work is over by now
        rss+=("$(rss_kib "$pid")")
        finish
    done
    figure_start=$(printf '%s\n' "${times[@]}" | median)
    figure_rss=$(printf '%s\n' "${rss[@]}" | median)
}

# cpu_figure NAME TITLE PROGRAM [ARGS...]: the CPU seconds taken in cpu_seconds with the window TITLE shown.
cpu_figure() {
    local name=$1 title=$2 icon before after
    shift 2
    launch "$name" "$@" || return 1
    icon=$(xdesktop_tray_icon "$pid")
    shown() { [[ -n "$(xdesktop_window_named "$pid" "$title")" ]]; }
    xdesktop_double_click_until "$icon" shown || { echo "$name: the window did not show" >&2; return 1; }
    sleep 2
    before=$(cpu_ticks "$pid")
    sleep "$cpu_seconds"
    after=$(cpu_ticks "$pid")
    finish
    # The kernel counts CPU time in clock ticks; less than one tick shows as "<" one tick.
    figure_cpu=$(awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" \
        'BEGIN { if (t == 0) printf "<%.2f", 1 / hz; else printf "%.2f", t / hz }')
}

echo "footprint on $DISPLAY, $starts starts each, CPU over ${cpu_seconds} s (logs in $out)"
start_figures quedrix "$quedrix" || exit 1
q_start=$figure_start q_rss=$figure_rss
start_figures minimal "$minimal" || exit 1
m_start=$figure_start m_rss=$figure_rss
cpu_figure quedrix-alt "Zentrovik Quedrix" "$quedrix" ALT || exit 1
q_cpu=$figure_cpu
cpu_figure minimal-window "Minimal tray" "$minimal" || exit 1
m_cpu=$figure_cpu

row() {
    awk -v what="$1" -v q="$2" -v m="$3" 'BEGIN {
        ratio = (m > 0 && q !~ /^</) ? sprintf("%.2f", q / m) : "-"
        printf "%-38s %10s %10s %8s\n", what, q, m, ratio }'
}
printf '%-38s %10s %10s %8s\n' "" quedrix minimal ratio
row "start to tray icon, median (ms)" "$q_start" "$m_start"
row "resident memory after start (KiB)" "$q_rss" "$m_rss"
row "CPU in ${cpu_seconds} s, window shown (s)" "$q_cpu" "$m_cpu"
echo "(the start is timed by polling the tray every few milliseconds, each poll a few X round trips)"
