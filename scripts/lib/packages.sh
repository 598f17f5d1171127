# shellcheck shell=bash
# Installs the Debian packages the build, the tests and the demo need, and only those missing.
# Sourced by scripts/test and scripts/run.

vintrel_packages="cmake g++ make g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth x11-utils
imagemagick xdotool fonts-wine doctest-dev zlib1g-dev libz-mingw-w64-dev clang libclang-rt-14-dev clang-format python3 time git"

ensure_packages() {
    missing=""
    for p in $vintrel_packages; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing="$missing $p"
        fi
    done
    [ -z "$missing" ] && return 0
    echo "Installing Debian packages:$missing"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Not root: install them first (apt-get install$missing)" >&2
        return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null
    # shellcheck disable=SC2086
    apt-get install -y -q $missing </dev/null
}
