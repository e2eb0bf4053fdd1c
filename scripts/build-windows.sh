#!/usr/bin/env bash
# Builds Vernaskel for 64-bit Windows on Debian 12 and packs it:
#   build-windows/vernaskel-<version>-windows-x64.zip   unzip and run
#   build-windows/vernaskel-<version>-setup.exe         the installer
#
#   build-windows.sh [--tests]   --tests: also the unit tests, as a Windows program
#
# The libraries (libjpeg-turbo, SDL2, FreeType; GoogleTest for the tests) are
# built static from Debian's source packages into build-windows/prefix once
# and reused. The default data is drawn by a native rule generator:
# VERNASKEL_NATIVE_RULEGEN names one (scripts/test.sh hands over the Linux
# build's), otherwise one is built in build-windows/native.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-windows
prefix=$out/prefix
sources=$out/sources
toolchain=$root/cmake/mingw-w64-x86_64.cmake
tests=OFF
case "${1:-}" in
  "") ;;
  --tests) tests=ON ;;
  *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac

scripts/setup-debian.sh windows
mkdir -p "$out" "$prefix" "$sources"

# --- The libraries, from Debian's source packages ----------------------------
target=Windows
configure=(cmake -DCMAKE_TOOLCHAIN_FILE="$toolchain")
source scripts/lib/debian-sources.sh
get_sources libjpeg-turbo libsdl2 freetype

# IJG API version 62, static, with the SIMD code (nasm).
build_library libjpeg-turbo "$sources/libjpeg-turbo" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON
# Static only: beside a DLL, SDL2::SDL2 would name the DLL. Only what the
# program uses: a window with an OpenGL context, its events, message boxes
# and the bitmap loader.
build_library libsdl2 "$sources/libsdl2" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON \
  -DSDL_AUDIO=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_POWER=OFF -DSDL_SENSOR=OFF \
  -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_RENDER=OFF -DSDL_DIRECTX=OFF -DSDL_RENDER_D3D=OFF -DSDL_VULKAN=OFF \
  -DSDL_OPENGLES=OFF -DSDL_XINPUT=OFF -DSDL_WASAPI=OFF
build_library freetype "$sources/freetype" -DBUILD_SHARED_LIBS=OFF -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
  -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
if [ "$tests" = ON ]; then
  # Debian's googletest package carries its sources.
  build_library googletest /usr/src/googletest -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
fi

# The licences of what the programs link in, for the packages.
licences=$prefix/licences
mkdir -p "$licences"
cp "$sources/libsdl2/LICENSE.txt" "$licences/SDL2.txt"
cat "$sources/libjpeg-turbo/LICENSE.md" "$sources/libjpeg-turbo/README.ijg" > "$licences/libjpeg-turbo.txt"
cp "$sources/freetype/docs/FTL.TXT" "$licences/FreeType.txt"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$licences/MinGW-w64 runtime.txt"

# --- A rule generator that runs here, for the default data ----------------
rulegen=${VERNASKEL_NATIVE_RULEGEN:-}
if [ -z "$rulegen" ]; then
  cmake -S . -B "$out/native" -DCMAKE_BUILD_TYPE=Release -DVERNASKEL_TESTS=OFF -DVERNASKEL_BENCHMARKS=OFF > /dev/null
  cmake --build "$out/native" -j2 --target vernaskel_rulegen
  rulegen=$out/native/tools/vernaskel-rulegen
fi

# --- The programs and the packages -------------------------------------------
cmake -S . -B "$out/program" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" -DVERNASKEL_NATIVE_RULEGEN="$rulegen" -DVERNASKEL_LICENCE_DIR="$licences" \
  -DVERNASKEL_TESTS="$tests" -DVERNASKEL_WERROR="${VERNASKEL_WERROR:-OFF}" > /dev/null
cmake --build "$out/program" -j2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/program/CMakeCache.txt")
for file in "vernaskel-$version-windows-x64.zip" "vernaskel-$version-setup.exe"; do
  cp "$out/program/$file" "$out/$file"
  echo "Wrote $out/$file"
done
