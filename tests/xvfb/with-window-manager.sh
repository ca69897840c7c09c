#!/usr/bin/env bash
# Runs a command on the current display under a window manager, which is started first and
# stopped after; the command's exit status is this script's.
#   with-window-manager.sh openbox COMMAND...
wm=$1
shift
"$wm" --sm-disable >/dev/null 2>&1 &
wm_pid=$!
# The window manager is ready once it announces itself on the root window.
for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    echo "FAILED: $wm did not start within 30 seconds"
    kill "$wm_pid" 2>/dev/null
    exit 1
fi
"$@"
status=$?
kill "$wm_pid" 2>/dev/null
wait "$wm_pid" 2>/dev/null
exit $status
