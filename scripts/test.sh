#!/usr/bin/env bash
# Sets up a fresh machine, builds Orvane with its tests and runs the whole
# suite headless (the ci and sanitize presets of CMakePresets.json).
#   scripts/test.sh             the normal build (warnings are errors, as in CI)
#   scripts/test.sh --sanitize  the same suite built with AddressSanitizer and
#                               UndefinedBehaviorSanitizer; any report fails it
# Under the sanitizers leaks are not checked: Qt and fontconfig keep
# allocations for the whole run on purpose, and LeakSanitizer would report
# them all (the sanitize test preset sets ASAN_OPTIONS and UBSAN_OPTIONS).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
preset=ci
[ "${1:-}" = "--sanitize" ] && preset=sanitize
bash "$root/scripts/build.sh" "$preset"
cd "$root"
ctest --preset "$preset" -j "$(nproc)"
