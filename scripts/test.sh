#!/usr/bin/env bash
# Sets up, builds and runs every test of Vernaskel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERNASKEL_WERROR=ON
cmake --build build -j2
ctest --test-dir build --output-on-failure
# Every fuzz target for a bounded time (VERNASKEL_FUZZ_SECONDS each; 0 skips).
fuzz_seconds=${VERNASKEL_FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" -gt 0 ]; then
  scripts/fuzz.sh "$fuzz_seconds"
fi
