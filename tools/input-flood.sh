#!/usr/bin/env bash
# Floods the sample game, played from a real kibolt.exe under wine, with key
# presses (default 1 000 a second for 60 seconds) and prints what was counted,
# how fast the main window answered and how often the checkpoint was written.
#   tools/input-flood.sh [seconds] [presses per second]
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KIBOLT_TOP"
seconds=${1:-60}
rate=${2:-1000}
ensure_packages
build_windows >/dev/null
prepare_wine_prefix "$KIBOLT_TOP/build/windows/wineprefix"
folder="$KIBOLT_TOP/build/flood"
rm -rf "$folder"
mkdir -p "$folder/playing" "$folder/cleared" "$folder/others"
cp build/windows/kibolt.exe build/windows/kibolt.dll build/windows/sample_game.exe "$folder/"
# Windows paths as wine maps the root (drive Z:), without starting wine before the display is up.
windows_folder="Z:$(sed 's|/|\\|g' <<<"$folder")"
printf '%s\r\n=====Comment_Start====\r\n' "$windows_folder\\sample_game.exe" >"$folder/playing/Flood.log"
run_built_program kibolt_input_flood "$windows_folder" "$seconds" "$rate"
