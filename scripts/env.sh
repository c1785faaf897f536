# Sourced by the scripts: paths, the project-local Wine prefix and a display.
KV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export KV_ROOT
export WINEPREFIX="$KV_ROOT/build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8
# ccache: objects are shared between checkouts in other folders.
export CCACHE_BASEDIR="$KV_ROOT"
export CCACHE_NOHASHDIR=1
export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-8G}"

KV_XVFB_PID=""
KV_OWN_WINE=""

# The display of the Wine desktop already running in our prefix, if any: the
# prefix's wineserver keeps its windows on the display it started with.
kv_running_wine_display() {
  local p
  for p in $(pgrep -f 'explorer.exe' 2>/dev/null); do
    if tr '\0' '\n' < "/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      tr '\0' '\n' < "/proc/$p/environ" | sed -n 's/^DISPLAY=//p'
      return 0
    fi
  done
  return 1
}

# Makes sure there is a display: the one of a Wine desktop already running in
# our prefix, the caller's, or a new Xvfb on a free display number.
kv_ensure_display() {
  local running
  running="$(kv_running_wine_display || true)"
  if [ -n "$running" ]; then
    if [ -e "/tmp/.X11-unix/X${running#:}" ]; then
      export DISPLAY="$running"
      return 0
    fi
    wineserver -k >/dev/null 2>&1 || true  # its display is gone
  fi
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  KV_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  return 1
}

kv_stop_display() {
  if [ -n "$KV_XVFB_PID" ]; then kill "$KV_XVFB_PID" 2>/dev/null || true; KV_XVFB_PID=""; fi
}

# Creates the Wine prefix under the Chinese locale (so Chinese text shows as text)
# and starts a persistent wineserver with its output detached from our pipes.
kv_start_wine() {
  mkdir -p "$KV_ROOT/build"
  if [ -z "$(kv_running_wine_display || true)" ]; then KV_OWN_WINE=1; fi
  if [ ! -f "$WINEPREFIX/.kv-ready-2" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    # Map the Song typeface names onto the installed CJK font.
    local reg="$KV_ROOT/build/fontsubst.reg"
    # A virtual desktop: Wine draws the window frames and maximises windows
    # itself, so the program looks the same with or without a window manager.
    printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n"SimSun"="WenQuanYi Micro Hei"\r\n"\xcb\xce\xcc\xe5"="WenQuanYi Micro Hei"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1280x1024"\r\n' > "$reg"
    wine regedit /S "$reg" >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.kv-ready" "$WINEPREFIX/.kv-ready-2"
  fi
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wine wineboot >/dev/null 2>&1 </dev/null || true
}

# Stops the wineserver only when this script started it.
kv_stop_wine() {
  if [ -n "$KV_OWN_WINE" ]; then wineserver -k >/dev/null 2>&1 || true; fi
}
