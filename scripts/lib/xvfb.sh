# shellcheck shell=bash
# Starts a private Xvfb on the first free display and exports DISPLAY; stop_xvfb ends it.
# Sourced by scripts/test, scripts/run and the benchmarks.

xvfb_pid=""

start_xvfb() {
    n=99
    for _ in 1 2 3 4 5; do
        while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
            n=$((n + 1))
        done
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do
            if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            # Lost a race for the display to another server: take the next one.
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        stop_xvfb
        n=$((n + 1))
    done
    echo "Xvfb did not start" >&2
    return 1
}

stop_xvfb() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    fi
}
