#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for the given
# number of seconds (default 30) on its seed corpus. Usage: scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
targets=$(sed -n 's/.*add_executable(\(fuzz_[A-Za-z0-9_]*\).*/\1/p' fuzz/*/CMakeLists.txt | tr '\n' ' ')
TAVIRON_TARGETS="$targets" CXX=clang++ CC=clang scripts/setup.sh build-fuzz -DTAVIRON_FUZZ=ON -DTAVIRON_SANITIZE=ON \
  -DTAVIRON_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
found=0
for dir in fuzz/*/; do
  name=$(basename "$dir")
  for target in $(sed -n 's/.*add_executable(\(fuzz_[A-Za-z0-9_]*\).*/\1/p' "$dir/CMakeLists.txt" 2>/dev/null); do
    corpus=$(mktemp -d)
    [ -d "$dir/corpus" ] && cp -r "$dir/corpus/." "$corpus/"
    echo "== $target ($seconds s)"
    "build-fuzz/bin/$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
    rm -rf "$corpus"
    found=$((found + 1))
  done
done
echo "fuzz targets run: $found"
