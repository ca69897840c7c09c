#!/usr/bin/env bash
# Runs a command on a headless weston (a Wayland desktop without a screen) and exits with its
# status; exits 77 (a skip for CTest) with the reason where weston cannot start here.
#   run-under-weston.sh COMMAND...           with DISPLAY naming weston's Xwayland server
#   run-under-weston.sh --native COMMAND...  on Wayland itself: no X server, WAYLAND_DISPLAY
#                                            naming weston's socket by its full path, and
#                                            weston-debug able to list what is on the screen
native=false
if [ "${1:-}" = --native ]; then
    native=true
    shift
fi
if ! command -v weston >/dev/null || { ! $native && ! command -v Xwayland >/dev/null; }; then
    echo "skipped: weston or Xwayland is not installed (apt-get install weston xwayland)"
    exit 77
fi
runtime=$(mktemp -d)
chmod 700 "$runtime"
log=$runtime/weston.log
if $native; then
    options=(--use-pixman --debug)
else
    options=(--xwayland)
fi
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so "${options[@]}" \
    --socket=tavrin-test --width=1280 --height=800 --idle-time=0 >"$log" 2>&1 &
weston_pid=$!
display=
for _ in $(seq 100); do
    if $native; then
        # The desktop is up once its shell has started.
        grep -q "launching '.*weston-desktop-shell'" "$log" && [ -S "$runtime/tavrin-test" ] &&
            display=$runtime/tavrin-test
    else
        display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$log")
    fi
    [ -n "$display" ] && break
    sleep 0.1
done
if [ -z "$display" ]; then
    echo "skipped: weston did not start here:"
    tail -5 "$log"
    kill "$weston_pid" 2>/dev/null
    rm -rf "$runtime"
    exit 77
fi
if $native; then
    env -u DISPLAY WAYLAND_DISPLAY="$display" XDG_RUNTIME_DIR="$runtime" "$@"
else
    DISPLAY=$display WAYLAND_DISPLAY=tavrin-test XDG_RUNTIME_DIR=$runtime "$@"
fi
status=$?
kill "$weston_pid" 2>/dev/null
wait "$weston_pid" 2>/dev/null
rm -rf "$runtime"
exit $status
