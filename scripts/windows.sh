#!/usr/bin/env bash
# The Windows build: scripts/windows.sh [--syntax-only | --if-cached]
#
#   (no option)    installs what it needs, builds Debian's own Qt for Windows
#                  once into a cache folder, cross-builds the project with
#                  mingw-w64, writes dist/korvane-utility-<version>-win64.zip
#                  and runs the tests and a smoke run under wine;
#   --if-cached    the same, but only when the Qt for Windows is already in
#                  the cache (CI: its build alone takes 15-25 minutes);
#   --syntax-only  compiles every source with the mingw-w64 compiler against
#                  the Linux Qt headers, syntax only: no Qt build needed, and
#                  a call Windows does not have fails.
#
# KORVANE_QT_WIN_CACHE: where the Qt for Windows is kept (default
# ~/.cache/korvane/qt-win64); KORVANE_JOBS: parallel jobs (default: cores).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=${KORVANE_JOBS:-$(nproc)}
mode=${1:-full}
cache=${KORVANE_QT_WIN_CACHE:-$HOME/.cache/korvane/qt-win64}
triplet=x86_64-w64-mingw32
build="$here/build/win64"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        as_root apt-get update -qq
        DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# The version of the Qt the Linux build uses, e.g. 5.15.8+dfsg-11+deb12u3.
linux_qt_version() {
    dpkg-query -W -f='${source:Version}' qtbase5-dev
}

syntax_only() {
    install_packages g++-mingw-w64-x86-64-posix qtbase5-dev libfccp-dev
    local qt=/usr/include/x86_64-linux-gnu/qt5
    local stubs
    stubs=$(mktemp -d)
    trap 'rm -rf "$stubs"' RETURN
    # The Linux Qt headers are the Windows ones but for their configuration;
    # the compiler's own macros choose every Windows branch. Generated files
    # (moc output) are not needed to check the code that includes them.
    local flags=(-fsyntax-only -std=c++17 -Wall -Wextra -Wno-attributes
                 -DQT_CORE_LIB -DQT_GUI_LIB -DQT_WIDGETS_LIB -DQT_NETWORK_LIB -DQT_TESTLIB_LIB
                 -DKORVANE_CLI_PATH='"korvane-cli.exe"' -DKORVANE_SIM_PATH='"korvane-sim.exe"'
                 -DKORVANE_DEMO_PATH='"korvane-demo.exe"'
                 -I"$here" -I"$stubs" -isystem /usr/include/libfccp -isystem "$qt")
    for module in QtCore QtGui QtWidgets QtNetwork QtTest; do
        flags+=(-isystem "$qt/$module")
    done
    local files
    files=$(cd "$here" && git ls-files '*.cpp' | grep -v '^tests/fuzz/')
    (cd "$here" && grep -h -o '#include "[a-z0-9_]*\.moc"' $files | sed 's/.*"\(.*\)"/\1/' \
        | while read -r moc; do : > "$stubs/$moc"; done)
    echo "== Windows syntax check: $(echo "$files" | wc -l) sources with $triplet-g++-posix"
    (cd "$here" && echo "$files" | xargs -P "$jobs" -n 8 "$triplet-g++-posix" "${flags[@]}")
}

# The source of the very qtbase the Linux build uses, from the same archive.
fetch_qt_source() {
    local version=$1 dest=$2
    if ! apt-get source --print-uris "qtbase-opensource-src=$version" >/dev/null 2>&1; then
        echo "== adding a deb-src entry for Debian's sources"
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
                | as_root tee /etc/apt/sources.list.d/korvane-deb-src.sources >/dev/null
        else
            grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
                | as_root tee /etc/apt/sources.list.d/korvane-deb-src.list >/dev/null
        fi
        as_root apt-get update -qq
    fi
    rm -rf "$dest" && mkdir -p "$dest"
    (cd "$dest" && apt-get source -qq "qtbase-opensource-src=$version" >/dev/null)
}

qt_is_cached() {
    [ -f "$cache/qt/korvane-qt-version" ] && [ "$(cat "$cache/qt/korvane-qt-version")" = "$(linux_qt_version)" ]
}

# Debian's qtbase built for Windows into $cache/qt, once per version.
build_qt() {
    local version
    version=$(linux_qt_version)
    if qt_is_cached; then
        echo "== Qt $version for Windows: $cache/qt (cached)"
        return 0
    fi
    echo "== building Qt $version for Windows into $cache/qt (15-25 minutes on 2 cores)"
    fetch_qt_source "$version" "$cache/src"
    local src
    src=$(find "$cache/src" -maxdepth 1 -mindepth 1 -type d -name 'qtbase-opensource-src-*' | head -n 1)
    rm -rf "$cache/build" "$cache/qt" && mkdir -p "$cache/build"
    # configure calls the compilers by the bare triplet; these are the
    # posix-thread ones whatever the system's alternatives say.
    mkdir -p "$cache/bin"
    for tool in gcc g++; do
        ln -sf "$(command -v "$triplet-$tool-posix")" "$cache/bin/$triplet-$tool"
    done
    (cd "$cache/build" && PATH="$cache/bin:$PATH" "$src/configure" \
        -xplatform win32-g++ -device-option CROSS_COMPILE=$triplet- \
        -prefix "$cache/qt" -release -shared -opensource -confirm-license \
        -nomake examples -nomake tests -no-feature-tabletevent \
        -no-opengl -no-dbus -no-icu -no-openssl -no-sql-sqlite -no-sql-odbc \
        -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-freetype -qt-harfbuzz \
        > "$cache/configure.log" 2>&1) || { tail -n 40 "$cache/configure.log"; exit 1; }
    (cd "$cache/build" && PATH="$cache/bin:$PATH" make -j "$jobs" > "$cache/make.log" 2>&1 \
        && make install > "$cache/install.log" 2>&1) || { tail -n 40 "$cache/make.log"; exit 1; }
    echo "$version" > "$cache/qt/korvane-qt-version"
    # The installed Qt is all that is needed again: 1.7 GB less.
    rm -rf "$cache/build" "$cache/src"
}

mingw_runtime() {
    local gcc_dir
    gcc_dir=$(dirname "$("$triplet-g++-posix" -print-libgcc-file-name)")
    echo "$gcc_dir/libstdc++-6.dll $gcc_dir/libgcc_s_seh-1.dll /usr/$triplet/lib/libwinpthread-1.dll"
}

build_project() {
    echo "== cross-building the utility into $build"
    if [ ! -f "$build/build.ninja" ]; then
        cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$cache/qt" >/dev/null
    fi
    cmake --build "$build" -j "$jobs"
}

package() {
    local version name stage
    version=$(sed -n 's/^project(KorvaneUtility VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
    name=korvane-utility-$version-win64
    stage="$build/stage/$name"
    rm -rf "$build/stage" && mkdir -p "$stage/platforms" "$stage/styles"
    cp "$build"/korvane-utility.exe "$build"/korvane-cli.exe "$build"/korvane-sim.exe "$stage/"
    for module in Core Gui Widgets Network; do
        cp "$cache/qt/bin/Qt5$module.dll" "$stage/"
    done
    cp "$cache/qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
    cp "$cache/qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
    # shellcheck disable=SC2046
    cp $(mingw_runtime) "$stage/"
    mkdir -p "$here/dist"
    rm -f "$here/dist/$name.zip"
    (cd "$build/stage" && zip -q -r "$here/dist/$name.zip" "$name")
    echo "== dist/$name.zip"
    (cd "$build/stage" && find "$name" -type f | sort | sed 's/^/    /')
    zip_stage=$stage
}

# A wine of our own below the cache, never the user's, set up without the
# Mono and Gecko installers that would wait for a click.
wine_env() {
    export WINEPREFIX="$cache/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "== preparing the wine prefix $WINEPREFIX"
        wineboot -u >/dev/null 2>&1 || true
        wineserver -w
    fi
    local path="" dir
    for dir in "$cache/qt/bin" $(for f in $(mingw_runtime); do dirname "$f"; done | sort -u); do
        path="$path;Z:${dir//\//\\}"
    done
    export WINEPATH="${path#;}"
    # Wine hands no QT_* variable of ours to a Windows program, so the tests'
    # platform, and the fonts it draws with (the Linux build's own), are set
    # in the prefix's environment. Qt finds its plugins through the prefix it
    # was built for.
    wine_setenv QT_QPA_PLATFORM offscreen
    wine_setenv QT_QPA_FONTDIR 'Z:\usr\share\fonts\truetype\dejavu'
    # The wineserver and wine's own services, started by the first test, would
    # hold that test's output open, and ctest would wait for them to end.
    wineserver -p >/dev/null 2>&1 </dev/null || true
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}

wine_setenv() {
    wine reg add 'HKCU\Environment' /v "$1" /d "$2" /f >/dev/null 2>&1
}

wine_tests() {
    echo "== tests under wine"
    local log="$build/wine-tests.log"
    (cd "$build" && ctest -V -j "$jobs" --timeout 300 > "$log" 2>&1) || wine_failed=1
    # ctest's verdicts, every skipped or failed test function, and the sums.
    grep -E '^[0-9]+/[0-9]+ Test|tests passed|tests failed' "$log" || true
    grep -E '^[0-9]+: (SKIP|FAIL!) ' "$log" | sed 's/^[0-9]*: /    /' || true
    grep -E '^[0-9]+: Totals: ' "$log" \
        | awk '{ p += $3; f += $5; s += $7 } END { printf "== test functions under wine: %d passed, %d failed, %d skipped\n", p, f, s }'
    echo "== the whole log: $log"
}

smoke() {
    echo "== smoke run from the zip's own folder: korvane-sim.exe and korvane-cli.exe on 127.0.0.77"
    local stage=$zip_stage
    # Only the zip's folder: whatever it lacks, the programs lack.
    (
        export WINEPATH=""
        cd "$stage"
        wine korvane-sim.exe --listen 127.0.0.77:8080 --family 2.53 --serial 2530000077 > "$build/smoke-sim.log" 2>&1 &
        sim=$!
        sleep 3
        status=0
        wine korvane-cli.exe identify 127.0.0.77 || status=$?
        kill "$sim" 2>/dev/null || true
        exit $status
    ) || smoke_failed=1
}

# Under wine a UDP socket bound to one loopback address listens on them all,
# so the Windows LAN search is checked against a Linux simulator.
search_smoke() {
    echo "== the Windows LAN search finds a Linux simulator on 127.0.0.78"
    local host="$here/build/plain"
    if [ ! -x "$host/korvane-sim" ]; then
        host="$here/build/host-sim"
        [ -f "$host/build.ninja" ] || cmake -S "$here" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build "$host" --target korvane-sim -j "$jobs" >/dev/null
    fi
    (
        "$host/korvane-sim" --listen 127.0.0.78:8080 --family 2.52 --serial 252000000078 > "$build/search-sim.log" 2>&1 &
        sim=$!
        sleep 1
        found=$(cd "$zip_stage" && WINEPATH="" wine korvane-cli.exe discover --broadcast 127.0.0.78) || true
        kill "$sim" 2>/dev/null || true
        echo "$found"
        case "$found" in 252000000078$'\t'127.0.0.78$'\t'*) ;; *) exit 1 ;; esac
    ) || smoke_failed=1
}

case "$mode" in
    --syntax-only) syntax_only; exit 0 ;;
    --if-cached)
        if ! qt_is_cached; then
            echo "== Windows build skipped: no Qt $(linux_qt_version) for Windows in $cache yet" \
                 "(bash scripts/windows.sh builds it once, 15-25 minutes)"
            exit 0
        fi ;;
    full) ;;
    *) echo "usage: $0 [--syntax-only | --if-cached]" >&2; exit 2 ;;
esac

install_packages g++-mingw-w64-x86-64-posix wine64 wine dpkg-dev zip qtbase5-dev libfccp-dev ninja-build cmake \
                 fonts-dejavu-core
build_qt
build_project
package
wine_failed=0
smoke_failed=0
wine_env
wine_tests
smoke
search_smoke
wineserver -k 2>/dev/null || true
[ "$wine_failed" -eq 0 ] && [ "$smoke_failed" -eq 0 ]
