#!/usr/bin/env bash
# The Debian package of TREE (a tree of the package preset): lintian finds no error or warning in it
# (a manual page per program among others); unpacked with dpkg-deb into a temporary root, its desktop
# entries and its AppStream entry pass their validators, its quedrix-ctl answers --help, and its
# quedrix, started as an ordinary user (nobody when run as root) on the offscreen platform against
# its own simulator, finds the controller and keeps its files in that user's data folder, none beside
# the executable.
# Usage: package_test.sh TREE
set -uo pipefail

tree=$1
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
source "$source_dir/scripts/xdesktop.sh" # poll_until, and the stop of the programs started here

work=
cleanup() {
    xdesktop_stop_all
    [[ -n "$work" ]] && rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    local log
    for log in "$work"/*.log "$work"/user/*.log; do
        [[ -f "$log" ]] && { echo "--- $log"; cat "$log"; }
    done
    exit 1
}

deb=$("$source_dir/scripts/package.sh" "$tree") || fail "cpack or lintian failed"
echo "package: $deb"

work=$(mktemp -d)
chmod 755 "$work"
dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x failed"
bin="$work/root/usr/bin"

# desktop-file-validate reports warnings and hints with status 0: clean means it prints nothing.
entries=("$work"/root/usr/share/applications/*.desktop "$work/root/etc/xdg/autostart/quedrix.desktop")
problems=$(desktop-file-validate "${entries[@]}" 2>&1)
[[ $? -eq 0 && -z "$problems" ]] || fail "desktop-file-validate: $problems"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli validate refused the metainfo"

"$bin/quedrix-ctl" --help >"$work/help.log" 2>&1 || fail "quedrix-ctl --help failed"
grep -q '^Usage: quedrix-ctl' "$work/help.log" || fail "quedrix-ctl --help printed no usage"

# The user's home and a folder of their own for the simulator's link and frame log.
mkdir "$work/home" "$work/user"
as_user=()
user=$(id -un)
if [[ $(id -u) -eq 0 ]]; then
    user=nobody
    chown nobody:nogroup "$work/home" "$work/user"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
user_env=(env -i "HOME=$work/home" PATH=/usr/bin:/bin "QUEDRIX_PORT_DIR=$work/user" QT_QPA_PLATFORM=offscreen)

"${as_user[@]}" "${user_env[@]}" "$bin/quedrix-sim" --link "$work/user/COM1" --version 7 \
    --log "$work/user/frames.log" >"$work/sim.log" 2>&1 &
XDESKTOP_PROGRAMS+=($!)
poll_until 10 test -e "$work/user/COM1" || fail "the simulator did not start"

"${as_user[@]}" "${user_env[@]}" "$bin/quedrix" >"$work/quedrix.log" 2>&1 &
app=$!
XDESKTOP_PROGRAMS+=($app)
asked_version() { grep -q '<STX>V' "$work/user/frames.log" 2>/dev/null; }
poll_until 30 asked_version || fail "quedrix did not ask the simulator for its version"

data="$work/home/.local/share/quedrix"
languages_written() { grep -q '^\[Languages\]' "$data/Quedrix.cfg" 2>/dev/null; }
poll_until 10 languages_written || fail "no language list in $data/Quedrix.cfg"
cmp -s "$work/root/usr/share/quedrix/Common.lng" "$data/Common.lng" || fail "Common.lng was not copied to $data"
[[ -e "$data/Quedrix.lock" ]] || fail "the running copy holds no lock in $data"
[[ $(stat -c %U "$data/Quedrix.cfg") == "$user" ]] || fail "Quedrix.cfg does not belong to $user"
[[ $(stat -c %a "$data") == 700 ]] || fail "$data is not private to $user"
kill -0 "$app" 2>/dev/null || fail "quedrix ended by itself"
listing=$(ls "$bin" | tr '\n' ' ')
[[ "$listing" == "quedrix quedrix-ctl quedrix-sim " ]] || fail "files beside the executables: $listing"

kill "$app"
wait "$app" 2>/dev/null
scan=$("${as_user[@]}" "${user_env[@]}" "$bin/quedrix-ctl" scan 2>&1) || fail "quedrix-ctl scan: $scan"
[[ "$scan" == "COM1 version 7" ]] || fail "quedrix-ctl scan printed: $scan"

echo "PASSED: $deb unpacked, quedrix ran as $user with its files in its data folder"
