#!/usr/bin/env bash
# Plays movies that send FSCommands (from frame scripts and from a button) in
# the real program under Wine, one case of the guard at a time, and reports
# what happened: screenshots in build/screenshots/fs-*.png, and for exec the
# marker files that the harmless fsmarker program leaves beside itself. Then
# opens the three frame dialogs and uses them (build/screenshots/dialog-*.png).
# Needs both builds (scripts/build.sh all).
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/env.sh
kv_ensure_display
trap 'kv_stop_wine 2>/dev/null; kv_stop_display' EXIT
kv_start_wine

D="$KV_ROOT/build/fsdemo"
shots="$KV_ROOT/build/screenshots"
movie_tool="$KV_ROOT/build/native/tools/fscmdmovie/fscmdmovie"
marker="$KV_ROOT/build/win32/tools/fsmarker/fsmarker.exe"
sys32="$WINEPREFIX/drive_c/windows/system32"
# The middle of the play area of the maximised main window on a 1280 x 1024
# desktop, where the movies' button lies.
button_x=534
button_y=537
pid=""

say() { echo "$*" | tee -a "$D/report.txt"; }
shot() { import -window root "$shots/fs-$1.png"; say "  screenshot: build/screenshots/fs-$1.png"; }
key() { xdotool key "$1"; sleep 1.5; }
click_button() {
  xdotool mousemove "$button_x" "$button_y"
  sleep 0.3
  xdotool click 1
  sleep 1.5
}
alive() { kill -0 "$pid" 2>/dev/null; }
ran() { [ -f "$1.ran" ] && echo yes || echo no; }

fresh() {
  rm -rf "$D/prog" "$D/films" "$D/cwd"
  mkdir -p "$D/prog" "$D/films/sub" "$D/films/rel" "$D/cwd/rel"
  cp "$KV_ROOT/dist/Korvamelden.exe" "$KV_ROOT/dist/SAKorvamelden.exe" "$D/prog/"
  for f in films/game.exe films/kvboth.exe films/sub/kvrel.exe films/rel/kvrel.exe cwd/rel/kvrel.exe; do
    cp "$marker" "$D/$f"
  done
  cp "$marker" "$sys32/kvboth.exe"
  rm -f "$sys32/kvboth.exe.ran"
}

# start ALLOW EXEC QUIT WARN -- movie options...
start() {
  local allow=$1 exec=$2 quit=$3 warn=$4
  shift 5
  fresh
  printf '[FSCommand]\r\nAllowExecute=%s\r\nExec=%s\r\nQuit=%s\r\nWarningWhenIsnotExecute=%s\r\n' \
    "$allow" "$exec" "$quit" "$warn" > "$D/prog/Korvamelden.ini"
  "$movie_tool" "$D/films/movie.swf" "$@"
  (cd "$D/cwd" && exec wine "$D/prog/Korvamelden.exe" "$(winepath -w "$D/films/movie.swf")" >/dev/null 2>&1) &
  pid=$!
  sleep 5
}

finish() {
  if alive; then
    wine taskkill /im Korvamelden.exe >/dev/null 2>&1 || true
    for _ in $(seq 1 50); do alive || break; sleep 0.1; done
  fi
  wait "$pid" 2>/dev/null || true
  sleep 0.5
}

mkdir -p "$shots" "$D"
: > "$D/report.txt"

say "1. Defaults: frame script fullscreen(\"true\"), then Alt+F4 in full screen"
start 0 0 1 1 -- --frames 60 --at 6 fullscreen true
shot defaults-fullscreen
key alt+F4
sleep 2
alive && say "  program still running after Alt+F4: FAULT" || say "  Alt+F4 in full screen ended the program"
finish

say "2. Defaults: frame script quit stops the movie"
start 0 0 1 1 -- --frames 60 --at 6 quit ""
shot defaults-quit-stops
alive && say "  program still running (quit 1 only stops)"
finish

say "3. Defaults: the button runs exec(\"game.exe\") from the movie's folder without a question"
start 0 0 1 1 -- --frames 60 --button exec game.exe
click_button
shot defaults-exec-button
say "  films\\game.exe ran: $(ran "$D/films/game.exe")"
finish

say "4. Lookup order: kvboth.exe (system folder and movie folder), sub\\kvrel.exe, rel\\kvrel.exe (current folder and movie folder)"
start 0 0 1 1 -- --frames 60 --at 3 exec kvboth.exe --at 6 exec 'sub\kvrel.exe' --at 9 exec 'rel\kvrel.exe'
sleep 1
say "  system32\\kvboth.exe ran: $(ran "$sys32/kvboth.exe"); films\\kvboth.exe ran: $(ran "$D/films/kvboth.exe")"
say "  films\\sub\\kvrel.exe ran: $(ran "$D/films/sub/kvrel.exe")"
say "  cwd\\rel\\kvrel.exe ran: $(ran "$D/cwd/rel/kvrel.exe"); films\\rel\\kvrel.exe ran: $(ran "$D/films/rel/kvrel.exe")"
finish

say "5. Warning for a file found nowhere, as received"
start 0 0 1 1 -- --frames 60 --stop 8 --at 6 Exec Nowhere.EXE
shot warning
key Return
finish

say "6. AllowExecute 1: the question shows FullScreen/TRUE as received; OK enters full screen"
start 1 0 1 1 -- --frames 60 --stop 8 --at 6 FullScreen TRUE
shot question-mixed-case
key Return
shot question-ok-fullscreen
finish

say "7. AllowExecute 1, Cancel: nothing happens, not even a warning"
start 1 0 1 1 -- --frames 60 --button exec game.exe
click_button
shot question-before-cancel
key Escape
shot cancel-nothing
say "  films\\game.exe ran: $(ran "$D/films/game.exe")"
finish

say "8. AllowExecute 2: fullscreen, exec and an unknown command do nothing, silently"
start 2 0 1 1 -- --frames 60 --at 3 fullscreen true --at 5 exec game.exe --at 7 bogus x
shot ignore-all
say "  films\\game.exe ran: $(ran "$D/films/game.exe")"
finish

say "9. AllowExecute 1 and Exec 1: two questions before the file runs"
start 1 1 1 1 -- --frames 60 --button exec game.exe
click_button
shot two-questions-first
key Return
shot two-questions-exec
key Return
say "  films\\game.exe ran: $(ran "$D/films/game.exe")"
finish

counter() {
  import -window root "$D/counter.png"
  convert "$D/counter.png" -crop 160x30+1120+990 -scale 200% "$shots/dialog-$1-counter.png"
  say "  frame counter: build/screenshots/dialog-$1-counter.png"
}

say "10. Ctrl+J: jump to frame 200"
start 0 0 1 1 -- --frames 300
key ctrl+j
xdotool type --delay 80 "2x00"
shot_name=dialog-jump
import -window root "$shots/$shot_name.png"; say "  screenshot: build/screenshots/$shot_name.png"
key Return
counter jump
say "11. Ctrl+R: play frames 150 to 160 once, then pause"
key ctrl+r
xdotool type --delay 80 "150"
key Return
xdotool type --delay 80 "160"
import -window root "$shots/dialog-play-area.png"; say "  screenshot: build/screenshots/dialog-play-area.png"
key Return
sleep 2
counter play-area
say "12. 播放 > A-B 循环...: loop frames 100 to 124"
key ctrl+p
xdotool mousemove 131 28 click 1
sleep 1
xdotool mousemove 155 247 click 1
sleep 1.5
import -window root "$shots/dialog-ab-circle.png"; say "  screenshot: build/screenshots/dialog-ab-circle.png"
xdotool type --delay 80 "100"
key Return
xdotool type --delay 80 "124"
key Return
counter ab-circle
finish

rm -f "$sys32/kvboth.exe" "$sys32/kvboth.exe.ran"
echo "report: $D/report.txt"
