#!/usr/bin/env bash
# Runs a command against Xwayland under a headless weston (a Wayland desktop without a screen),
# with DISPLAY naming weston's X server; exits 77 (a skip for CTest) with the reason where weston
# cannot start here.
#   run-under-weston.sh COMMAND...
if ! command -v weston >/dev/null || ! command -v Xwayland >/dev/null; then
    echo "skipped: weston or Xwayland is not installed (apt-get install weston xwayland)"
    exit 77
fi
runtime=$(mktemp -d)
chmod 700 "$runtime"
log=$runtime/weston.log
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --xwayland --socket=tavrin-test \
    --width=1280 --height=800 --idle-time=0 >"$log" 2>&1 &
weston_pid=$!
display=
for _ in $(seq 100); do
    display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log")
    [ -n "$display" ] && break
    sleep 0.1
done
if [ -z "$display" ]; then
    echo "skipped: weston with Xwayland did not start here:"
    tail -5 "$log"
    kill "$weston_pid" 2>/dev/null
    rm -rf "$runtime"
    exit 77
fi
DISPLAY=$display WAYLAND_DISPLAY=tavrin-test XDG_RUNTIME_DIR=$runtime "$@"
status=$?
kill "$weston_pid" 2>/dev/null
wait "$weston_pid" 2>/dev/null
rm -rf "$runtime"
exit $status
