# shellcheck shell=sh
# The Wine environment the Windows build's programs run in, set in this one place. Sourced with
# vintrel_root set to the work tree, by the scripts, the benchmarks and tests/wine. Always the
# project's own prefix; WINEDEBUG and WINEDLLOVERRIDES may be given for a debugging run.
: "${vintrel_root:?set vintrel_root to the work tree before sourcing wine-env.sh}"
export WINEPREFIX="$vintrel_root/build/wineprefix"
# No debug output, and no offer to install Mono or Gecko in the middle of a test.
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
