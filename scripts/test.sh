#!/usr/bin/env bash
# Sets up, builds and runs every test of Vernaskel.
#   VERNASKEL_WINDOWS=0         leaves out the Windows build and its tests under
#                               Wine, for quick local runs (never in CI)
#   VERNASKEL_WEB=0             leaves out the browser build and its tests in
#                               headless Chromium and Firefox (never in CI)
#   VERNASKEL_FUZZ_SECONDS=N    how long each fuzz target runs (0 skips)
set -euo pipefail
cd "$(dirname "$0")/.."
windows=${VERNASKEL_WINDOWS:-1}
web=${VERNASKEL_WEB:-1}
[ "${CI:-}" = true ] && windows=1 && web=1
scripts/setup-debian.sh test
windows_build=
[ "$windows" = 0 ] || windows_build=$PWD/build-windows/program
web_site=
[ "$web" = 0 ] || web_site=$PWD/build-web/site
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERNASKEL_WERROR=ON -DVERNASKEL_WINDOWS_BUILD="$windows_build" \
  -DVERNASKEL_WEB_SITE="$web_site"
cmake --build build -j2
if [ "$windows" != 0 ]; then
  # The Windows programs, their packages and their unit tests, with the
  # default data drawn by the generator just built.
  VERNASKEL_NATIVE_RULEGEN=$PWD/build/tools/vernaskel-rulegen VERNASKEL_WERROR=ON scripts/build-windows.sh --tests
fi
if [ "$web" != 0 ]; then
  # The site, with the default data drawn by the generator just built, and
  # the browser tests' driver (no browser download: the tests use Chromium
  # and Firefox ESR from Debian, which build-web.sh installs).
  VERNASKEL_NATIVE_RULEGEN=$PWD/build/tools/vernaskel-rulegen VERNASKEL_WERROR=ON scripts/build-web.sh
  (cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi
ctest --test-dir build --output-on-failure
# The Debian package: what it holds, and lintian finds no error.
scripts/check-package.sh build
# Every fuzz target for a bounded time (VERNASKEL_FUZZ_SECONDS each; 0 skips).
fuzz_seconds=${VERNASKEL_FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" -gt 0 ]; then
  scripts/fuzz.sh "$fuzz_seconds"
fi
