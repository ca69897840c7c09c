#!/usr/bin/env bash
# Runs a command under a fresh Xvfb server; exits 77 (a skip for CTest) with a clear message
# when no Xvfb can be started here.
if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null; then
    echo "skipped: Xvfb is not installed (apt-get install xvfb xauth)"
    exit 77
fi
if ! xvfb-run -a -s "-screen 0 1280x800x24" true 2>/dev/null; then
    echo "skipped: Xvfb cannot start here"
    exit 77
fi
exec xvfb-run -a -s "-screen 0 1280x800x24" "$@"
