#!/usr/bin/env bash
# Sets up a fresh machine, builds Orvane and starts it. Arguments are the file to open.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" -DORVANE_WARNINGS_AS_ERRORS=OFF
exec "$root/build/orvane" "$@"
