#!/usr/bin/env bash
# Fuzzes one harness of fuzz/ with clang's libFuzzer (with AddressSanitizer
# and UndefinedBehaviorSanitizer) for the given seconds, growing its corpus
# in fuzz/corpus/NAME. Installs clang when it is missing.
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
out="$root/build-fuzz"
mkdir -p "$out"
qt=/usr/include/x86_64-linux-gnu/qt6
# The codec names its enums for Qt's meta-object system: moc writes that part.
/usr/lib/qt6/libexec/moc "$root/src/core/TextFileCodec.h" -o "$out/moc_TextFileCodec.cpp"
clang++ -std=c++17 -O1 -g -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" -I"$root/fuzz" -I"$qt" -I"$qt/QtCore" -DQT_NO_DEBUG \
  "$root"/src/core/*.cpp "$out/moc_TextFileCodec.cpp" "$root/fuzz/fuzz_$name.cpp" -lQt6Core -o "$out/fuzz_$name"
mkdir -p "$root/fuzz/corpus/$name"
"$out/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 "$root/fuzz/corpus/$name"
