#!/usr/bin/env bash
# Builds the player and starts it from dist/ under Wine: ./run.sh [file]
# Without a display it runs headless on Xvfb, saves screenshots, prints their
# paths and closes the player the normal way (so it writes its settings).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
source scripts/env.sh
bash scripts/build.sh win32 >/dev/null

arg=()
if [ $# -gt 0 ]; then
  arg=("$(winepath -w "$(realpath "$1")" 2>/dev/null)")
fi

if [ -n "${DISPLAY:-}" ]; then
  kv_start_wine
  exec wine "$KV_ROOT/dist/Korvamelden.exe" "${arg[@]}"
fi

kv_ensure_display
trap 'kv_stop_wine; kv_stop_display' EXIT
kv_start_wine
shots="$KV_ROOT/build/screenshots"
mkdir -p "$shots"
wine "$KV_ROOT/dist/Korvamelden.exe" "${arg[@]}" >/dev/null 2>&1 &
pid=$!
# Wait for the main window to appear.
for _ in $(seq 1 100); do
  if xdotool search --name "TesvanorFlash|Wine desktop" >/dev/null 2>&1; then break; fi
  sleep 0.2
done
sleep 2
shot="$shots/window.png"
import -window root "$shot"
echo "screenshot: $shot"
if [ ${#arg[@]} -gt 0 ]; then
  sleep 3
  shot="$shots/playing.png"
  import -window root "$shot"
  echo "screenshot: $shot"
fi
wine taskkill /im Korvamelden.exe >/dev/null 2>&1 || true
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
wait "$pid" 2>/dev/null || true
echo "settings: $KV_ROOT/dist/Korvamelden.ini"
