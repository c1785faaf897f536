#!/usr/bin/env bash
# The batch conversion beside cp, in turns on one core: 200 movies of 1 MB and
# one movie of the largest accepted size (256 MB), converted to projectors and
# back, natively and under Wine (the program's own file layer), each round
# after cp of the same movies. Every timing starts with an empty output folder
# and nothing left to write back (sync). Prints per job the median seconds and
# the throughput relative to cp's (bytes written per second; a projector also
# carries the 300 KB stub), from the medians. The batch-copy rows are the
# system's own file copy of the same movies (CopyFileA under Wine): the cost
# of the platform's file layer per file, for comparison.
# Usage: bench/flashfile/convert_compare.sh [folder] [rounds]
set -euo pipefail
source "$(dirname "$0")/../../scripts/env.sh"
dir="${1:-/tmp/kv_convert_bench}"
rounds="${2:-5}"
native="$KV_ROOT/build/native/bench/flashfile/convert_timing"
win="$KV_ROOT/build/win32/tests/flashfile/convert_timing.exe"
[ -d "$dir/in" ] || "$native" --make "$dir"
winDir="Z:${dir//\//\\}"
kv_ensure_display
kv_start_wine

declare -A times bytes
settle() { rm -rf "$dir/out"; mkdir -p "$dir/out"; sync; }
# cp of files; prints "seconds bytes".
cp_files() {
  settle
  local s e
  s=$(date +%s%N)
  taskset -c 0 cp "$@" "$dir/out/"
  e=$(date +%s%N)
  echo "$(awk -v n=$((e - s)) 'BEGIN{printf "%.6f", n/1e9}') $(stat -c %s "$@" | awk '{s += $1} END {print s}')"
}
record() {  # job "seconds bytes"
  times[$1]+="${2% *} "
  bytes[$1]="${2#* }"
}
for ((r = 1; r <= rounds; r++)); do
  record cp-batch "$(cp_files "$dir"/in/batch/*.swf)"
  for job in batch-exe batch-swf batch-copy; do
    settle; record "native-$job" "$(taskset -c 0 "$native" "$dir" "$job")"
    settle; record "wine-$job" "$(taskset -c 0 wine "$win" "$winDir" "$job" 2>/dev/null | tr -d '\r')"
  done
  record cp-big "$(cp_files "$dir/in/big.swf")"
  for job in big-exe big-swf; do
    settle; record "native-$job" "$(taskset -c 0 "$native" "$dir" "$job")"
    settle; record "wine-$job" "$(taskset -c 0 wine "$win" "$winDir" "$job" 2>/dev/null | tr -d '\r')"
  done
done
settle

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{v[NR]=$1} END{print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
printf '%-22s %10s %12s %8s   %s\n' job "median s" "MB/s" "vs cp" "all runs (s)"
for set in batch big; do
  cpm=$(echo "${times[cp-$set]}" | median)
  cprate=$(awk -v b="${bytes[cp-$set]}" -v t="$cpm" 'BEGIN{print b/t/1e6}')
  printf '%-22s %10.3f %12.1f %8s   %s\n' "cp-$set" "$cpm" "$cprate" "1.00" "${times[cp-$set]}"
  jobs=("native-$set-exe" "wine-$set-exe" "native-$set-swf" "wine-$set-swf")
  [ "$set" = batch ] && jobs+=(native-batch-copy wine-batch-copy)
  for job in "${jobs[@]}"; do
    m=$(echo "${times[$job]}" | median)
    rate=$(awk -v b="${bytes[$job]}" -v t="$m" 'BEGIN{print b/t/1e6}')
    printf '%-22s %10.3f %12.1f %8.2f   %s\n' "$job" "$m" "$rate" "$(awk -v a="$rate" -v c="$cprate" 'BEGIN{print a/c}')" "${times[$job]}"
  done
done
kv_stop_wine
kv_stop_display
