#!/bin/sh
# Benchmark of biftool's whole-game mode (not a CTest test; run it by hand):
#   bench/biftool/game.sh [TOTAL_MB [COUNT [ARCHIVES [RUNS]]]]   defaults: 1024 MiB, 100000, 100, 3
# Generates a game of ARCHIVES BIFF V1 archives with COUNT resources and TOTAL_MB MiB in all,
# extracts it once to build a tar of exactly the same files, then times in turn, side by side:
#   tar      tar -xf of those files into one folder
#   game     biftool --game -extr --out FOLDER (all archives, two or more at a time)
#   loop     what a user can do without it: a shell loop of biftool -extr over the archives
#   xargs    the same loop two archives at a time (xargs -P2)
#   2da      biftool --game --type 2DA -extr (a sixth of the resources and of the bytes)
# and the whole game listed through its index (--format tsv). Reports medians, ratios to tar, CPU
# time and peak memory. Needs about 3.5 x TOTAL_MB of free disk in $BENCH_DIR (tmpfs gives the
# figures the goals were set on).
#   BUILD      build folder (default: build/native of this checkout)
#   BENCH_DIR  scratch folder (default: a new folder under ${TMPDIR:-/tmp}), removed at the end
set -eu
total_mb=${1:-1024}
count=${2:-100000}
archives=${3:-100}
runs=${4:-3}
here=$(cd "$(dirname "$0")" && pwd)
build=${BUILD:-$here/../../build/native}
biftool=$(find "$build" -path '*biftool/biftool' -type f | head -n 1)
maker=$(find "$build" -name bifbench_game -type f | head -n 1)
if [ -z "$biftool" ] || [ -z "$maker" ] || [ ! -x /usr/bin/time ]; then
  echo "game.sh: build biftool and bifbench_game first; /usr/bin/time is needed (package 'time')" >&2
  exit 1
fi
work=${BENCH_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/bifgame.XXXXXX")}
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT INT TERM

. "$here/common.sh"

echo "load before: $(uptime)"
game="$work/game"
"$maker" "$game" "$total_mb" "$count" "$archives"
cd "$game"
"$biftool" --game -extr --out "$work/ref" >/dev/null
tar -cf "$work/all.tar" -C "$work/ref" .
rm -rf "$work/ref"
cat data/*.bif "$work/all.tar" >/dev/null

clean() { rm -rf "$work/out" "$work/tar-out"; find data -mindepth 1 -type d -exec rm -rf {} +; }
for k in tar game loop xargs 2da list; do : >"$work/$k.times"; done
i=0
while [ "$i" -lt "$runs" ]; do
  clean
  mkdir -p "$work/tar-out"
  time_run "$work/l" tar -xf "$work/all.tar" -C "$work/tar-out" >>"$work/tar.times"
  clean
  time_run "$work/l" "$biftool" --game -extr --out "$work/out" >>"$work/game.times"
  clean
  time_run "$work/l" sh -c 'for f in data/*.bif; do "$0" -extr "$f" >/dev/null || exit 1; done' "$biftool" >>"$work/loop.times"
  clean
  time_run "$work/l" sh -c 'ls data/*.bif | xargs -P2 -n1 "$0" -extr >/dev/null' "$biftool" >>"$work/xargs.times"
  clean
  time_run "$work/l" "$biftool" --game --type 2DA -extr --out "$work/out" >>"$work/2da.times"
  clean
  time_run "$work/l" sh -c '"$0" --game --format tsv >/dev/null' "$biftool" >>"$work/list.times"
  i=$((i + 1))
done
clean
tar_s=$(cut -d' ' -f1 "$work/tar.times" | median)
printf "\n%-8s %9s %7s %9s %11s   (%s MiB, %s resources, %s archives, %s runs, medians)\n" \
  "" "wall s" "/ tar" "cpu s" "peak KiB" "$total_mb" "$count" "$archives" "$runs"
for k in tar game loop xargs 2da list; do
  s=$(cut -d' ' -f1 "$work/$k.times" | median)
  c=$(cut -d' ' -f3 "$work/$k.times" | median)
  m=$(cut -d' ' -f2 "$work/$k.times" | sort -n | tail -n 1)
  awk -v k="$k" -v s="$s" -v t="$tar_s" -v c="$c" -v m="$m" \
    'BEGIN { printf "%-8s %9.2f %7.2f %9.2f %11d\n", k, s, (t > 0 ? s / t : 0), c, m }'
done
echo "goals: game <= 0.6 x tar using both cores, memory flat; 2da in proportion to what it writes; list < 0.5 s"
echo "load after: $(uptime)"
