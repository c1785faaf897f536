#!/usr/bin/env bash
# The directory search's walker beside find on one generated tree of 100,000
# files in 5,000 folders: native, under Wine, and find, each run five times on
# one core; medians. Usage: bench/playlist/walk_compare.sh [tree folder]
set -euo pipefail
source "$(dirname "$0")/../../scripts/env.sh"
tree="${1:-/tmp/kv_walk_tree}"
native="$KV_ROOT/build/native/bench/playlist/walk_timing"
win="$KV_ROOT/build/win32/tests/playlist/walk_timing.exe"
[ -d "$tree" ] || "$native" --make "$tree"
echo "tree: $(find "$tree" -type d | wc -l) folders, $(find "$tree" -type f | wc -l) files"
echo -n "walker (native): "; taskset -c 0 "$native" "$tree" 5
times=()
for i in 1 2 3 4 5; do
  s=$(date +%s%N)
  n=$(taskset -c 0 find "$tree" -type f \( -iname '*.swf' -o -iname '*.exe' \) | wc -l)
  times+=($(( ($(date +%s%N) - s) / 1000 )))
done
echo "find -iname:     files $n median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p | awk '{printf "%.1f", $1/1000}') ms"
times=()
for i in 1 2 3 4 5; do
  s=$(date +%s%N); taskset -c 0 find "$tree" > /dev/null; times+=($(( ($(date +%s%N) - s) / 1000 )))
done
echo "find (plain):    median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p | awk '{printf "%.1f", $1/1000}') ms"
if [ -x "$win" ] || [ -f "$win" ]; then
  echo -n "walker (Wine):   "; taskset -c 0 wine "$win" "Z:${tree//\//\\}" 5
fi
