#!/usr/bin/env bash
# quedrix-setup-<version>.exe under Wine, in a prefix made afresh for the run, once per language of
# its language page: a silent install with /LANG=; the files, the Start-menu and Startup entries, the
# Apps & Features entry and "Installer Language" in the 64-bit registry view are there; the installed
# quedrix.exe's first start writes the user's Quedrix.cfg with that language in force and nothing into
# the install folder; a silent uninstall takes the files, the entries and the keys away and leaves the
# user's Quedrix.cfg. An unknown /LANG= installs nothing.
# Usage: installer-e2e.sh WINE-RUN WINE-FOLDER SETUP.EXE. Exit 77 (skipped) without an X display.
set -uo pipefail

run=$1 folder=$(realpath -m "$2") setup=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
version=$(basename "$setup" .exe)
version=${version#quedrix-setup-}

source "$here/../support/e2e-outcome.sh"

# The program makes a window, hidden as it is.
[[ -n "${DISPLAY:-}" ]] || skip "no X display (run CTest under xvfb-run)"
source "$here/../../scripts/xdesktop.sh" # poll_until

# No COM port of this prefix leads to a simulator (a blank list): the program finds no controller.
export QUEDRIX_WINE_PORTS=" "
export WINEPREFIX=$folder/prefix
win() { "$run" "$folder" "$@"; }
app=
cleanup() {
    [[ -n "$app" ]] && kill "$app" 2>/dev/null
    wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

started=$SECONDS
wineserver -k 2>/dev/null || true
rm -rf "$folder"
win cmd /c exit >/dev/null 2>&1 || fail "no Wine prefix could be made in $folder"
echo "fresh prefix made in $((SECONDS - started)) s"

drive_c=$WINEPREFIX/drive_c
programs="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
install_dir="$drive_c/Program Files/Zentrovik/Quedrix"
exe='C:\Program Files\Zentrovik\Quedrix\quedrix.exe'
settings_key='HKLM\SOFTWARE\Zentrovik\Quedrix'
uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Zentrovik Quedrix'
data=$(realpath -m "$(win winepath -u "$(win cmd /c echo %LOCALAPPDATA% | tr -d '\r')" | tr -d '\r')")/Zentrovik/Quedrix
[[ "$data" == "$drive_c"/users/*/AppData/Local/Zentrovik/Quedrix ]] || fail "unexpected data folder $data"

# reg_value KEY NAME: the value's type and data in the 64-bit view; status 1 when it is not there.
reg_value() {
    win reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 \{4\}\(REG_[A-Z_]*\) \{4\}\(.*\)/\1 \2/p" | grep .
}
key_exists() { win reg query "$1" /reg:64 >/dev/null 2>&1; }
# shortcut_words LNK: the texts a shortcut holds (UTF-16), one a line.
shortcut_words() { strings -el -n3 "$1"; }
# ini_value FILE SECTION KEY (nothing while the file is missing, also for a moment while it is replaced)
ini_value() {
    tr -d '\r' 2>/dev/null <"$1" | awk -v section="[$2]" -v key="$3" \
        '/^\[/ { inside = ($0 == section); next } inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }'
}
files_in() { (cd "$1" && find . -type f | sed 's|^\./||' | sort | xargs); }

win "$setup" /S /LANG=XX
status=$?
((status == 2)) || fail "/LANG=XX ended the installer with $status, expected 2"
[[ ! -e "$install_dir" ]] && ! key_exists "$settings_key" || fail "/LANG=XX installed something"
echo "/LANG=XX: refused with status 2, nothing installed"

# /LANG= as given, the "Installer Language" stored, the start-up language, further switches.
rounds=(
    "1026 1026 BG"
    "RU 1049 RU"
    "1033 1033 EN /NOSTARTUP"
)
for round in "${rounds[@]}"; do
    read -r lang id code switches <<<"$round"
    echo "--- /LANG=$lang ${switches:-}"
    rm -rf "$data"
    win "$setup" /S "/LANG=$lang" ${switches:+$switches} || fail "the silent install ended with $?"

    [[ "$(files_in "$install_dir")" == "Common.lng quedrix-ctl.exe quedrix.exe uninstall.exe" ]] ||
        fail "the install folder holds: $(files_in "$install_dir")"
    [[ "$(reg_value "$settings_key" 'Installer Language')" == "REG_SZ $id" ]] ||
        fail "Installer Language is '$(reg_value "$settings_key" 'Installer Language')', expected REG_SZ $id"
    for name in DisplayName:"Zentrovik Quedrix" DisplayVersion:"$version" Publisher:Zentrovik \
        UninstallString:"\"C:\\Program Files\\Zentrovik\\Quedrix\\uninstall.exe\""; do
        [[ "$(reg_value "$uninstall_key" "${name%%:*}")" == "REG_SZ ${name#*:}" ]] ||
            fail "Apps & Features: ${name%%:*} is '$(reg_value "$uninstall_key" "${name%%:*}")', expected '${name#*:}'"
    done
    menu="$programs/Zentrovik Quedrix"
    # The target's name, then the arguments last.
    starts() { shortcut_words "$1" | grep -qx quedrix.exe && [[ "$(shortcut_words "$1" | tail -n1)" == *"$2" ]]; }
    starts "$menu/Quedrix.lnk" Quedrix && ! shortcut_words "$menu/Quedrix.lnk" | grep -q ALT ||
        fail "the standard entry is not quedrix.exe without arguments: $(shortcut_words "$menu/Quedrix.lnk" | xargs)"
    starts "$menu/Quedrix ALT.lnk" ALT ||
        fail "the ALT entry does not start quedrix.exe ALT: $(shortcut_words "$menu/Quedrix ALT.lnk" | xargs)"
    if [[ -z "${switches:-}" ]]; then
        starts "$programs/StartUp/Quedrix.lnk" Quedrix || fail "no Startup entry for quedrix.exe"
    else
        [[ ! -e "$programs/StartUp/Quedrix.lnk" ]] || fail "a Startup entry despite $switches"
    fi
    echo "installed: files, entries, Installer Language $id"

    win "$exe" >/dev/null 2>&1 &
    app=$!
    language_written() { [[ -f "$data/Quedrix.cfg" && -n "$(ini_value "$data/Quedrix.cfg" Language Value)" ]]; }
    poll_until 30 language_written || fail "quedrix.exe wrote no [Language] Value into $data/Quedrix.cfg"
    [[ "$(ini_value "$data/Quedrix.cfg" Language Value)" == "$code" ]] ||
        fail "the first start put $(ini_value "$data/Quedrix.cfg" Language Value) in force, expected $code"
    [[ -f "$data/Common.lng" ]] || fail "Common.lng was not copied into $data"
    # The window answers the close request that taskkill sends by ending the program.
    win taskkill /im quedrix.exe >/dev/null 2>&1
    exited() { ! kill -0 "$app" 2>/dev/null; }
    poll_until 20 exited || fail "quedrix.exe did not end on a close request"
    wait "$app" || fail "quedrix.exe ended with status $?"
    app=
    [[ ! -e "$data/Quedrix.lock" ]] || fail "the lock was left behind in $data"
    [[ "$(files_in "$install_dir")" == "Common.lng quedrix-ctl.exe quedrix.exe uninstall.exe" ]] ||
        fail "quedrix.exe wrote into the install folder: $(files_in "$install_dir")"
    echo "first start: Quedrix.cfg with Value=$code in the user's data folder"

    win 'C:\Program Files\Zentrovik\Quedrix\uninstall.exe' /S || fail "the silent uninstall ended with $?"
    # The uninstaller goes on from a copy of itself in the temporary folder; the keys go last.
    uninstalled() {
        [[ ! -e "$drive_c/Program Files/Zentrovik" && ! -e "$menu" && ! -e "$programs/StartUp/Quedrix.lnk" ]] &&
            ! key_exists 'HKLM\SOFTWARE\Zentrovik' && ! key_exists "$uninstall_key"
    }
    poll_until 30 uninstalled || fail "left after the uninstall: $(find "$drive_c/Program Files/Zentrovik" "$menu" \
        "$programs/StartUp/Quedrix.lnk" 2>/dev/null | xargs), or the keys SOFTWARE\\Zentrovik or Apps & Features"
    [[ "$(ini_value "$data/Quedrix.cfg" Language Value)" == "$code" ]] || fail "the user's Quedrix.cfg is gone"
    echo "uninstalled: no file, entry or key left; the user's Quedrix.cfg kept"
done
echo "PASSED in $((SECONDS - started)) s"
# The prefix is made afresh by the next run anyway: its space goes back now.
cleanup
rm -rf "$folder"
