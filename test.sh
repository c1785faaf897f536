#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
# the native tests directly, the Windows tests through Wine.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
source scripts/env.sh
bash scripts/build.sh all

status=0
echo "== native tests =="
ctest --test-dir build/native --output-on-failure -j "$(nproc)" || status=1

echo "== Windows tests (Wine) =="
kv_ensure_display
trap 'kv_stop_wine; kv_stop_display' EXIT
kv_start_wine
ctest --test-dir build/win32 --output-on-failure || status=1
exit $status
