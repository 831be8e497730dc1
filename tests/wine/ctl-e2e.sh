#!/usr/bin/env bash
# quedrix-ctl.exe under Wine against a simulated controller behind COM3, as a technician runs it:
# ctl-e2e.sh <wine-run.sh> <wine folder> <quedrix-ctl.exe>.
set -euo pipefail

run=$1 folder=$2 ctl=$3
source "$(dirname "$0")/simulators.sh"
trap stop_simulators EXIT

start_simulator "$folder/ports" 3 --version 12 --counters 1,2,125,4,5,6,7,0

failures=0
# expect <description> <exit status> <output pattern> <command words...>: the output (stdout and
# stderr, without CR) must match the pattern, where * stands for any text.
expect() {
    local what=$1 want_status=$2 want=$3
    shift 3
    local got status=0
    got=$("$run" "$folder" "$ctl" "$@" 2>&1 | tr -d '\r'; exit "${PIPESTATUS[0]}") || status=$?
    # shellcheck disable=SC2053 # the pattern's * is meant
    if [[ $status -eq $want_status && $got == $want ]]; then
        echo "ok: $what"
    else
        echo "FAILED: $what (status $status, wanted $want_status)"
        echo "  wanted: $want"
        echo "  got:    $got"
        failures=$((failures + 1))
    fi
}

# Wine opens the empty entries of its port list (COM1, COM2) and fails their first serial call.
expect "scan finds the controller on COM3 and says why COM1 and COM2 are not it" 0 \
    "$(printf '%s\n' "quedrix-ctl: COM1: opened, but it does not work as a serial line: *" \
        "quedrix-ctl: COM2: opened, but it does not work as a serial line: *" "COM3 version 12")" scan
expect "get-all reads the eight tables" 0 "$(printf '%s\n' "1 1" "2 2" "3 125" "4 4" "5 5" "6 6" "7 7" "8 0")" \
    --port 3 get-all
expect "version" 0 "12" --port 3 version
expect "set loads a counter" 0 "4 300" --port 3 set 4 300
expect "get reads it back" 0 "4 300" --port 3 get 4
expect "reset clears a counter" 0 "3 0" --port 3 reset 3
expect "get reads the reset counter" 0 "3 0" --port 3 get 3
# Windows fails such a port at CreateFile; Wine opens the empty entry of its port list and fails
# at the first serial call (PurgeComm).
expect "a port that leads nowhere cannot be opened" 1 "quedrix-ctl: cannot open COM4: CommOpen (*) - *" \
    --port 4 version
[[ $failures -eq 0 ]]
