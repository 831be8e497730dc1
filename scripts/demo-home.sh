# write_demo_home FOLDER SIMLINK QUEDRIX: an application folder whose Quedrix.cfg maps COM1 to the
# simulator's link and every other COM port to nothing (so no real port is ever opened), with a
# [Tariff] section, and the language file shipped beside the executable QUEDRIX.
write_demo_home() {
    local folder=$1 link=$2 quedrix=$3 sep n
    sep=$(locale decimal_point 2>/dev/null | head -n1)
    [[ -n "$sep" ]] || sep=.
    mkdir -p "$folder"
    {
        printf '[Ports]\r\n'
        printf 'COM1=%s\r\n' "$link"
        for n in $(seq 2 20); do
            printf 'COM%d=%s/no-such-port\r\n' "$n" "$folder"
        done
        printf '\r\n[Tariff]\r\n'
        printf 'Peak=0%s50\r\nOffPeak=0%s30\r\nStartTime=08:00\r\nEndTime=18:00\r\n' "$sep" "$sep"
    } >"$folder/Quedrix.cfg"
    cp "$(dirname "$quedrix")/Common.lng" "$folder/"
}
