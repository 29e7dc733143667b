#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
# Usage: scripts/test.sh [--sanitize]   (--sanitize: AddressSanitizer + UBSan build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = "--sanitize" ]; then
  dir="$root/build-asan"
  "$root/scripts/build.sh" "$dir" -DZEN_SANITIZE=ON -DZEN_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
  # Full stacks for leaks, so that suppressions can name frames inside Qt.
  export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0 UBSAN_OPTIONS=print_stacktrace=1
  export LSAN_OPTIONS=suppressions="$root/tests/lsan.supp"
else
  dir="$root/build"
  "$root/scripts/build.sh" "$dir"
fi
cd "$dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
