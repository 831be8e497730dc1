# Table controller simulators (the build for this machine) behind Wine's COM ports, for the
# serial-line tests; sourced by their scripts. Each link is where the prefix's COMn leads.

sim_pids=()

# start_simulator <ports folder> <port number> [quedrix-sim options]: returns once its link is there.
start_simulator() {
    local folder=$1 port=$2
    shift 2
    local link=$folder/COM$port
    "$QUEDRIX_HOST_SIM" --link "$link" --tick-ms 0 "$@" >/dev/null &
    sim_pids+=($!)
    for _ in $(seq 100); do
        [[ -L $link ]] && return 0
        sleep 0.05
    done
    echo "simulator on COM$port did not start" >&2
    return 1
}

stop_simulators() {
    for pid in "${sim_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    sim_pids=()
}

if [[ ! -x ${QUEDRIX_HOST_SIM:-} ]]; then
    echo "quedrix-sim for this machine not found at '${QUEDRIX_HOST_SIM:-}': build the asan preset first" >&2
    exit 1
fi
