#!/usr/bin/env bash
# Runs some of the window tests under wine, for work on one part:
#   tools/win-tests.sh 'PlayTest.*:ProgramTest.*' [ja_JP.UTF-8|en_US.UTF-8]
# Both locales when none is named. ./test runs them all.
set -uo pipefail
source "$(dirname "$0")/common.sh"
cd "$KIBOLT_TOP"
filter=${1:-*}
locales=${2:-"${KIBOLT_LOCALES[*]}"}
build_windows >/dev/null || { say "windows build failed"; exit 1; }
prepare_wine_prefix "$KIBOLT_TOP/build/windows/wineprefix"
rm -rf "$XDG_DATA_HOME/Trash"  # the logs earlier runs deleted
start_xvfb || exit 1
trap 'wineserver -k >/dev/null 2>&1; stop_xvfb' EXIT
rc=0
for locale in $locales; do
    say "window tests ($locale): $filter"
    LC_ALL=$locale KIBOLT_EXE="$KIBOLT_TOP/build/windows/kibolt.exe" \
        SAMPLE_GAME_EXE="$KIBOLT_TOP/build/windows/sample_game.exe" \
        wine build/windows/kibolt_win_tests.exe --gtest_filter="$filter" || rc=1
done
exit $rc
