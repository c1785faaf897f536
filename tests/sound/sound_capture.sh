#!/usr/bin/env bash
# sound_capture.sh MAKE_SOUND_MOVIE.exe DIST
# The real program plays a movie with a 440 Hz stream under Wine. Wine's
# sound system writes to ALSA, and ALSA's file plugin (set up in a HOME made
# here) captures exactly what the program plays. Checks: the capture holds
# 440 Hz at the movie's level; after a pause (Ctrl+P) it stops growing; with
# the sound muted (HaveVolume=0) it is silent; an MP3 stream (made by sox and
# lame, decoded through the system's audio codec manager) sounds too.
set -euo pipefail
maker="$1"
dist="$2"
source "$(dirname "$0")/../../scripts/env.sh"
kv_ensure_display

work="$(mktemp -d /tmp/kvsound.XXXXXX)"
pid=""
stop_program() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
  fi
}
trap 'stop_program; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/prog"
cp "$dist/Korvamelden.exe" "$work/prog/"
# A plug in front fixes the captured format: 16-bit stereo at 44.1 kHz.
cat > "$work/home/.asoundrc" <<CONF
pcm.!default { type plug slave { pcm "capture" format S16_LE rate 44100 channels 2 } }
pcm.capture { type file slave.pcm "null" file "$work/OUT.raw" format "raw" }
CONF
movie="$(winepath -w "$work/movie.swf" 2>/dev/null)"
wine "$maker" "$movie" 60 >/dev/null 2>&1
sox -n -r 22050 -c 1 -b 16 -e signed -L "$work/tone.raw" synth 30 sine 440 vol 0.5 2>/dev/null
lame -r -s 22.05 --bitwidth 16 --signed --little-endian -m m -b 32 -t --quiet "$work/tone.raw" "$work/tone.mp3"
mp3movie="$(winepath -w "$work/mp3.swf" 2>/dev/null)"
wine "$maker" "$mp3movie" 30 "$(winepath -w "$work/tone.mp3" 2>/dev/null)" >/dev/null 2>&1
[ -s "$work/movie.swf" ] && [ -s "$work/mp3.swf" ] || { echo "FAIL: no test movies"; exit 1; }

size() { stat -c %s "$work/OUT.raw" 2>/dev/null || echo 0; }
# Starts the program on a movie (default: the PCM one) with the given
# HaveVolume and waits for two seconds of captured sound.
start() {
  rm -f "$work/OUT.raw"
  printf '[PlayOption]\r\nHaveVolume=%s\r\n' "$1" > "$work/prog/Korvamelden.ini"
  local m="${2:-$movie}"
  (cd "$work/prog" && HOME="$work/home" exec wine Korvamelden.exe "$m" >/dev/null 2>&1) &
  pid=$!
  for _ in $(seq 1 100); do
    [ "$(size)" -gt $((44100 * 4 * 2)) ] && return 0
    sleep 0.2
  done
  echo "FAIL: nothing captured (HaveVolume=$1)"
  exit 1
}
# Prints the frequency and peak level of the left channel over the last
# second of the capture.
analyse() {
  python3 - "$work/OUT.raw" <<'PY'
import math, struct, sys
data = open(sys.argv[1], 'rb').read()
frames = len(data) // 4
take = min(frames, 44100)
s = struct.unpack('<%dh' % (take * 2), data[(frames - take) * 4:frames * 4])[0::2]
# Periods between upward zero crossings (with the crossing point
# interpolated); the median ignores a gap the system's mixer may insert.
ups = [i - 1 + s[i - 1] / (s[i - 1] - s[i]) for i in range(1, len(s)) if s[i - 1] < 0 <= s[i]]
periods = sorted(b - a for a, b in zip(ups, ups[1:]))
freq = 44100 / periods[len(periods) // 2] if periods else 0
peak = max(abs(v) for v in s) / 32768
print('%.1f %.5f' % (freq, peak))
PY
}

status=0
passed=0
failed=0
check() {  # check NAME CONDITION...
  local name="$1"; shift
  if "$@"; then
    echo "ok: $name"; passed=$((passed + 1))
  else
    echo "FAIL: $name"; failed=$((failed + 1)); status=1
  fi
}

start 1
read -r freq peak <<<"$(analyse)"
echo "captured: ${freq} Hz, peak ${peak}"
check "440 Hz heard" python3 -c "import sys; sys.exit(0 if abs($freq - 440) < 5 else 1)"
check "level of a half-scale sine" python3 -c "import sys; sys.exit(0 if abs($peak - 0.5) < 0.02 else 1)"

window="$(xdotool search --name 'TesvanorFlash' | head -1)"
xdotool windowfocus --sync "$window" >/dev/null 2>&1 || true
xdotool key ctrl+p
sleep 1.5
before="$(size)"
sleep 2
after="$(size)"
echo "after pause: $before -> $after bytes"
check "capture stops growing after pause" test "$before" -eq "$after"
stop_program

start 0
read -r freq peak <<<"$(analyse)"
echo "muted: peak ${peak}"
check "mute gives silence" python3 -c "import sys; sys.exit(0 if $peak < 0.0001 else 1)"
stop_program

start 1 "$mp3movie"
read -r freq peak <<<"$(analyse)"
echo "MP3 stream: ${freq} Hz, peak ${peak}"
check "MP3 stream at 440 Hz" python3 -c "import sys; sys.exit(0 if abs($freq - 440) < 5 and $peak > 0.4 else 1)"
stop_program

echo "sound capture: $passed passed, $failed failed"
exit $status
