#!/usr/bin/env bash
# Installs what the build, the player and the tests need on a Debian machine.
# Idempotent and quiet; returns at once when everything is present.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

pkgs=(cmake ninja-build make g++ python3 clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev zlib1g-dev
      mingw-w64-i686-dev g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix libz-mingw-w64-dev
      ccache xvfb x11-utils xdotool imagemagick locales fonts-wqy-microhei wine wine32:i386 libpng-dev libjpeg-dev
      fp-utils ffmpeg libmpg123-dev lame sox
      pkg-config libcairo2-dev)
for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}" >&2
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq >/dev/null
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  echo "setup: generating zh_CN.UTF-8 locale" >&2
  if ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
