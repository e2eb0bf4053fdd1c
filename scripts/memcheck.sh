#!/usr/bin/env bash
# Runs the test suite under the address and undefined-behaviour checkers
# (build-asan/) and under valgrind (the ordinary build/). Slow; not part of
# scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERNASKEL_BENCHMARKS=OFF \
  -DCMAKE_C_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer" \
  -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan -j2
LSAN_OPTIONS=suppressions=$root/tests/sanitizers/lsan.supp ctest --test-dir build-asan --output-on-failure

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
valgrind=(valgrind --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite --show-leak-kinds=definite
          --suppressions="$root/tests/sanitizers/valgrind.supp" --quiet)
"${valgrind[@]}" build/tests/vernaskel_unit_tests --gtest_brief=1
"${valgrind[@]}" build/tests/vernaskel_e2e_tests --gtest_brief=1
for replay in build/fuzz/*_replay; do
  name=$(basename "$replay" _replay)
  "${valgrind[@]}" "$replay" "tests/data/$name"
done
echo "memcheck: clean"
