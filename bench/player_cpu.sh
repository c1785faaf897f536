#!/usr/bin/env bash
# Plays a movie in the real program under Wine for a while and prints the
# share of one core the program used meanwhile (user + system time of its
# process, read from /proc), on a Wine desktop of the given size with the
# program in full screen (Alt+Enter).
#   bench/player_cpu.sh [MOVIE.swf] [SECONDS] [WIDTHxHEIGHT]
# Without a movie the demo movie (tools/swfdemo) is played. Needs both builds
# (scripts/build.sh all). Uses the caller's DISPLAY or starts its own Xvfb.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/env.sh

movie="${1:-}"
seconds="${2:-20}"
size="${3:-1920x1080}"
work="$KV_ROOT/build/player_cpu"
mkdir -p "$work"
if [ -z "$movie" ]; then
  movie="$work/demo.swf"
  "$KV_ROOT/build/native/tools/swfdemo/swfdemo" "$movie" 240 || exit 1
fi
movie="$(cd "$(dirname "$movie")" && pwd)/$(basename "$movie")"

own_xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  n=140
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
  own_xvfb=$!
  export DISPLAY=":$n"
  sleep 1
fi
kv_start_wine

# Programs of this name already running (other prefixes): not ours.
before=" $(for p in /proc/[0-9]*; do [ "$(cat "$p/comm" 2>/dev/null)" = "Korvamelden.exe" ] && echo "${p#/proc/}"; done | tr '\n' ' ') "
# A desktop of its own, of the wanted size, started with the program in it.
wine explorer "/desktop=kvcpu,$size" "$KV_ROOT/dist/Korvamelden.exe" "$(winepath -w "$movie")" >/dev/null 2>&1 &
desk=$!
prog=""
for _ in $(seq 1 100); do
  # The program's process: new since the start, and of our Wine prefix.
  for p in /proc/[0-9]*; do
    [ "$(cat "$p/comm" 2>/dev/null)" = "Korvamelden.exe" ] || continue
    case "$before" in *" ${p#/proc/} "*) continue ;; esac
    if tr '\0' '\n' < "$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      prog="${p#/proc/}"
      break 2
    fi
  done
  sleep 0.2
done

cleanup() {
  [ -n "$prog" ] && kill "$prog" 2>/dev/null
  kill "$desk" 2>/dev/null
  wait "$desk" 2>/dev/null
  kv_stop_wine 2>/dev/null
  [ -n "$own_xvfb" ] && kill "$own_xvfb" 2>/dev/null
}
trap cleanup EXIT
if [ -z "$prog" ]; then
  echo "player_cpu: the program did not start" >&2
  exit 1
fi

sleep 4  # loading and first paint
xdotool key alt+Return
sleep 2
mkdir -p "$KV_ROOT/build/screenshots"
import -window root "$KV_ROOT/build/screenshots/player-cpu.png" 2>/dev/null

ticks() { awk '{print $14 + $15}' "/proc/$prog/stat"; }
hz="$(getconf CLK_TCK)"
t0="$(ticks)"
s0="$(date +%s.%N)"
sleep "$seconds"
t1="$(ticks)"
s1="$(date +%s.%N)"
awk -v a="$t0" -v b="$t1" -v hz="$hz" -v s0="$s0" -v s1="$s1" -v size="$size" -v movie="$movie" 'BEGIN {
  cpu = (b - a) / hz; wall = s1 - s0;
  printf "player_cpu: %s at %s full screen: %.2f s CPU in %.1f s = %.1f %% of one core\n", movie, size, cpu, wall, 100 * cpu / wall
}'
