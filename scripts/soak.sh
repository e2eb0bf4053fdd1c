#!/usr/bin/env bash
# The long soak: a million passes of the real main loop under a seeded random
# script of input, with the scene's invariants checked as it goes.
#   scripts/soak.sh [PASSES [SEED]]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target vernaskel_soak_tests
VERNASKEL_SOAK_PASSES=${1:-1000000} VERNASKEL_SOAK_SEED=${2:-20261207} exec build/tests/vernaskel_soak_tests
