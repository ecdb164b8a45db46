#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine. Idempotent: a second
# run installs nothing and rebuilds nothing. Packages come from Debian (the Windows host MrsWatson
# from npm); libpng for mingw is built from Debian's own source package into a cache outside the
# source tree.
set -euo pipefail

CACHE_DIR="${QUORVALENT_CACHE:-$HOME/.cache/quorvalent}"
MINGW_PREFIX="$CACHE_DIR/mingw64"

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config git make dpkg-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev libz-mingw-w64-dev
  wine64 xvfb xauth fonts-dejavu-core
  libcairo2-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev liblodepng-dev libpixman-1-dev libimagequant-dev
  lsp-plugins-vst dragonfly-reverb-vst zam-plugins
  # the editor's artwork (resources/make_artwork.py)
  python3-cairo fonts-dejavu-core
  # real hosts: Ardour for the native plug-in (driven by ardour7-lua)
  ardour
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

# mingw's posix thread model: std::thread and friends need it.
for tool in x86_64-w64-mingw32-g++ x86_64-w64-mingw32-gcc; do
  if [ -x "/usr/bin/$tool-posix" ] && [ "$(readlink -f "/usr/bin/$tool")" != "/usr/bin/$tool-posix" ]; then
    sudo_if update-alternatives --set "$tool" "/usr/bin/$tool-posix" >/dev/null
  fi
done

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

write_toolchain() {
  cat > "$1" <<TC
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
TC
}

# build_from_source SOURCE-PACKAGE DIR-PREFIX CMAKE-ARGS...: static mingw build into $MINGW_PREFIX.
build_from_source() {
  local pkg=$1 dirprefix=$2; shift 2
  ensure_deb_src
  local src="$CACHE_DIR/src/$pkg"
  rm -rf "$src" && mkdir -p "$src"
  (cd "$src" && { apt-get source -qq -t bookworm "$pkg" >/dev/null 2>&1 || apt-get source -qq "$pkg" >/dev/null 2>&1; })
  local dir
  dir=$(find "$src" -maxdepth 1 -mindepth 1 -type d -name "$dirprefix-*" | head -n 1)
  [ -n "$dir" ] || { echo "setup: source of $pkg not found" >&2; exit 1; }
  echo "setup: building $pkg for x86_64-w64-mingw32 into $MINGW_PREFIX"
  write_toolchain "$src/mingw.cmake"
  cmake -S "$dir" -B "$src/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$src/mingw.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$MINGW_PREFIX" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$src/build" >/dev/null
  cmake --install "$src/build" >/dev/null
  SOURCE_DIR=$dir
}

if [ ! -f "$MINGW_PREFIX/lib/libpng16.a" ] || [ ! -f "$MINGW_PREFIX/include/png.h" ]; then
  build_from_source libpng1.6 libpng1.6 -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a
  # The PngSuite and the malformed samples of the same source feed the decoder tests.
  rm -rf "$CACHE_DIR/pngsuite" "$CACHE_DIR/testpngs"
  cp -r "$SOURCE_DIR/contrib/pngsuite" "$CACHE_DIR/pngsuite"
  cp -r "$SOURCE_DIR/contrib/testpngs" "$CACHE_DIR/testpngs"
  rm -rf "$CACHE_DIR/src/libpng1.6"
fi

if [ ! -f "$MINGW_PREFIX/lib/libbenchmark.a" ]; then
  build_from_source benchmark benchmark -DGIT_VERSION=1.7.1 -DBENCHMARK_ENABLE_TESTING=OFF \
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
