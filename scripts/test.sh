#!/usr/bin/env bash
# Sets up, builds and runs every test of Vernaskel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERNASKEL_WERROR=ON
cmake --build build -j2
ctest --test-dir build --output-on-failure
