# Shell functions for a throw-away X desktop with a system tray: Xvfb, openbox and trayer.
# Sourced by the real-desktop test and by `make demo`. Every wait polls with a deadline.
# Processes started here are recorded in XDESKTOP_PIDS; xdesktop_stop ends exactly those.

XDESKTOP_PIDS=()
# Programs the caller started on the desktop (simulator, quedrix); ended before the desktop.
XDESKTOP_PROGRAMS=()

# poll_until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; 1 on time-out.
poll_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# xdesktop_start LOGDIR [no-tray]: starts Xvfb on a free display, openbox and (unless no-tray)
# trayer; exports DISPLAY. A second try follows a failed first one (another X server coming or going
# can disturb it); returns 1 with a message on stderr when neither comes up.
xdesktop_start() {
    xdesktop_try_start "$@" && return 0
    echo "retrying the X desktop once" >&2
    xdesktop_stop
    xdesktop_try_start "$@"
}

xdesktop_try_start() {
    local logdir=$1 fdfile="$1/xvfb.display"
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >"$logdir/xvfb.log" 2>&1 &
    local xvfb=$!
    XDESKTOP_PIDS+=($xvfb)
    # Done when Xvfb has told its display number, or has given up.
    poll_until 20 eval "test -s '$fdfile' || ! kill -0 $xvfb 2>/dev/null"
    if ! test -s "$fdfile"; then
        echo "Xvfb did not start (see $logdir/xvfb.log)" >&2
        return 1
    fi
    export DISPLAY=":$(head -n1 "$fdfile")"
    if ! poll_until 20 xdpyinfo >/dev/null 2>&1; then
        echo "Xvfb on $DISPLAY does not answer" >&2
        return 1
    fi

    openbox --sm-disable >"$logdir/openbox.log" 2>&1 &
    local openbox=$!
    XDESKTOP_PIDS+=($openbox)
    poll_until 20 eval "xdesktop_has_wm || ! kill -0 $openbox 2>/dev/null"
    if ! xdesktop_has_wm; then
        echo "openbox did not start (see $logdir/openbox.log)" >&2
        return 1
    fi

    [[ "${2:-}" == no-tray ]] || xdesktop_start_tray "$logdir"
}

# xdesktop_start_tray LOGDIR: starts trayer, the tray host; returns once its panel is there.
xdesktop_start_tray() {
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
        --SetDockType true --SetPartialStrut true --transparent false --tint 0x404040 \
        >>"$1/trayer.log" 2>&1 &
    XDESKTOP_TRAY=$!
    XDESKTOP_PIDS+=($!)
    if ! poll_until 20 xdesktop_tray_panel >/dev/null; then
        echo "trayer did not start (see $1/trayer.log)" >&2
        return 1
    fi
}

# xdesktop_stop_tray: ends the trayer that xdesktop_start_tray started last.
xdesktop_stop_tray() {
    kill "$XDESKTOP_TRAY" 2>/dev/null || true
    wait "$XDESKTOP_TRAY" 2>/dev/null || true
}

xdesktop_has_wm() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# The window of trayer's panel, into which tray icons are embedded.
xdesktop_tray_panel() {
    local id
    id=$(xdotool search --classname '^panel$' 2>/dev/null | head -n1)
    [[ -n "$id" ]] && echo "$id"
}

# xdesktop_parent WINDOW: the parent window id (decimal).
xdesktop_parent() {
    local parent
    parent=$(xwininfo -children -id "$1" 2>/dev/null | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    [[ -n "$parent" ]] && printf '%d\n' "$parent"
}

# xdesktop_tray_icon PID: the window of PID's tray icon once it sits inside trayer's panel.
xdesktop_tray_icon() {
    # shellcheck disable=SC2046 # one word per window
    xdesktop_docked $(xdotool search --pid "$1" 2>/dev/null)
}

# xdesktop_docked WINDOW...: the first of these windows that sits inside trayer's panel. Under Wine
# the icons belong to the prefix's explorer.exe, not to the program that added them.
xdesktop_docked() {
    local panel window ancestor
    panel=$(xdesktop_tray_panel) || return 1
    for window in "$@"; do
        ancestor=$window
        while ancestor=$(xdesktop_parent "$ancestor") && ((ancestor != 0)); do
            if ((ancestor == panel)); then
                echo "$window"
                return 0
            fi
        done
    done
    return 1
}

# xdesktop_window_named PID NAME: a visible window of PID whose title is NAME.
xdesktop_window_named() {
    local id
    id=$(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | head -n1)
    [[ -n "$id" ]] && echo "$id"
}

# xdesktop_visible_windows PID: how many windows of PID are mapped.
xdesktop_visible_windows() {
    xdotool search --onlyvisible --pid "$1" 2>/dev/null | wc -l
}

# xdesktop_center WINDOW: "X Y" of the window's centre on the screen.
xdesktop_center() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
}

# xdesktop_double_click WINDOW: a left double-click in the middle of the window.
xdesktop_double_click() {
    local x y
    read -r x y < <(xdesktop_center "$1")
    xdotool mousemove --sync "$x" "$y" click --repeat 2 --delay 120 1
}

# xdesktop_double_click_until WINDOW CHECK: double-clicks WINDOW until CHECK succeeds, at most three
# times; a double-click can be lost when the machine is so busy that its two clicks drift apart.
xdesktop_double_click_until() {
    local attempt
    for attempt in 1 2 3; do
        ((attempt == 1)) || echo "no effect yet, double-clicking again" >&2
        xdesktop_double_click "$1"
        poll_until 10 "$2" && return 0
    done
    return 1
}

# xdesktop_label_colour PNG X Y W H: the colour that fills most of that rectangle, as "R,G,B".
xdesktop_label_colour() {
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 -format %c histogram:info:- |
        sort -rn | head -n1 | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

# xdesktop_stop: ends every process this file started, newest first.
xdesktop_stop() {
    local i
    for ((i = ${#XDESKTOP_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${XDESKTOP_PIDS[i]}" 2>/dev/null || true
    done
    for ((i = ${#XDESKTOP_PIDS[@]} - 1; i >= 0; i--)); do
        wait "${XDESKTOP_PIDS[i]}" 2>/dev/null || true
    done
    XDESKTOP_PIDS=()
}

# xdesktop_stop_all: ends the caller's programs, then the desktop.
xdesktop_stop_all() {
    local pid
    for pid in "${XDESKTOP_PROGRAMS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${XDESKTOP_PROGRAMS[@]}"; do wait "$pid" 2>/dev/null || true; done
    XDESKTOP_PROGRAMS=()
    xdesktop_stop
}
