# Sourced by the desktop e2e tests of either shell, after scripts/xdesktop.sh.
# expect_time_up_notification SECONDS APP HOME OUT TABLE LIST-WINDOWS...: within SECONDS a visible
# window that LIST-WINDOWS prints, other than the tray icon $icon, comes up: the notification of the
# table running out. The monitor window stays hidden and the ledger in HOME holds the table's time-up
# line. The screen lands in OUT/notification.png; a failure ends the test through fail.
expect_time_up_notification() {
    local seconds=$1 app=$2 home=$3 out=$4 table=$5
    shift 5
    notification_shown() { "$@" 2>/dev/null | grep -qvx "$icon"; }
    poll_until "$seconds" notification_shown "$@" || fail "no notification appeared when table $table ran out"
    import -window root "$out/notification.png"
    [[ -z "$(xdesktop_window_named "$app" 'Zentrovik Quedrix')" ]] || fail "the alert showed the window"
    grep -q "^[^,]*,standard,$table,time-up,0," "$home/Ledger.csv" ||
        fail "no time-up line for table $table in the ledger: $(cat "$home/Ledger.csv" 2>&1)"
    echo "PASSED: the notification of table $table came up (see $out/notification.png)"
}
