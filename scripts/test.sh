#!/usr/bin/env bash
# Sets up a fresh machine, builds Orvane and runs the whole test suite headless.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
# A warning fails the build here, as in CI.
bash "$root/scripts/build.sh" -DORVANE_WARNINGS_AS_ERRORS=ON
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
