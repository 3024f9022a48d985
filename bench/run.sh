#!/usr/bin/env bash
# Builds the benchmarks and prints their figures. Runs under Xvfb like a
# user's session, with settings and data in a temporary directory.
# Figures: CPU seconds (user + system) and peak memory of the whole process.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" ci bench_open bench_idle bench_edit bench_find bench_journal bench_longline bench_templates bench_scan bench_tools bench_encodings >/dev/null

work="$(mktemp -d)"
trap 'kill "${xvfb_pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display" QT_QPA_PLATFORM=xcb
sleep 1

bin="$root/build/bench"
python3 "$root/bench/make_html.py" 10 "$work/10mb.html"
python3 "$root/bench/make_html.py" 50 "$work/50mb.html"
python3 "$root/bench/make_html.py" 8 "$work/8mb.html"

measure() { # label, command...
  local label=$1; shift
  local best_cpu="" best_rss=""
  for run in 1 2 3; do
    /usr/bin/time -f '%U %S %M' -o "$work/time" "$@" >/dev/null 2>&1
    read -r user sys rss < "$work/time"
    cpu=$(echo "$user + $sys" | bc -l)
    if [ -z "$best_cpu" ] || (( $(echo "$cpu < $best_cpu" | bc -l) )); then best_cpu=$cpu; best_rss=$rss; fi
  done
  printf '%-28s %5.2f CPU s  %6.1f MB peak (best of 3)\n' "$label" "$best_cpu" "$(echo "$best_rss / 1024" | bc -l)"
}

measure "start-up, no file" "$bin/bench_open"
measure "open 10 MB HTML" "$bin/bench_open" "$work/10mb.html"
measure "open 50 MB HTML" "$bin/bench_open" "$work/50mb.html"
measure "open 50 MB, code view" "$bin/bench_open" --code-view "$work/50mb.html"
measure "open 8 MB HTML" "$bin/bench_open" "$work/8mb.html"
measure "open 8 MB, code view" "$bin/bench_open" --code-view "$work/8mb.html"
python3 "$root/bench/make_long_line.py" 5 "$work/line5mb.js"
measure "open 5 MB on one line" "$bin/bench_open" "$work/line5mb.js"
# Real translated text in about forty encodings (several minutes to build):
# shown as written, saved back byte for byte; and a 50 MB legacy file.
python3 "$root/bench/make_encodings.py" "$work/encodings" 10
"$bin/bench_encodings" "$work/encodings" | tail -1
cat "$work"/encodings/KOI8-R-*.txt > "$work/koi8r.txt"
while [ "$(stat -c %s "$work/koi8r.txt")" -lt 52428800 ]; do cat "$work/koi8r.txt" "$work/koi8r.txt" > "$work/k2" && mv "$work/k2" "$work/koi8r.txt"; done
measure "open 50+ MB KOI8-R" "$bin/bench_open" "$work/koi8r.txt"
"$bin/bench_edit" "$work/10mb.html"
"$bin/bench_edit" "$work/50mb.html" | grep journal
"$bin/bench_idle" 10
/usr/bin/time -f 'find field, 50 MB: %M KB peak' "$bin/bench_find" "$work/50mb.html"
/usr/bin/time -f 'journal, 50 MB: %M KB peak' "$bin/bench_journal" "$work/50mb.html"
python3 "$root/bench/make_long_line.py" 1 "$work/line1mb.js"
/usr/bin/time -f 'long line, 1 MB: %M KB peak' "$bin/bench_longline" "$work/line1mb.js"
/usr/bin/time -f 'long line, 1 MB, code view: %M KB peak' "$bin/bench_longline" --code-view "$work/line1mb.js"
"$bin/bench_templates"
"$bin/bench_tools"
python3 "$root/bench/make_scan.py" 1024 "$work/1gb.txt"
cat "$work/1gb.txt" >/dev/null # page cache warm, for both
for run in 1 2; do
  /usr/bin/time -f 'grep -ciF: %e s wall, %U+%S CPU s, %M KB peak' grep -ciF 'needle phrase' "$work/1gb.txt"
  /usr/bin/time -f 'quick scan: %e s wall, %U+%S CPU s, %M KB peak' "$bin/bench_scan" "$work/1gb.txt" 'needle phrase'
done

# Huge files (about 2.3 GB of disk, several minutes): bench/run.sh --huge.
# Another editor on the same files: bench/idle_cpu.sh LABEL PROGRAM FILE;
# on a long line, against Orvane in one run (openbox running):
# bench/peer_longline.sh LABEL FILE PROGRAM [ARGS...].
if [ "${1:-}" = "--huge" ]; then
  python3 "$root/bench/make_html.py" 1024 "$work/lines1gb.html"
  python3 "$root/bench/make_long_line.py" 256 "$work/line256mb.js"
  truncate -s 1G "$work/nul1gb.bin"
  for f in lines1gb.html line256mb.js nul1gb.bin; do
    /usr/bin/time -f "open $f: %U+%S CPU s, %M KB peak" "$bin/bench_open" "$work/$f"
  done
fi
