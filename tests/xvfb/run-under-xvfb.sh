#!/usr/bin/env bash
# Runs a command under a fresh Xvfb server; exits 77 (a skip for CTest) with a clear message
# when no Xvfb can be started here.
#   run-under-xvfb.sh [--wm | --wm=NAME] [--screen WxH] COMMAND...
# --wm starts the openbox window manager first (--wm=icewm another) and waits until it manages
# the screen.
screen=1280x800
wm=
while [ $# -gt 0 ]; do
    case "$1" in
        --wm) wm=openbox; shift ;;
        --wm=*) wm=${1#--wm=}; shift ;;
        --screen) screen=$2; shift 2 ;;
        *) break ;;
    esac
done
if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null; then
    echo "skipped: Xvfb is not installed (apt-get install xvfb xauth)"
    exit 77
fi
if [ -n "$wm" ] && ! command -v "$wm" >/dev/null; then
    echo "skipped: $wm is not installed (apt-get install $wm)"
    exit 77
fi
# The window manager's start is awaited with xprop.
if [ -n "$wm" ] && ! command -v xprop >/dev/null; then
    echo "skipped: xprop is not installed (apt-get install x11-utils)"
    exit 77
fi
if ! xvfb-run -a -s "-screen 0 ${screen}x24" true 2>/dev/null; then
    echo "skipped: Xvfb cannot start here"
    exit 77
fi
if [ -z "$wm" ]; then
    exec xvfb-run -a -s "-screen 0 ${screen}x24" "$@"
fi
exec xvfb-run -a -s "-screen 0 ${screen}x24" "$(dirname "$0")/with-window-manager.sh" "$wm" "$@"
