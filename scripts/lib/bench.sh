# shellcheck shell=bash
# Shared start of the benchmarks (bench/*/run): packages, a display, the Wine prefix and the
# windows build of Vintrel and the given helper targets. Sets vintrel (VINTREL_EXE where given)
# and bench_bin.
# Expects root (the work tree) to be set.

. "$root/scripts/lib/packages.sh"
. "$root/scripts/lib/xvfb.sh"

bench_pids=""
bench_cleanup() {
    for p in $bench_pids; do
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    # Wine's helper processes leave on their own once nothing else runs; then the display can go.
    if [ -n "$xvfb_pid" ]; then
        timeout 15 wineserver -w 2>/dev/null || true
    fi
    stop_xvfb
}

bench_setup() {
    ensure_packages
    trap bench_cleanup EXIT
    if [ -z "${DISPLAY:-}" ]; then
        start_xvfb
    fi
    vintrel_root=$root
    . "$root/scripts/lib/wine-env.sh"
    "$root/scripts/wine-prefix"
    (cd "$root" && cmake --preset windows >/dev/null && cmake --build --preset windows -j2 --target Vintrel "$@" >/dev/null)
    # VINTREL_EXE measures another build (an earlier commit's, say) with this tree's drivers, so
    # two builds can take turns in one session.
    vintrel="${VINTREL_EXE:-$root/build/windows/Vintrel.exe}"
    bench_bin="$root/build/windows/bench"
}

# Nanoseconds a process's threads have run, from the scheduler's own count: the ticks of
# /proc/PID/stat are 10 ms, too coarse for a program that runs a fraction of a millisecond
# every 25 ms.
cpu_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{n += $1} END {printf "%d\n", n}'
}

# The wineserver of the current prefix (its working folder is named after the prefix's inode).
prefix_wineserver() {
    local id
    id=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
    for p in $(pgrep wineserver); do
        case "$(readlink "/proc/$p/cwd")" in */"$id") echo "$p"; return;; esac
    done
}

# Waits until an X window of exactly this name shows; fails after 60 s.
wait_for_window() {
    for _ in $(seq 600); do
        xdotool search --name "^$1\$" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no window named $1 showed" >&2
    return 1
}
