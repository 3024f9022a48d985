#!/usr/bin/env bash
# Configures and builds Orvane with a preset of CMakePresets.json:
#   scripts/build.sh [PRESET [TARGET...]]
# PRESET is one of
#   release   the editor alone, into build/ (the default)
#   ci        the editor, tests, fuzz replays and benchmarks, warnings are
#             errors, into build/ (scripts/test.sh)
#   sanitize  the ci build with AddressSanitizer and UndefinedBehaviorSanitizer,
#             into build-asan/ (scripts/test.sh --sanitize)
#   fuzz      the libFuzzer harnesses, with clang, into build-fuzz/ (scripts/fuzz.sh)
# and TARGETs are built (without any, what the preset builds). A build folder
# whose cache was made for another source folder (a checkout copied with its
# build folder) is configured afresh. The release preset configures only a
# folder that has no cache yet: a build/ made by test.sh is reused as it is
# rather than rebuilt with other options.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd -P)"
preset=${1:-release}
[ $# -gt 0 ] && shift
case $preset in
  release|ci) build="$root/build" ;;
  sanitize) build="$root/build-asan" ;;
  fuzz) build="$root/build-fuzz" ;;
  *) echo "unknown preset: $preset (release, ci, sanitize or fuzz)" >&2; exit 2 ;;
esac

configure=yes
fresh=()
cache="$build/CMakeCache.txt"
if [ -f "$cache" ]; then
  made_for=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
  if [ "$(cd "$made_for" 2>/dev/null && pwd -P)" != "$root" ]; then
    echo "$build was configured for ${made_for:-another folder}: configuring it afresh"
    fresh=(--fresh)
  elif [ "$preset" = release ]; then
    configure=no
  fi
fi

cd "$root"
if [ $configure = yes ]; then
  cmake --preset "$preset" "${fresh[@]}" >/dev/null
fi
if [ $# -gt 0 ]; then
  cmake --build --preset "$preset" -j "$(nproc)" --target "$@"
else
  cmake --build --preset "$preset" -j "$(nproc)"
fi
