#!/usr/bin/env bash
# Times the look for games started outside Kibolt under wine: about 300
# processes, 200 registered games, a look every 2 s as the program takes it.
#   tools/watch-timing.sh [processes] [looks]
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KIBOLT_TOP"
ensure_packages
run_timing_program kibolt_watch_timing "$@"
