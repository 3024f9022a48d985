#!/usr/bin/env bash
# Sets up a fresh machine, builds the editor (and nothing else) and starts it.
# Arguments are the file to open.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" release
exec "$root/build/orvane" "$@"
