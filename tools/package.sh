#!/usr/bin/env bash
# Packs the Windows release zip from a built tree:
#   tools/package.sh BUILD_DIR OUT_ZIP
# One folder kibolt/ with kibolt.exe, kibolt.dll, readme.txt and the empty
# folders playing, cleared and others. Fixed file times and modes, entries in
# sorted order and no extra fields: one commit always gives the same bytes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$1
out=$2

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/kibolt/playing" "$stage/kibolt/cleared" "$stage/kibolt/others"
cp "$build/kibolt.exe" "$build/kibolt.dll" "$top/package/readme.txt" "$stage/kibolt/"
find "$stage/kibolt" -type d -exec chmod 755 {} +
find "$stage/kibolt" -type f -exec chmod 644 {} +
export TZ=UTC
find "$stage/kibolt" -exec touch -d '2000-01-01 00:00:00' {} +

mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
rm -f "$out"
(cd "$stage" && find kibolt -type d -printf '%p/\n' -o -type f -print | LC_ALL=C sort | zip -X -q -@ "$out")
