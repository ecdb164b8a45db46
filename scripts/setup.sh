#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine. Idempotent: a second
# run installs nothing and rebuilds nothing, and a run repairs what is missing. Packages come from
# Debian (the Windows host MrsWatson from npm); libpng and Google Benchmark for mingw are built from
# Debian's own source packages into a cache outside the source tree. Nothing system-wide is
# switched: the toolchain file names the mingw compilers of the posix thread model itself.
set -euo pipefail

REPO=$(cd "$(dirname "$0")/.." && pwd)
CACHE_DIR="${QUORVALENT_CACHE:-$HOME/.cache/quorvalent}"
MINGW_PREFIX="$CACHE_DIR/mingw64"

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config git make dpkg-dev
  clang libclang-rt-14-dev
  clang-format-14  # the code's one format, checked by the tests
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev libz-mingw-w64-dev
  wine64 xvfb xauth fonts-dejavu-core
  libcairo2-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev liblodepng-dev libpixman-1-dev libimagequant-dev
  lsp-plugins-vst dragonfly-reverb-vst zam-plugins
  # the editor's artwork (resources/make_artwork.py)
  python3-cairo fonts-dejavu-core
  # real hosts: Ardour for the native plug-in (driven by ardour7-lua), and gdb for the backtraces
  # of a host that crashes
  ardour gdb
)

sudo_if() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# npm fetches the Windows host below; a Node.js from elsewhere may bring its own.
command -v npm >/dev/null || missing+=(npm)
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_if apt-get update -qq
  DEBIAN_FRONTEND=noninteractive sudo_if apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Debian ships neither libpng nor Google Benchmark built for mingw: both are built from Debian's own
# source packages into a cache outside the source tree, once.
ensure_deb_src() {
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    echo "setup: adding deb-src entries"
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        | sudo_if tee /etc/apt/sources.list.d/quorvalent-src.sources >/dev/null
    else
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
        | sudo_if tee /etc/apt/sources.list.d/quorvalent-src.list >/dev/null
    fi
    sudo_if apt-get update -qq
  fi
}

# fetch_source SOURCE-PACKAGE DIR-PREFIX: Debian's source of the package into $CACHE_DIR/src; sets
# SOURCE_DIR. A failed download shows apt-get's own messages and stops the set-up.
fetch_source() {
  local pkg=$1 dirprefix=$2
  ensure_deb_src
  local src="$CACHE_DIR/src/$pkg" log
  rm -rf "$src" && mkdir -p "$src"
  log="$src/apt-get-source.log"
  if ! (cd "$src" && { apt-get source -t bookworm "$pkg" || apt-get source "$pkg"; }) >"$log" 2>&1; then
    echo "setup: apt-get source $pkg failed:" >&2
    cat "$log" >&2
    exit 1
  fi
  SOURCE_DIR=$(find "$src" -maxdepth 1 -mindepth 1 -type d -name "$dirprefix-*" | head -n 1)
  if [ -z "$SOURCE_DIR" ]; then
    echo "setup: the source of $pkg is not where apt-get put it:" >&2
    cat "$log" >&2
    exit 1
  fi
}

# build_for_mingw SOURCE-PACKAGE CMAKE-ARGS...: builds SOURCE_DIR statically into $MINGW_PREFIX with
# the project's own toolchain file.
build_for_mingw() {
  local pkg=$1; shift
  local build="$CACHE_DIR/src/$pkg/build"
  echo "setup: building $pkg for x86_64-w64-mingw32 into $MINGW_PREFIX"
  cmake -S "$SOURCE_DIR" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$MINGW_PREFIX" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$build" >/dev/null
  cmake --install "$build" >/dev/null
}

# libpng for mingw, and the PngSuite and malformed samples of the same source for the decoder tests:
# whichever is missing is made again.
png_lib_ok() { [ -f "$MINGW_PREFIX/lib/libpng16.a" ] && [ -f "$MINGW_PREFIX/include/png.h" ]; }
png_samples_ok() {
  [ -n "$(find "$CACHE_DIR/pngsuite" -maxdepth 1 -name '*.png' 2>/dev/null | head -n 1)" ] &&
    [ -n "$(find "$CACHE_DIR/testpngs/crashers" -maxdepth 1 -name '*.png' 2>/dev/null | head -n 1)" ]
}
if ! png_lib_ok || ! png_samples_ok; then
  fetch_source libpng1.6 libpng1.6
  if ! png_lib_ok; then
    build_for_mingw libpng1.6 -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
      -DPNG_EXECUTABLES=OFF -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
      -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a
  fi
  if ! png_samples_ok; then
    echo "setup: copying the PNG test samples into $CACHE_DIR"
    rm -rf "$CACHE_DIR/pngsuite" "$CACHE_DIR/testpngs"
    cp -r "$SOURCE_DIR/contrib/pngsuite" "$CACHE_DIR/pngsuite"
    cp -r "$SOURCE_DIR/contrib/testpngs" "$CACHE_DIR/testpngs"
  fi
  rm -rf "$CACHE_DIR/src/libpng1.6"
fi

if [ ! -f "$MINGW_PREFIX/lib/libbenchmark.a" ]; then
  fetch_source benchmark benchmark
  build_for_mingw benchmark -DGIT_VERSION=1.7.1 -DBENCHMARK_ENABLE_TESTING=OFF \
    -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF
  rm -rf "$CACHE_DIR/src/benchmark"
fi

# MrsWatson 0.9.6, a command-line VST 2.4 host, runs the DLL under wine; the npm package
# node-vst-host ships its Windows build.
MRSWATSON_DIR="$CACHE_DIR/mrswatson"
MRSWATSON="$MRSWATSON_DIR/node_modules/node-vst-host/MrsWatson/bin/win32/mrswatson64.exe"
if [ ! -f "$MRSWATSON" ]; then
  echo "setup: installing MrsWatson (npm package node-vst-host 0.0.3) into $MRSWATSON_DIR"
  mkdir -p "$MRSWATSON_DIR"
  npm install --prefix "$MRSWATSON_DIR" --no-save --no-audit --no-fund --loglevel=error \
    node-vst-host@0.0.3 >/dev/null
  [ -f "$MRSWATSON" ] || { echo "setup: $MRSWATSON is missing after the install" >&2; exit 1; }
fi

echo "setup: done (mingw libraries in $MINGW_PREFIX, MrsWatson in $MRSWATSON_DIR)"
