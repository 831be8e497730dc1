#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix: wine-run.sh <wine folder> <program> [args].
# The first call makes the prefix; every serial port in it leads nowhere except the ones that the
# tests point at simulators (<wine folder>/ports/COMn), so no test opens a real port.
# One wine server is kept running while calls keep coming, so each program starts fast.
set -euo pipefail

folder=$(realpath -m "$1") # Wine takes only an absolute prefix
shift
mkdir -p "$folder/ports"
export WINEPREFIX=$folder/prefix
export WINEDEBUG=-all
# No Mono or Gecko installers: the tests need neither, and there is no network to fetch them. No
# menu entries or file associations on this machine's desktop for what the tests install in a prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The ANSI code page (1252) and the regional settings of an English Windows, whatever the machine's locale.
export LANG=${QUEDRIX_WINE_LOCALE:-C.UTF-8} LC_ALL=${QUEDRIX_WINE_LOCALE:-C.UTF-8}

# The COM ports that lead to simulators: those of the serial-line tests unless QUEDRIX_WINE_PORTS
# names others (a blank-separated list of numbers). Read only when the prefix is made.
read -r -a simulated_ports <<<"${QUEDRIX_WINE_PORTS:-3 5 6 7}"

make_prefix() {
    wineboot --init </dev/null >/dev/null 2>&1 9>&-
    local reg=$folder/ports.reg
    {
        printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
        for n in $(seq 1 20); do
            if [[ " ${simulated_ports[*]} " == *" $n "* ]]; then
                printf '"COM%d"="%s"\r\n' "$n" "$folder/ports/COM$n"
            else
                printf '"COM%d"=""\r\n' "$n"
            fi
        done
    } >"$reg"
    wine regedit /S "$reg" >/dev/null 2>&1
    # The mount manager takes the ports from the registry when the server starts.
    wineserver -k || true
    wineserver -w
    touch "$WINEPREFIX/.quedrix-ready"
}

{
    flock 9
    [[ -f $WINEPREFIX/.quedrix-ready ]] || make_prefix
    # The server and Wine's own services outlive this script: they get neither the lock nor its
    # output, or whoever reads that output (CTest) would wait for them.
    if wineserver -p60 </dev/null >/dev/null 2>&1 9>&-; then
        wineboot </dev/null >/dev/null 2>&1 9>&-
    fi
} 9>"$folder/prefix.lock"

exec wine "$@"
