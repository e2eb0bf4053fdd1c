#!/usr/bin/env bash
# Times whole-process starts of the program as a user meets them: each run
# is a new process, timed from just before its exec to its first presented
# scene frame, on the default data, in a 1920 x 1080 Xvfb screen without a
# window manager. OpenGL there is Mesa's llvmpipe: software rendering.
#   scripts/cold-start.sh [--empty-shader-cache] [--against DIR] [RUNS]
# RUNS: how many starts (default 5). --against DIR: a folder holding another
# build's vernaskel and its data/ (an earlier version, say); its starts are
# interleaved with this build's, one each in turn, and summed up apart, so
# that both meet the machine in the same state. Mesa keeps the shaders it compiles in a
# cache on disk, so only a user's very first start compiles them all; with
# --empty-shader-cache every run gets an empty cache of its own, as that
# first start has.
# The program says when it presented the frame (VERNASKEL_TIMING=1); the
# script notes the clock in the child just before the exec. After the first
# run the program's files are in the page cache: the later runs are new
# processes, not a new boot.
set -euo pipefail
export LC_ALL=C  # a '.' in $EPOCHREALTIME and in awk's numbers
cd "$(dirname "$0")/.."
empty_cache=false
if [ "${1:-}" = --empty-shader-cache ]; then
  empty_cache=true
  shift
fi
folders=("$PWD/build")
if [ "${1:-}" = --against ]; then
  [ -x "${2:-}/vernaskel" ] || { echo "$0: no vernaskel in ${2:-}" >&2; exit 2; }
  folders+=("$(cd "$2" && pwd)")
  shift 2
fi
runs=${1:-5}
if ! [[ $runs =~ ^[1-9][0-9]*$ ]] || [ $# -gt 1 ]; then
  echo "usage: $0 [--empty-shader-cache] [--against DIR] [RUNS]" >&2
  exit 2
fi
scripts/setup-debian.sh timing
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target vernaskel >/dev/null

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb writes the display number it chose once it takes clients.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
if ! [ -s "$work/display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
display=":$(head -n 1 "$work/display")"

start=0
for run in $(seq "$runs"); do
for f in "${!folders[@]}"; do
  folder=${folders[$f]}
  start=$((start + 1))
  log="$work/stderr.$start"
  (
    cd "$folder"
    export DISPLAY=$display VERNASKEL_TIMING=1
    if $empty_cache; then export MESA_SHADER_CACHE_DIR="$work/shaders.$start"; fi
    echo "$EPOCHREALTIME" >"$work/exec.$start"
    exec ./vernaskel 2>"$log"
  ) &
  program_pid=$!
  line=
  for _ in $(seq 1200); do  # a minute at most
    line=$(grep -m 1 '^Vernaskel timing:' "$log" 2>/dev/null || true)
    [ -n "$line" ] && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.05
  done
  # SIGTERM closes the window as the close box does.
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=
  if [ -z "$line" ]; then
    echo "run $run: the program presented no scene frame; it said:" >&2
    cat "$log" >&2
    exit 1
  fi
  # "... presented at <Unix time> s, <ms> ms after the program began, <ms> ms of processor time"
  read -r presented inside processor < <(sed -E 's/.* at ([0-9.]+) s, ([0-9.]+) ms .*, ([0-9.]+) ms .*/\1 \2 \3/' <<<"$line")
  awk -v run="$run" -v exec_at="$(cat "$work/exec.$start")" -v presented="$presented" -v inside="$inside" \
      -v processor="$processor" 'BEGIN {
    printf "run %d: %.1f ms from exec to the first scene frame, %.1f ms of them in the program'\''s own code; ",
           run, (presented - exec_at) * 1000, inside
    printf "%.1f ms of processor time\n", processor
  }' | sed "s|^|${folder#$PWD/}: |" | tee -a "$work/runs.$f"
done
done

cache=
if $empty_cache; then cache=" with an empty shader cache"; fi
for f in "${!folders[@]}"; do
sed 's/^[^:]*: //' "$work/runs.$f" | awk -v runs="$runs" -v cache="$cache" -v folder="${folders[$f]#$PWD/}" '
  { total[NR] = $3; inside[NR] = $12; processor[NR] = $21 }
  function median(a, n,   i, j, t) {
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  END {
    m = median(total, NR); lo = total[1]; hi = total[NR]
    printf "%s: %d starts%s, 1920 x 1080, llvmpipe: exec to first scene frame median %.1f ms (%.1f to %.1f); ",
           folder, runs, cache, m, lo, hi
    printf "in the program'\''s own code median %.1f ms; processor time median %.1f ms\n", median(inside, NR),
           median(processor, NR)
  }'
done
