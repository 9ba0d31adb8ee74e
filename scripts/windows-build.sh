#!/usr/bin/env bash
# Builds the Windows programs into build-windows/ with the distribution's MinGW-w64
# (cmake/mingw-w64.cmake, the SDK headers behind win32.h): the console runner, the seeding tool
# and the test programs, and with QT_PREFIX (Qt and libjpeg for Windows,
# scripts/build-qt-windows.sh) the program with its windows, surfkolibri.exe, too.
#
#   scripts/windows-build.sh [QT_PREFIX]
set -euo pipefail
cd "$(dirname "$0")/.."
qt=${1:-}

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 googletest
          nlohmann-json3-dev tcl xz-utils sqlite3 nsis)
scripts/need-packages.sh windows-build "${packages[@]}"

build=build-windows

# SQLite for the browsers' databases, as the amalgamation (sqlite3.c, sqlite3.h) that the
# distribution's source package of sqlite3 makes: fetched once through apt with a source list
# of our own (the machine's lists are left as they are) and kept in the build folder.
amalgamation="$PWD/$build/sqlite-amalgamation"
if [ ! -s "$amalgamation/sqlite3.c" ]; then
    command -v tclsh >/dev/null || {
        [ "$(id -u)" -eq 0 ] && DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq tcl >/dev/null
    }
    src="$PWD/$build/sqlite-source"
    rm -rf "$src"
    scripts/fetch-source.sh sqlite3 "$src" || exit 1
    tar -xf "$(ls "$src"/sqlite3_*.orig.tar.* | grep -v www | head -1)" -C "$src"
    mkdir -p "$src/make" "$amalgamation"
    (cd "$src/make" && "$(ls -d "$src"/sqlite3-*/ | head -1)"configure --disable-tcl >/dev/null &&
        make sqlite3.c >/dev/null 2>&1) || {
        echo "windows-build: cannot make the SQLite amalgamation" >&2
        exit 1
    }
    cp "$src/make/sqlite3.c" "$src/make/sqlite3.h" "$amalgamation/"
fi

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
launcher=()
# Paths below the checkout are hashed relative to it, so every clone shares the cache.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache) &&
    export CCACHE_BASEDIR="$PWD"
cmake -S . -B "$build" -G Ninja --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DSURFKOLIBRI_WINDOWS_SDK=ON -DSURFKOLIBRI_WERROR=$werror -DSURFKOLIBRI_QT_PREFIX="$qt" \
    -DSURFKOLIBRI_SQLITE_AMALGAMATION="$amalgamation" "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

