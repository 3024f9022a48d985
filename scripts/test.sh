#!/usr/bin/env bash
# Sets up a fresh machine, builds Orvane and runs the whole test suite headless.
#   scripts/test.sh             the normal build (warnings are errors, as in CI)
#   scripts/test.sh --sanitize  the same suite built with AddressSanitizer and
#                               UndefinedBehaviorSanitizer; any report fails it
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
if [ "${1:-}" = "--sanitize" ]; then
  build="$root/build-asan"
  flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_WARNINGS_AS_ERRORS=ON \
    "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined" >/dev/null
  cmake --build "$build" -j "$(nproc)"
  # Leaks are not checked: Qt and fontconfig keep allocations for the whole
  # run on purpose, and LeakSanitizer would report them all.
  export ASAN_OPTIONS=detect_leaks=0:halt_on_error=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
  build="$root/build"
  # A warning fails the build here, as in CI.
  bash "$root/scripts/build.sh" -DORVANE_WARNINGS_AS_ERRORS=ON
fi
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
