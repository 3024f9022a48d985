#!/usr/bin/env bash
# Configures and builds Orvane (Release) into build/. Extra arguments go to
# CMake's configure step (the test command passes -DORVANE_WARNINGS_AS_ERRORS=ON).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$root/build" -j "$(nproc)"
