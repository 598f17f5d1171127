#!/bin/sh
# Benchmark of biftool's extraction against tar (not a CTest test; run it by hand):
#   bench/biftool/run.sh [TOTAL_MB [COUNT [RUNS]]]       defaults: 500 MiB, 20000 resources, 5 runs
# It generates a game with one BIFF V1 archive of COUNT resources, extracts it once to build a
# tar of exactly the same files, then times `biftool -extr` and `tar -xf` in turn (caches warm,
# `sync` before each run) with /usr/bin/time -v, and reports the median times, their ratio and
# the peak memory of each. A second archive with as many resources but a tenth of the data shows
# whether biftool's peak memory grows with the archive's size. The same files as a BIF V1.0 (one
# zlib stream) and a BIFC V1.0 (8 KiB zlib blocks), under the same index, are extracted too, and
# timed against inflating that stream alone (bifbench_zlib inflate, on one core) plus `tar -xf` of
# the result; biftool shares a BIFC's blocks out over the cores.
# Last, the time to list an archive through an index of 400,000 BIF entries. The machine's load is
# shown before and after, as the figures mean little on a busy machine. Needs about 5 x TOTAL_MB
# of free disk in $BENCH_DIR.
#   BUILD      build folder holding biftool/biftool, bench/biftool/bifbench_make and bifbench_zlib
#              (default: build/native of this checkout; configure and build it first)
#   BENCH_DIR  scratch folder (default: a new folder under ${TMPDIR:-/tmp}), removed at the end
#   BEFORE     another biftool (an earlier build), timed in turns with this one on every archive;
#              its medians and ratios are printed after this one's
set -eu
total_mb=${1:-500}
count=${2:-20000}
runs=${3:-5}
here=$(cd "$(dirname "$0")" && pwd)
build=${BUILD:-$here/../../build/native}
biftool=$(find "$build" -path '*biftool/biftool' -type f | head -n 1)
maker=$(find "$build" -name bifbench_make -type f | head -n 1)
zlib=$(find "$build" -name bifbench_zlib -type f | head -n 1)
before=${BEFORE:-}
if [ -z "$biftool" ] || [ -z "$maker" ] || [ -z "$zlib" ]; then
  echo "run.sh: build biftool, bifbench_make and bifbench_zlib first (cmake --preset native && cmake --build --preset native)" >&2
  exit 1
fi
if [ ! -x /usr/bin/time ]; then
  echo "run.sh: /usr/bin/time is missing (Debian package 'time')" >&2
  exit 1
fi
work=${BENCH_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/bifbench.XXXXXX")}
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT INT TERM

. "$here/common.sh"

# median0: the median, or 0 when there are no numbers (no $before)
median0() { median | awk '{ print ($1 == "" ? 0 : $1) }'; }

# bench_compressed GAME FORMAT RUNS: GAME's archive as FORMAT (v10, bifc) in a game of its own under
# the same index; its extraction checked once against the tar's files in $work/ref, then timed
# against inflating its stream alone (and $before in turns with it). Prints "biftool_s inflate_s
# biftool_kib before_s".
bench_compressed() {
  src=$1 fmt=$2 r=$3
  zg="$work/z-$fmt"
  mkdir -p "$zg/data"
  cp "$src/chitin.key" "$zg/"
  "$zlib" compress "$fmt" "$src/data/BENCH.bif" "$zg/data/BENCH.bif"
  (cd "$zg/data" && "$biftool" -extr BENCH.bif >/dev/null)
  diff -r "$work/ref/BENCH" "$zg/data/BENCH" >&2 || echo "  $fmt: extraction differs from the tar's files" >&2
  rm -rf "$zg/data/BENCH"
  : >"$work/z.times"
  : >"$work/i.times"
  : >"$work/z0.times"
  i=0
  while [ "$i" -lt "$r" ]; do
    (cd "$zg/data" && time_run "$work/z.log" "$biftool" -extr BENCH.bif) >>"$work/z.times"
    rm -rf "$zg/data/BENCH"
    if [ -n "$before" ]; then
      (cd "$zg/data" && time_run "$work/z0.log" "$before" -extr BENCH.bif) >>"$work/z0.times"
      rm -rf "$zg/data/BENCH"
    fi
    time_run "$work/i.log" "$zlib" inflate "$zg/data/BENCH.bif" >>"$work/i.times"
    i=$((i + 1))
  done
  echo "  runs ($fmt biftool: wall s, KiB, cpu s): $(tr '\n' ';' <"$work/z.times")" >&2
  echo "  runs ($fmt inflate: wall s, KiB, cpu s): $(tr '\n' ';' <"$work/i.times")" >&2
  [ -z "$before" ] || echo "  runs ($fmt before:  wall s, KiB, cpu s): $(tr '\n' ';' <"$work/z0.times")" >&2
  rm -rf "$zg"
  echo "$(cut -d' ' -f1 "$work/z.times" | median) $(cut -d' ' -f1 "$work/i.times" | median)" \
    "$(cut -d' ' -f2 "$work/z.times" | sort -n | tail -n 1) $(cut -d' ' -f1 "$work/z0.times" | median0)"
}

# bench_one MB COUNT RUNS: prints "biftool_s tar_s biftool_kib tar_kib biftool_cpu tar_cpu before_s",
# then for V1.0 and BIFC "biftool_s inflate_s biftool_kib before_s"
bench_one() {
  mb=$1 n=$2 r=$3
  game="$work/game-$mb"
  "$maker" "$game" "$mb" "$n" >&2
  data="$game/data"
  (cd "$data" && "$biftool" -extr BENCH.bif >/dev/null)
  tar -cf "$work/bench-$mb.tar" -C "$data" BENCH
  rm -rf "$data/BENCH" "$work/tar-out"
  cat "$data/BENCH.bif" "$work/bench-$mb.tar" >/dev/null
  : >"$work/b.times"
  : >"$work/t.times"
  : >"$work/b0.times"
  i=0
  while [ "$i" -lt "$r" ]; do
    (cd "$data" && time_run "$work/b.log" "$biftool" -extr BENCH.bif) >>"$work/b.times"
    rm -rf "$data/BENCH"
    if [ -n "$before" ]; then
      (cd "$data" && time_run "$work/b0.log" "$before" -extr BENCH.bif) >>"$work/b0.times"
      rm -rf "$data/BENCH"
    fi
    mkdir -p "$work/tar-out"
    time_run "$work/t.log" tar -xf "$work/bench-$mb.tar" -C "$work/tar-out" >>"$work/t.times"
    rm -rf "$work/tar-out"
    i=$((i + 1))
  done
  bs=$(cut -d' ' -f1 "$work/b.times" | median)
  ts=$(cut -d' ' -f1 "$work/t.times" | median)
  bk=$(cut -d' ' -f2 "$work/b.times" | sort -n | tail -n 1)
  tk=$(cut -d' ' -f2 "$work/t.times" | sort -n | tail -n 1)
  bc=$(cut -d' ' -f3 "$work/b.times" | median)
  tc=$(cut -d' ' -f3 "$work/t.times" | median)
  echo "  runs (biftool: wall s, KiB, cpu s): $(tr '\n' ';' <"$work/b.times")" >&2
  echo "  runs (tar:     wall s, KiB, cpu s): $(tr '\n' ';' <"$work/t.times")" >&2
  [ -z "$before" ] || echo "  runs (before:  wall s, KiB, cpu s): $(tr '\n' ';' <"$work/b0.times")" >&2
  mkdir -p "$work/ref"
  tar -xf "$work/bench-$mb.tar" -C "$work/ref"
  rm -f "$work/bench-$mb.tar"
  v10=$(bench_compressed "$game" v10 "$r")
  bifc=$(bench_compressed "$game" bifc "$r")
  rm -rf "$game" "$work/ref"
  echo "$bs $ts $bk $tk $bc $tc $(cut -d' ' -f1 "$work/b0.times" | median0) $v10 $bifc"
}

echo "load before: $(uptime)"
small_mb=$((total_mb / 10))
small_n=$count
[ "$small_mb" -ge 1 ] || small_mb=1
echo "biftool benchmark: $biftool"
echo "large archive: $total_mb MiB, $count resources, $runs runs each"
set -- $(bench_one "$total_mb" "$count" "$runs")
big_b=$1 big_t=$2 big_bk=$3 big_tk=$4 big_bc=$5 big_tc=$6 big_b0=$7
big_z="$8 $9 ${10} ${11} ${12} ${13} ${14} ${15}"
echo "small archive: $small_mb MiB, $small_n resources, $runs runs each"
set -- $(bench_one "$small_mb" "$small_n" "$runs")
small_b=$1 small_t=$2 small_bk=$3 small_tk=$4 small_bc=$5 small_tc=$6 small_b0=$7
small_z="$8 $9 ${10} ${11} ${12} ${13} ${14} ${15}"

awk -v bb="$big_b" -v bt="$big_t" -v bk="$big_bk" -v tk="$big_tk" -v bc="$big_bc" -v tc="$big_tc" \
    -v sb="$small_b" -v st="$small_t" -v sk="$small_bk" -v stk="$small_tk" -v sc="$small_bc" -v stc="$small_tc" \
    -v mb="$total_mb" -v n="$count" -v smb="$small_mb" -v sn="$small_n" 'BEGIN {
  printf "\n%-22s %9s %7s %6s %9s %7s %6s %12s %9s\n", "archive", "biftool s", "tar s", "ratio", "biftool", "tar", "ratio", "biftool peak", "tar peak"
  printf "%-22s %9s %7s %6s %9s %7s %6s %12s %9s\n", "", "(wall)", "(wall)", "", "cpu s", "cpu s", "", "KiB", "KiB"
  printf "%-22s %9.2f %7.2f %6.2f %9.2f %7.2f %6.2f %12d %9d\n", mb " MiB / " n " files", bb, bt, (bt > 0 ? bb / bt : 0), bc, tc, (tc > 0 ? bc / tc : 0), bk, tk
  printf "%-22s %9.2f %7.2f %6.2f %9.2f %7.2f %6.2f %12d %9d\n", smb " MiB / " sn " files", sb, st, (st > 0 ? sb / st : 0), sc, stc, (stc > 0 ? sc / stc : 0), sk, stk
  printf "\nmedians; ratio = biftool / tar (goal: <= 1.0); biftool peak memory growth for 10x the data: %+d KiB\n", bk - sk
}'
# Compressed: biftool's extraction against inflating the same stream alone plus tar -x of the result.
awk -v big="$big_z" -v small="$small_z" -v bt="$big_t" -v st="$small_t" \
    -v mb="$total_mb" -v n="$count" -v smb="$small_mb" -v sn="$small_n" 'BEGIN {
  split(big, b, " "); split(small, s, " ")
  printf "\n%-22s %-6s %9s %9s %7s %6s %12s\n", "archive", "format", "biftool s", "inflate s", "tar s", "ratio", "biftool peak"
  printf "%-22s %-6s %9s %9s %7s %6s %12s\n", "", "", "(wall)", "(wall)", "(wall)", "", "KiB"
  for (k = 0; k < 2; ++k) {
    f = k ? "BIFC" : "V1.0"
    printf "%-22s %-6s %9.2f %9.2f %7.2f %6.2f %12d\n", mb " MiB / " n " files", f, b[4*k+1], b[4*k+2], bt, b[4*k+1] / (b[4*k+2] + bt), b[4*k+3]
    printf "%-22s %-6s %9.2f %9.2f %7.2f %6.2f %12d\n", smb " MiB / " sn " files", f, s[4*k+1], s[4*k+2], st, s[4*k+1] / (s[4*k+2] + st), s[4*k+3]
  }
  printf "\nmedians; ratio = biftool / (inflate + tar) (goal: <= 1.1); peak memory growth for 10x the data: V1.0 %+d KiB, BIFC %+d KiB\n", b[3] - s[3], b[7] - s[7]
  printf "BIFC extraction against inflating the same blocks on one core plus tar -x: %.2f at %s MiB, %.2f at %s MiB (goal: <= 0.6)\n", b[5] / (b[6] + bt), mb, s[5] / (s[6] + st), smb
}'
# The earlier build, timed in turns with this one: the same ratios.
if [ -n "$before" ]; then
  awk -v big="$big_z" -v small="$small_z" -v bt="$big_t" -v st="$small_t" -v bb="$big_b0" -v sb="$small_b0" \
      -v ab="$big_b" -v as="$small_b" \
      -v mb="$total_mb" -v smb="$small_mb" -v exe="$before" 'BEGIN {
    split(big, b, " "); split(small, s, " ")
    printf "\nbefore (%s), in turns with this build: median s and ratio\n", exe
    printf "%-8s %-6s %9s %6s %9s %6s\n", "archive", "format", "before s", "ratio", "after s", "ratio"
    printf "%-8s %-6s %9.2f %6.2f %9.2f %6.2f   (against tar)\n", mb " MiB", "BIFF", bb, bb / bt, ab, ab / bt
    printf "%-8s %-6s %9.2f %6.2f %9.2f %6.2f   (against tar)\n", smb " MiB", "BIFF", sb, sb / st, as, as / st
    for (k = 0; k < 2; ++k) {
      f = k ? "BIFC" : "V1.0"
      printf "%-8s %-6s %9.2f %6.2f %9.2f %6.2f   (against inflate + tar)\n", mb " MiB", f, b[4*k+4], b[4*k+4] / (b[4*k+2] + bt), b[4*k+1], b[4*k+1] / (b[4*k+2] + bt)
      printf "%-8s %-6s %9.2f %6.2f %9.2f %6.2f   (against inflate + tar)\n", smb " MiB", f, s[4*k+4], s[4*k+4] / (s[4*k+2] + st), s[4*k+1], s[4*k+1] / (s[4*k+2] + st)
    }
  }'
fi

# Listing through a large index: BENCH.bif is the last of 400,000 BIF entries.
"$maker" "$work/index" 1 1000 400000 >/dev/null
: >"$work/i.times"
i=0
while [ "$i" -lt "$runs" ]; do
  (cd "$work/index/data" && time_run "$work/i.log" "$biftool" BENCH.bif) >>"$work/i.times"
  i=$((i + 1))
done
echo "listing through an index of 400,000 BIF entries ($(wc -c <"$work/index/chitin.key") bytes):" \
  "median $(cut -d' ' -f1 "$work/i.times" | median) s, peak $(cut -d' ' -f2 "$work/i.times" | sort -n | tail -n 1) KiB (goal: < 0.5 s)"
echo "load after: $(uptime)"
