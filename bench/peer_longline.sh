#!/usr/bin/env bash
# peer_longline.sh LABEL FILE PROGRAM [ARGS...]: the CPU seconds (all threads)
# an editor spends on FILE's last line once it has gone idle after opening
# it: Ctrl+End, then one typed key, then five seconds left alone. Measured
# from outside (/proc), the same way for any editor, so that Orvane and its
# peers are compared in one run. Needs a display with a window manager
# (bench/run.sh's Xvfb, plus openbox) and xdotool.
set -euo pipefail
label=$1 file=$2; shift 2
# A fresh home each time: no settings, recent files or journals of a run before.
home=$(mktemp -d)
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share XDG_CACHE_HOME=$home/.cache \
  "$@" "$file" >/dev/null 2>&1 &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true; rm -rf "$home"' EXIT
tck=$(getconf CLK_TCK)
cpu() { awk '{print $14+$15}' /proc/$pid/stat; }
# Waits until the program has used no CPU for 1.5 s; prints its CPU ticks.
idle() {
  local last=-1 still=0 now
  for _ in $(seq 1 2400); do
    sleep 0.25
    now=$(cpu)
    if [ "$now" = "$last" ]; then still=$((still + 1)); else still=0; fi
    last=$now
    [ $still -ge 6 ] && break
  done
  echo "$last"
}
seconds() { echo "($2 - $1) / $tck" | bc -l; }
start=$(idle)
window=$(xdotool search --sync --onlyvisible --pid $pid | tail -1)
xdotool windowactivate --sync "$window"
sleep 0.5
before=$(idle)
# Keys go to the focused window (events sent to a window are ignored by some).
xdotool key ctrl+End
after_end=$(idle)
xdotool type x
after_key=$(idle)
[ -z "${SHOT:-}" ] || import -window root "$SHOT"
sleep 5
after_rest=$(cpu)
printf '%-24s open %5.2f  Ctrl+End %5.2f  a key %5.2f  5 s idle %5.2f CPU s\n' "$label" \
  "$(echo "$start / $tck" | bc -l)" "$(seconds "$before" "$after_end")" "$(seconds "$after_end" "$after_key")" \
  "$(seconds "$after_key" "$after_rest")"
