#!/usr/bin/env bash
# Times the chart window (a 100 000-session game opened and drawn, the period
# switched) and the statistics window (1 000 games of 1 000 sessions) in the
# real windows under wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KIBOLT_TOP"
ensure_packages
run_timing_program kibolt_history_timing
