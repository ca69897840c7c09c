#!/usr/bin/env bash
# Runs a command on the current display under a window manager, which is started first and
# stopped after; the command's exit status is this script's.
#   with-window-manager.sh openbox COMMAND...
wm=$1
shift
# No session manager: openbox would otherwise look for one.
options=()
[ "$wm" = openbox ] && options=(--sm-disable)

# The window manager is ready once it announces itself on the root window.
announced() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# A window manager that has not announced itself in 30 seconds is started once more: now and
# then one dies while it starts.
for attempt in 1 2; do
    "$wm" "${options[@]}" >/dev/null 2>&1 &
    wm_pid=$!
    for _ in $(seq 300); do
        announced && break
        sleep 0.1
    done
    announced && break
    kill "$wm_pid" 2>/dev/null
    wait "$wm_pid" 2>/dev/null
done
if ! announced; then
    echo "FAILED: $wm did not start within 30 seconds, twice"
    exit 1
fi
"$@"
status=$?
kill "$wm_pid" 2>/dev/null
wait "$wm_pid" 2>/dev/null
exit $status
