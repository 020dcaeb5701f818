#!/usr/bin/env bash
# under-window-manager.sh COMMAND [ARGS...]: runs COMMAND as in a desktop session: on a virtual
# X server of its own, with the Openbox window manager framing its windows. Server and window
# manager end with the command, whose exit status this is.
set -euo pipefail

if [ -z "${PIXDOCK_UNDER_WM:-}" ]; then
    export PIXDOCK_UNDER_WM=1
    # The server's authority file goes into a folder of this run's own.
    own=$(mktemp -d)
    status=0
    TMPDIR=$own xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$@" || status=$?
    rm -rf "$own"
    exit "$status"
fi

ready=$(mktemp -d)
openbox --sm-disable --startup "touch $ready/started" >"$ready/openbox.log" 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true; wait "$wm" 2>/dev/null || true; rm -rf "$ready"' EXIT
# Openbox touches the file once it manages windows.
for _ in $(seq 1 200); do
    [ -e "$ready/started" ] && break
    kill -0 "$wm" 2>/dev/null || break
    sleep 0.05
done
if [ ! -e "$ready/started" ]; then
    echo "under-window-manager: Openbox did not start" >&2
    cat "$ready/openbox.log" >&2
    exit 1
fi

export QT_QPA_PLATFORM=xcb
"$@"
