# Shared by ./run and ./test: packages, builds, a private wine prefix and a display.
# shellcheck shell=bash

KIBOLT_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KIBOLT_PACKAGES=(cmake make g++ g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
                 googletest libgtest-dev libbenchmark-dev wine wine64 xvfb x11-utils xdotool imagemagick locales
                 fonts-noto-cjk fonts-ipafont-gothic zip unzip clang libclang-rt-dev clang-format)
KIBOLT_LOCALES=(ja_JP.UTF-8 en_US.UTF-8)

say() { printf '[kibolt] %s\n' "$*"; }

missing_packages() {
    local p
    for p in "${KIBOLT_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || printf '%s ' "$p"
    done
}

missing_locales() {
    local l have
    have=$(locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')
    for l in "${KIBOLT_LOCALES[@]}"; do
        grep -qx "$(echo "$l" | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')" <<<"$have" || printf '%s ' "$l"
    done
}

# Installs what is missing (as root), or says what to run and stops.
ensure_packages() {
    local missing locales
    missing=$(missing_packages)
    if [ -n "$missing" ]; then
        if [ "$(id -u)" != 0 ]; then
            say "missing packages; run as root:"
            echo "  apt-get update && apt-get install -y $missing"
            exit 1
        fi
        say "installing: $missing"
        apt-get update -qq
        # shellcheck disable=SC2086
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
    fi
    locales=$(missing_locales)
    if [ -n "$locales" ]; then
        if [ "$(id -u)" != 0 ]; then
            say "missing locales ($locales); run as root: locale-gen after enabling them in /etc/locale.gen"
            exit 1
        fi
        for l in $locales; do
            sed -i "s/^# *\($l\)/\1/" /etc/locale.gen
            grep -q "^$l" /etc/locale.gen || echo "$l UTF-8" >> /etc/locale.gen
        done
        locale-gen >/dev/null
    fi
}

# Every C++ source and header of the project, for the formatter.
kibolt_cpp_files() {
    (cd "$KIBOLT_TOP" && find . \( -path ./build -o -path ./dist -o -path ./.git \) -prune -o \
        -type f \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||' | LC_ALL=C sort)
}

# Each builds everything, or only the targets named.
build_native() {
    cmake -S "$KIBOLT_TOP" -B "$KIBOLT_TOP/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$KIBOLT_TOP/build/native" -j"$(nproc)" ${1:+--target "$@"}
}

build_windows() {
    cmake -S "$KIBOLT_TOP" -B "$KIBOLT_TOP/build/windows" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$KIBOLT_TOP/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$KIBOLT_TOP/build/windows" -j"$(nproc)" ${1:+--target "$@"}
}

# Runs a build quietly: its output goes to a log, shown only when it fails.
quietly() {
    local log="$KIBOLT_TOP/build/$1.log"
    shift
    mkdir -p "$KIBOLT_TOP/build"
    if ! "$@" >"$log" 2>&1; then
        cat "$log"
        say "build failed (output above, also in $log)"
        return 1
    fi
}

# Only the programs of the release (kibolt.exe, kibolt.dll), in the tree $1.
build_release_programs() {
    cmake -S "$KIBOLT_TOP" -B "$1" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$KIBOLT_TOP/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$1" -j"$(nproc)" --target kibolt kibolt_hook
}

# The project's one version, from CMakeLists.txt.
kibolt_version() {
    sed -nE 's/^project\(kibolt VERSION ([0-9.]+).*/\1/p' "$KIBOLT_TOP/CMakeLists.txt"
}

# The core tests again, under AddressSanitizer and UndefinedBehaviorSanitizer.
build_sanitize() {
    cmake -S "$KIBOLT_TOP" -B "$KIBOLT_TOP/build/sanitize" -DKIBOLT_SANITIZE=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$KIBOLT_TOP/build/sanitize" -j"$(nproc)"
}

# The core's libFuzzer targets (clang, with ASan and UBSan).
# Every fuzz/<target>_fuzz.cpp is one, as fuzz/fuzz.cmake builds them.
KIBOLT_FUZZ_TARGETS=()
for _source in "$KIBOLT_TOP"/fuzz/*_fuzz.cpp; do
    _source=${_source##*/}
    KIBOLT_FUZZ_TARGETS+=("${_source%_fuzz.cpp}")
done
unset _source
build_fuzz() {
    CC=clang CXX=clang++ cmake -S "$KIBOLT_TOP" -B "$KIBOLT_TOP/build/fuzz" -DKIBOLT_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$KIBOLT_TOP/build/fuzz" -j"$(nproc)"
}

# Runs every fuzz target once over each input of its checked-in corpus.
# Prints one line per target; false when any input breaks a property.
replay_fuzz_corpora() {
    local t rc=0
    for t in "${KIBOLT_FUZZ_TARGETS[@]}"; do
        if "$KIBOLT_TOP/build/fuzz/${t}_fuzz" "$KIBOLT_TOP"/fuzz/corpus/"$t"/* \
            >"$KIBOLT_TOP/build/fuzz/$t-replay.log" 2>&1; then
            say "fuzz corpus $t: ok"
        else
            say "fuzz corpus $t: FAILED (build/fuzz/$t-replay.log)"; rc=1
        fi
    done
    return $rc
}

# Fuzzes every target for $1 seconds, one after another, starting from its
# corpus; new inputs go to build/fuzz/work/<target>, a finding to
# build/fuzz/findings/. Prints the executions of each; false on a finding.
run_fuzzers() {
    local seconds=$1 t rc=0 runs
    mkdir -p "$KIBOLT_TOP/build/fuzz/findings"
    for t in "${KIBOLT_FUZZ_TARGETS[@]}"; do
        mkdir -p "$KIBOLT_TOP/build/fuzz/work/$t"
        if "$KIBOLT_TOP/build/fuzz/${t}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="$KIBOLT_TOP/build/fuzz/findings/$t-" \
            "$KIBOLT_TOP/build/fuzz/work/$t" "$KIBOLT_TOP/fuzz/corpus/$t" >"$KIBOLT_TOP/build/fuzz/$t.log" 2>&1; then
            runs=$(grep -oE 'number_of_executed_units: [0-9]+' "$KIBOLT_TOP/build/fuzz/$t.log" | awk '{print $2}')
            say "fuzz $t: ${runs:-?} executions in ${seconds} s, nothing found"
        else
            say "fuzz $t: FINDING (build/fuzz/$t.log, build/fuzz/findings/)"; rc=1
        fi
    done
    return $rc
}

# A wine prefix of our own, with a virtual desktop so focus and clicks behave
# without a window manager.
# prepare_wine_prefix PREFIX [DPI]: with a DPI, the prefix's display has it
# (Wine's LogPixels; 96 otherwise).
prepare_wine_prefix() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    # A new prefix links the user's folders (Desktop, Documents, ...) to the
    # home folder: make them plain folders inside the prefix, so that nothing
    # run here ever writes into the home folder.
    local link
    for link in "$WINEPREFIX"/drive_c/users/*/{Desktop,Documents,Downloads,Music,Pictures,Videos,Templates}; do
        if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
    done
    # The desktop's trash (the Recycle Bin under wine) lives inside the prefix too.
    export XDG_DATA_HOME="$WINEPREFIX/xdg-data"
    mkdir -p "$XDG_DATA_HOME"
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1
    # The dialogs are laid out for "MS UI Gothic"; IPAPGothic has its metrics,
    # so texts fit as on Japanese Windows. Menus and captions use Tahoma, which
    # has no Japanese glyphs. Set on every run, so older prefixes follow.
    local font
    for font in Tahoma "MS UI Gothic"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "IPAPGothic" /f >/dev/null 2>&1
    done
    if [ -n "${2:-}" ]; then
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null 2>&1
    fi
    wineserver -w
}

# Starts Xvfb on a display it picks itself (so that two runs side by side
# never share one); sets DISPLAY and XVFB_PID.
start_xvfb() {
    local numfile i n
    numfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    for i in $(seq 1 200); do
        n=$(tr -dc '0-9' <"$numfile")
        if [ -n "$n" ]; then
            rm -f "$numfile"
            export DISPLAY=":$n"
            return 0
        fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$numfile"
    say "could not start Xvfb"
    return 1
}

stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
}

# run_built_program NAME [ARGS...]: runs build/windows/NAME.exe under wine in
# the prefix prepared before (on $DISPLAY, or an Xvfb of its own).
run_built_program() {
    local own_display=0
    if [ -z "${DISPLAY:-}" ]; then start_xvfb; own_display=1; fi
    LC_ALL=ja_JP.UTF-8 wine "build/windows/$1.exe" "${@:2}"
    wineserver -k >/dev/null 2>&1 || true
    if [ "$own_display" = 1 ]; then stop_xvfb; fi
}

# run_timing_program NAME [ARGS...]: builds the program, then runs it in the project's prefix.
run_timing_program() {
    build_windows >/dev/null
    prepare_wine_prefix "$KIBOLT_TOP/build/windows/wineprefix"
    run_built_program "$@"
}
