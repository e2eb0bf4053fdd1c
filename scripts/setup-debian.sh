#!/usr/bin/env bash
# Installs the Debian packages that Vernaskel needs, when they are missing.
#   setup-debian.sh run    what building and running the program needs
#   setup-debian.sh test   that, and what the tests and benchmarks need
#   setup-debian.sh pictures  what building and the README's pictures need
#   setup-debian.sh timing    what building and timing whole starts under Xvfb need
set -euo pipefail

run_packages=(
  build-essential cmake pkg-config
  libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  libjpeg62-turbo-dev libfreetype-dev libfontconfig-dev fonts-liberation libpng-dev
  libx11-dev libgtest-dev libbenchmark-dev
)
test_packages=(
  # xfonts-base: Xvfb's core fonts, without which SDL cannot show a message box
  googletest xvfb xauth xfonts-base xdotool imagemagick x11-utils openbox
  clang libclang-rt-14-dev
)
picture_packages=(imagemagick)
timing_packages=(xvfb)

packages=("${run_packages[@]}")
case "${1:-run}" in
  run) ;;
  test) packages+=("${test_packages[@]}") ;;
  pictures) packages+=("${picture_packages[@]}") ;;
  timing) packages+=("${timing_packages[@]}") ;;
  *) echo "usage: $0 run|test|pictures|timing" >&2; exit 2 ;;
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
