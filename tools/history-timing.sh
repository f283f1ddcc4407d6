#!/usr/bin/env bash
# Times the chart window (a 100 000-session game opened and drawn, the period
# switched) and the statistics window (1 000 games of 1 000 sessions) in the
# real windows under wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KIBOLT_TOP"
ensure_packages
build_windows >/dev/null
prepare_wine_prefix "$KIBOLT_TOP/build/windows/wineprefix"
own_display=0
if [ -z "${DISPLAY:-}" ]; then start_xvfb; own_display=1; fi
LC_ALL=ja_JP.UTF-8 wine build/windows/kibolt_history_timing.exe
wineserver -k >/dev/null 2>&1 || true
[ "$own_display" = 1 ] && stop_xvfb
exit 0
