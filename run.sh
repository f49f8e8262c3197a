#!/usr/bin/env bash
# Builds what is needed and starts Zolpane. On a Wayland session without X display it runs on Qt's Wayland plugin;
# without any display it starts a virtual one (Xvfb with a window manager and a tray host) and says so. Arguments
# are passed to Zolpane.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages "${BUILD_PACKAGES[@]}"
build_zolpane

if [ -z "${DISPLAY:-}" ] && [ -n "${WAYLAND_DISPLAY:-}" ]; then
    ensure_packages qt6-wayland
    exec build/zolpane "$@"
elif [ -z "${DISPLAY:-}" ]; then
    ensure_packages "${DESKTOP_PACKAGES[@]}"
    displayfile="$(mktemp)"
    Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp 9>"$displayfile" &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.05; done
    export DISPLAY=":$(head -n1 "$displayfile")"
    rm -f "$displayfile"
    logdir="$(mktemp -d)"
    openbox --sm-disable >"$logdir/openbox.log" 2>&1 &
    wm_pid=$!
    wmsystemtray >"$logdir/wmsystemtray.log" 2>&1 &
    tray_pid=$!
    trap 'kill $tray_pid $wm_pid $xvfb_pid 2>/dev/null || true; rm -rf "$logdir"' EXIT
    # A helper that cannot start ends at once (wmsystemtray without its fonts, say): say so, with its words.
    sleep 1
    for helper in openbox:$wm_pid wmsystemtray:$tray_pid; do
        if ! kill -0 "${helper#*:}" 2>/dev/null; then
            echo "Warning: ${helper%%:*} ended right after its start; its output:" >&2
            sed 's/^/    /' "$logdir/${helper%%:*}.log" >&2
        fi
    done
    echo "No display found: started a virtual display $DISPLAY (Xvfb with openbox and a tray)."
    echo "Look at it with e.g. 'DISPLAY=$DISPLAY xwd -root | convert xwd:- screen.png'. Ctrl+C ends Zolpane."
    build/zolpane "$@"
else
    exec build/zolpane "$@"
fi
