#!/usr/bin/env bash
# Builds what the Windows program links beyond Windows' own DLLs, from the distribution's
# source packages, with the MinGW-w64 POSIX-threads compilers: a static Qt (Core, Gui, Widgets,
# the windows platform plugin and the Windows styles; no network, SQL, D-Bus, OpenGL, printing
# or tests), a static libjpeg for the program's JPEG pictures and a static libpsl (with the
# distribution's public suffix list built in) for the sites of cookies.
#
#   scripts/build-qt-windows.sh            build what is missing; prints the Qt prefix last
#   scripts/build-qt-windows.sh --if-built only print the Qt prefix, and only when it is built
#
# Qt is the host's own version (qt6-base-dev), so that the host's moc, rcc and uic serve the
# cross build. Everything is kept in a cache outside the work tree,
# ${XDG_CACHE_HOME:-$HOME/.cache}/surfkolibri/qt-<version>-mingw-w64-<options>, keyed by the
# version and the options below, and reused when its build finished (the file "complete"
# holds the options and how many seconds the build from nothing took). The machine's source
# lists are never touched (scripts/fetch-source.sh); the compiler cache (ccache) makes a
# second build on the same machine a matter of minutes.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev qt6-base-dev
          qt6-base-dev-tools ccache xz-utils meson publicsuffix python3)
[ "${1:-}" = --if-built ] || scripts/need-packages.sh build-qt-windows "${packages[@]}"

debian_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || echo 6.4.2+dfsg-10)
qt_version=${debian_version%%+*}
qt_version=${qt_version%%-*}

# Everything the build needs of Qt, and nothing it does not: the options are part of the key.
qt_options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DFEATURE_static_runtime=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_testlib=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_icu=OFF -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF
    # The distribution's source leaves out the tablet header wintab.h.
    -DFEATURE_tabletevent=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_doubleconversion=OFF
)
key=$(printf '%s\n' "${qt_options[@]}" | sha256sum | cut -c1-8)
cache="${XDG_CACHE_HOME:-$HOME/.cache}/surfkolibri"
prefix="$cache/qt-$qt_version-mingw-w64-$key"

built() { [ -s "$prefix/complete" ] && [ -s "$prefix/lib/libjpeg.a" ] && [ -s "$prefix/lib/libpsl.a" ]; }
if [ "${1:-}" = --if-built ]; then
    built && echo "$prefix"
    exit 0
fi
if built; then
    echo "$prefix"
    exit 0
fi

mkdir -p "$cache"
# One build at a time: a second caller waits for the first.
exec 9>"$cache/qt-build.lock"
flock 9
if built; then
    echo "$prefix"
    exit 0
fi

sources="$cache/sources"
toolchain="$PWD/cmake/mingw-w64.cmake"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Qt's precompiled headers are cached too when ccache may ignore their time stamps.
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
    export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-8G}
fi

unpack() { # package version folder -> prints the unpacked upstream folder
    local package=$1 version=$2 folder=$3
    if ! ls "$folder"/"${package}"_*.orig.tar.* >/dev/null 2>&1; then
        rm -rf "$folder" && mkdir -p "$folder"
        scripts/fetch-source.sh "$package" "$folder" "$version" >&2
    fi
    local tarball
    tarball=$(ls "$folder"/"${package}"_*.orig.tar.* | head -1)
    rm -rf "$folder/src" && mkdir -p "$folder/src"
    tar -xf "$tarball" -C "$folder/src"
    ls -d "$folder"/src/*/ | head -1
}

if [ ! -s "$prefix/complete" ]; then
    started=$(date +%s)
    echo "build-qt-windows: building Qt $qt_version for Windows into $prefix (65 minutes of processor time: some 35 minutes on 2 idle cores)"
    qt_source=$(unpack qt6-base "$debian_version" "$sources/qt6-base")
    work="$cache/qt-build-$qt_version-$key"
    rm -rf "$work" "$prefix"
    cmake -S "$qt_source" -B "$work" -G Ninja --no-warn-unused-cli \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        "${launcher[@]}" "${qt_options[@]}" >"$cache/qt-configure.log" 2>&1 || {
        echo "build-qt-windows: Qt's configuration failed; see $cache/qt-configure.log" >&2
        exit 1
    }
    cmake --build "$work" -j"$(nproc)" >"$cache/qt-build.log" 2>&1 || {
        tail -40 "$cache/qt-build.log" >&2
        echo "build-qt-windows: Qt's build failed; see $cache/qt-build.log" >&2
        exit 1
    }
    cmake --install "$work" >/dev/null
    rm -rf "$work" "$sources/qt6-base/src"
    seconds=$(($(date +%s) - started))
    printf '%s\n' "qt $qt_version" "seconds $seconds" "${qt_options[@]}" >"$prefix/complete"
    echo "build-qt-windows: Qt built in $((seconds / 60)) min $((seconds % 60)) s"
fi

# libjpeg from the distribution's libjpeg-turbo, for the program's own JPEG decoder.
if [ ! -s "$prefix/lib/libjpeg.a" ]; then
    jpeg_version=$(dpkg-query -W -f='${Version}' libjpeg62-turbo-dev 2>/dev/null || true)
    jpeg_source=$(unpack libjpeg-turbo "${jpeg_version}" "$sources/libjpeg-turbo")
    work="$cache/jpeg-build"
    rm -rf "$work"
    cmake -S "$jpeg_source" -B "$work" -G Ninja --no-warn-unused-cli \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
        -DWITH_SIMD=OFF -DWITH_JPEG8=OFF -DCMAKE_INSTALL_LIBDIR="$prefix/lib" "${launcher[@]}" \
        >"$cache/jpeg-build.log" 2>&1 &&
        cmake --build "$work" -j"$(nproc)" >>"$cache/jpeg-build.log" 2>&1 &&
        cmake --install "$work" >>"$cache/jpeg-build.log" 2>&1 || {
        echo "build-qt-windows: libjpeg's build failed; see $cache/jpeg-build.log" >&2
        exit 1
    }
    rm -rf "$work" "$sources/libjpeg-turbo/src"
fi
# libpsl from the distribution's source, with the public suffix list of its publicsuffix
# package built in; only the library (no IDNA conversions: the program asks for ASCII names).
if [ ! -s "$prefix/lib/libpsl.a" ]; then
    psl_version=$(dpkg-query -W -f='${Version}' libpsl5 2>/dev/null || true)
    psl_source=$(unpack libpsl "$psl_version" "$sources/libpsl")
    work="$cache/psl-build"
    rm -rf "$work" && mkdir -p "$work"
    printf '%s\n' "[binaries]" "c = ['ccache', 'x86_64-w64-mingw32-gcc-posix']" \
        "ar = 'x86_64-w64-mingw32-ar'" "strip = 'x86_64-w64-mingw32-strip'" "[host_machine]" \
        "system = 'windows'" "cpu_family = 'x86_64'" "cpu = 'x86_64'" "endian = 'little'" \
        >"$work/cross.ini"
    (meson setup "$work/build" "$psl_source" --cross-file "$work/cross.ini" --default-library=static \
        -Druntime=no -Dbuiltin=true -Ddocs=false \
        -Dpsl_file=/usr/share/publicsuffix/public_suffix_list.dat &&
        ninja -C "$work/build" src/libpsl.a) >"$cache/psl-build.log" 2>&1 || {
        echo "build-qt-windows: libpsl's build failed; see $cache/psl-build.log" >&2
        exit 1
    }
    mkdir -p "$prefix/include" "$prefix/lib"
    cp "$work/build/include/libpsl.h" "$prefix/include/"
    cp "$work/build/src/libpsl.a" "$prefix/lib/"
    rm -rf "$work" "$sources/libpsl/src"
fi
built || {
    echo "build-qt-windows: the build ended without Qt, libjpeg and libpsl all in $prefix" >&2
    exit 1
}
echo "$prefix"
