#!/usr/bin/env bash
# Times a click on games with 100, 10 000 and 100 000 sessions, and a display
# check box toggled on the biggest, in the real window under wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KIBOLT_TOP"
ensure_packages
run_timing_program kibolt_view_timing
