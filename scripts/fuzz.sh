#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, address and undefined-behaviour
# checks) in build-fuzz/ and runs each for a bounded time.
#   scripts/fuzz.sh [TARGET...] [SECONDS]
# TARGET is the name of a fuzz/<name>_fuzzer.cpp (dib, jpeg, ...); none means
# all of them. SECONDS (default 60) is the time for each target.
# Each run starts from the target's seeds, the corpus of earlier runs in
# build-fuzz/corpus/<name>, and the regression files in tests/data/<name>/.
# A finding is written to build-fuzz/findings/ and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
targets=()
for arg in "$@"; do
  if [[ $arg =~ ^[0-9]+$ ]]; then seconds=$arg; else targets+=("$arg"); fi
done
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*_fuzzer.cpp; do
    name=$(basename "$source" _fuzzer.cpp)
    targets+=("$name")
  done
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVERNASKEL_FUZZ=ON -DVERNASKEL_TESTS=OFF -DVERNASKEL_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]/%/_fuzzer}"

mkdir -p build-fuzz/findings
for name in "${targets[@]}"; do
  binary=build-fuzz/fuzz/${name}_fuzzer
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  VERNASKEL_FUZZ_SEEDS=$corpus "$binary" >/dev/null
  corpora=("$corpus")
  [ -d "tests/data/$name" ] && corpora+=("tests/data/$name")
  echo "== fuzzing $name for ${seconds}s"
  # Messages the readers print for each bad input are not wanted; the
  # checkers' reports still reach the terminal (close_fd_mask keeps them).
  "$binary" -max_total_time="$seconds" -timeout=120 -rss_limit_mb=2560 -close_fd_mask=2 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$name-" "${corpora[@]}"
done
