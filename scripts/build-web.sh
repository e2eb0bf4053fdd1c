#!/usr/bin/env bash
# Builds Vernaskel for the browser on Debian 12 and packs it:
#   build-web/site/                         the page, the program (.js and .wasm)
#                                           and its data package: put it on any
#                                           static web server
#   build-web/vernaskel-<version>-web.zip   that folder, zipped
#
# The program is the same code as on the desktop, built with Debian's
# Emscripten; its libraries (libjpeg-turbo, SDL2 for its bitmap loader,
# FreeType) are built from Debian's source packages into build-web/prefix
# once and reused. The default data is drawn by a native rule generator and
# the page's icons by a native icon tool: VERNASKEL_NATIVE_RULEGEN names the
# one (scripts/test.sh hands over the Linux build's), VERNASKEL_NATIVE_ICON
# the other (by default the vernaskel_icon beside that generator); what is
# not there is built in build-web/native.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-web
prefix=$out/prefix
sources=$out/sources

scripts/setup-debian.sh web
mkdir -p "$out"

# Debian's Emscripten keeps its library cache read-only and frozen: it works
# on a writable copy of it (EM_FROZEN_CACHE must be empty to unfreeze it).
cache=$out/emscripten-cache
if [ ! -d "$cache" ]; then
  cp -r /usr/share/emscripten/cache "$cache.tmp"
  mv "$cache.tmp" "$cache"
fi
export EM_CACHE=$cache EM_FROZEN_CACHE=
# Emscripten's JavaScript optimiser needs Debian's node modules (acorn), which
# a node that is not Debian's does not look for.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# --- The libraries, from Debian's source packages ----------------------------
target="the browser"
configure=(emcmake cmake)
source scripts/lib/debian-sources.sh
get_sources libjpeg-turbo libsdl2 freetype

# IJG API version 62, without SIMD code; CMake cannot tell Emscripten's type
# sizes, so they are given.
build_library libjpeg-turbo "$sources/libjpeg-turbo" -DENABLE_SHARED=0 -DENABLE_STATIC=1 -DWITH_SIMD=0 \
  -DWITH_TURBOJPEG=0 -DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4
# The program uses SDL's bitmap loader only; its configuration is slow
# (every check runs Emscripten), hence built once.
build_library libsdl2 "$sources/libsdl2" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_THREADS=OFF \
  -DSDL_AUDIO=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_POWER=OFF -DSDL_SENSOR=OFF -DSDL_LOCALE=OFF \
  -DSDL_MISC=OFF -DSDL_RENDER=OFF
build_library freetype "$sources/freetype" -DBUILD_SHARED_LIBS=OFF -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
  -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON

# The licences of what the page carries: the libraries linked in and the font.
licences=$prefix/licences
mkdir -p "$licences"
cp "$sources/libsdl2/LICENSE.txt" "$licences/SDL2.txt"
cat "$sources/libjpeg-turbo/LICENSE.md" "$sources/libjpeg-turbo/README.ijg" > "$licences/libjpeg-turbo.txt"
cp "$sources/freetype/docs/FTL.TXT" "$licences/FreeType.txt"
cp /usr/share/doc/fonts-liberation/copyright "$licences/Liberation fonts.txt"

# --- A rule generator and an icon tool that run here ------------------------
rulegen=${VERNASKEL_NATIVE_RULEGEN:-}
icon=${VERNASKEL_NATIVE_ICON:-}
if [ -z "$icon" ] && [ -n "$rulegen" ] && [ -x "$(dirname "$rulegen")/vernaskel_icon" ]; then
  icon=$(dirname "$rulegen")/vernaskel_icon
fi
if [ -z "$rulegen" ] || [ -z "$icon" ]; then
  cmake -S . -B "$out/native" -DCMAKE_BUILD_TYPE=Release -DVERNASKEL_TESTS=OFF -DVERNASKEL_BENCHMARKS=OFF > /dev/null
  cmake --build "$out/native" -j2 --target vernaskel_rulegen vernaskel_icon
  rulegen=${rulegen:-$out/native/tools/vernaskel-rulegen}
  icon=${icon:-$out/native/tools/vernaskel_icon}
fi

# --- The program and the site ----------------------------------------------
emcmake cmake -S . -B "$out/program" -DCMAKE_BUILD_TYPE=Release -DCMAKE_FIND_ROOT_PATH="$prefix" \
  -DCMAKE_PREFIX_PATH="$prefix" -DVERNASKEL_NATIVE_RULEGEN="$rulegen" -DVERNASKEL_NATIVE_ICON="$icon" -DVERNASKEL_LICENCE_DIR="$licences" \
  -DVERNASKEL_WERROR="${VERNASKEL_WERROR:-OFF}" > /dev/null
cmake --build "$out/program" -j2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/program/CMakeCache.txt")
rm -rf "$out/site"
cp -r "$out/program/site" "$out/site"
zip=$out/vernaskel-$version-web.zip
rm -rf "$out/zip" "$zip"
mkdir -p "$out/zip"
cp -r "$out/site" "$out/zip/vernaskel-$version-web"
(cd "$out/zip" && cmake -E tar cf "$zip" --format=zip "vernaskel-$version-web")
rm -rf "$out/zip"
echo "Wrote $out/site"
echo "Wrote $zip"
