#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
# Usage: scripts/test.sh [--sanitize]   (--sanitize: a separate AddressSanitizer +
# UndefinedBehaviorSanitizer build in build-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--sanitize" ]; then
  scripts/setup.sh build-asan -DTAVIRON_SANITIZE=ON -DTAVIRON_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
  # Leaks are reported; .ci/lsan.supp names the few outside our code, each with its reason.
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=0"
  cd build-asan
else
  scripts/setup.sh build
  cd build
fi
ctest --output-on-failure -j2 --timeout 600
