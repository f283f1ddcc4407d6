#!/usr/bin/env bash
# Formats every C++ file of the tree as .clang-format says:
#   tools/format.sh           rewrites the files in place
#   tools/format.sh --check   changes nothing; lists the files that differ and fails
set -uo pipefail
source "$(dirname "$0")/common.sh"
cd "$KIBOLT_TOP"
files=()
while IFS= read -r f; do files+=("$f"); done < <(kibolt_cpp_files)
if [ "${1:-}" = "--check" ]; then
    bad=0
    for f in "${files[@]}"; do
        if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then
            say "not formatted: $f (tools/format.sh formats it)"; bad=1
        fi
    done
    exit $bad
fi
clang-format -i "${files[@]}"
