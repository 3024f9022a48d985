#!/usr/bin/env bash
# Fuzzes one harness of fuzz/ with clang's libFuzzer (with AddressSanitizer
# and UndefinedBehaviorSanitizer) for the given seconds, growing its corpus
# in fuzz/corpus/NAME. Installs clang when it is missing. Builds with the
# fuzz preset of CMakePresets.json into build-fuzz/.
#   scripts/fuzz.sh codec 600
set -euo pipefail
name=${1:?usage: scripts/fuzz.sh NAME SECONDS}
seconds=${2:?usage: scripts/fuzz.sh NAME SECONDS}
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
if ! command -v clang++ >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-dev 2>/dev/null \
    || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi
bash "$root/scripts/build.sh" fuzz "fuzz_$name"
mkdir -p "$root/fuzz/corpus/$name"
"$root/build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 "$root/fuzz/corpus/$name"
