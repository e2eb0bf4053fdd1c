#!/usr/bin/env bash
# Sets up, builds and runs Vernaskel on its default data.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target vernaskel
cd build
exec ./vernaskel
