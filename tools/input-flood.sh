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
own_display=0
if [ -z "${DISPLAY:-}" ]; then start_xvfb; own_display=1; fi
folder="$KIBOLT_TOP/build/flood"
rm -rf "$folder"
mkdir -p "$folder/playing" "$folder/cleared" "$folder/others"
cp build/windows/kibolt.exe build/windows/kibolt.dll build/windows/sample_game.exe "$folder/"
game=$(winepath -w "$folder/sample_game.exe")
printf '%s\r\n=====Comment_Start====\r\n' "$game" >"$folder/playing/Flood.log"
LC_ALL=ja_JP.UTF-8 wine build/windows/kibolt_input_flood.exe "$(winepath -w "$folder")" "$seconds" "$rate"
wineserver -k >/dev/null 2>&1 || true
[ "$own_display" = 1 ] && stop_xvfb
exit 0
