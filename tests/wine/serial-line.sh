#!/usr/bin/env bash
# The Win32 serial tests under Wine: serial-line.sh <wine-run.sh> <wine folder> <tests.exe> [gtest options].
# COM5 answers (version 12, table n counts n*10, frames logged), COM6 never answers, COM7 answers
# after 300 ms in pieces.
set -euo pipefail

run=$1 folder=$2
shift 2
source "$(dirname "$0")/simulators.sh"
trap stop_simulators EXIT

ports=$folder/ports
log=$folder/answering-controller.log # not COM5.log: Windows reads that name as the port
: >"$log"
start_simulator "$ports" 5 --version 12 --counters 10,20,30,40,50,60,70,80 --log "$log"
start_simulator "$ports" 6 --silent
start_simulator "$ports" 7 --version 12 --reply-delay 300 --split

# Wine hands the environment on; the log's name is wanted in the Windows form (Z: is the root).
QUEDRIX_SIM_LOG="Z:${log//\//\\}" "$run" "$folder" "$@"
