# What biftool's benchmark scripts share (sourced by run.sh and game.sh): timing one run and
# taking the median of several.

# time_run LOG CMD...: runs CMD under /usr/bin/time -v (caches written out first); prints
# "seconds kib cpu-seconds".
time_run() {
  log=$1
  shift
  sync
  /usr/bin/time -v "$@" >"$log.out" 2>"$log"
  secs=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$log" |
    awk -F: '{ if (NF == 3) print $1 * 3600 + $2 * 60 + $3; else print $1 * 60 + $2 }')
  kib=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$log")
  cpu=$(awk -F': ' '/User time \(seconds\)|System time \(seconds\)/ { t += $2 } END { print t }' "$log")
  echo "$secs $kib $cpu"
}

# median: the median of the numbers on standard input, one a line.
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
