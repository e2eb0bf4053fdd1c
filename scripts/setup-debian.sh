#!/usr/bin/env bash
# Installs the Debian packages that Vernaskel needs, when they are missing.
#   setup-debian.sh run    what building and running the program needs
#   setup-debian.sh test   that, and what the tests and benchmarks need
#   setup-debian.sh pictures  what building and the README's pictures need
#   setup-debian.sh timing    what building and timing whole starts under Xvfb need
#   setup-debian.sh windows   that, and what the Windows build and its tests need
#   setup-debian.sh web       that, and what the browser build and its tests need
set -euo pipefail

run_packages=(
  build-essential cmake pkg-config
  libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  libjpeg62-turbo-dev libfreetype-dev libfontconfig-dev fonts-liberation libpng-dev
  libx11-dev libgtest-dev libbenchmark-dev
  # the rule generator's --photo: OpenCV's core and image processing only
  libopencv-core-dev libopencv-imgproc-dev
)
test_packages=(
  # xfonts-base: Xvfb's core fonts, without which SDL cannot show a message box
  googletest xvfb xauth xfonts-base xdotool imagemagick x11-utils openbox
  clang libclang-rt-14-dev
  # the installed files' validators and the package's checker
  desktop-file-utils appstream lintian
  # Wine runs the Windows build's tests; it only recommends the Liberation fonts.
  wine wine64 fonts-liberation
)
picture_packages=(imagemagick)
timing_packages=(xvfb)
# The MinGW-w64 posix compilers (std::thread), nasm for libjpeg-turbo's SIMD
# code, dpkg-dev to unpack Debian's source packages, NSIS for the installer,
# GoogleTest's sources for the unit tests built for Windows.
windows_packages=(g++-mingw-w64-x86-64-posix nasm dpkg-dev nsis googletest)
# Emscripten (with the clang and lld it needs), dpkg-dev to unpack Debian's
# source packages, Chromium and Firefox ESR for the tests (driven by npm's
# puppeteer-core; Debian's npm only where the machine has none; Firefox draws
# WebGL only with an X display, Xvfb's).
web_packages=(emscripten dpkg-dev chromium firefox-esr xvfb xauth)
command -v npm > /dev/null || web_packages+=(npm)

packages=("${run_packages[@]}")
case "${1:-run}" in
  run) ;;
  test) packages+=("${test_packages[@]}") ;;
  pictures) packages+=("${picture_packages[@]}") ;;
  timing) packages+=("${timing_packages[@]}") ;;
  windows) packages+=("${windows_packages[@]}") ;;
  web) packages+=("${web_packages[@]}") ;;
  *) echo "usage: $0 run|test|pictures|timing|windows|web" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
