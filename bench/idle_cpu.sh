#!/usr/bin/env bash
# idle_cpu.sh LABEL PROGRAM [ARGS...]: CPU seconds (all threads) and peak memory
# of any editor from its start until it has used no CPU for 1.5 s, then kills
# it. For comparing with other editors, which cannot be told to quit when idle.
label=$1; shift
"$@" >/dev/null 2>&1 &
pid=$!
tck=$(getconf CLK_TCK)
last=-1; still=0
for i in $(seq 1 1200); do
  sleep 0.25
  [ -r /proc/$pid/stat ] || break
  now=$(awk '{print $14+$15}' /proc/$pid/stat)
  if [ "$now" = "$last" ]; then still=$((still+1)); else still=0; fi
  last=$now
  [ $still -ge 6 ] && break
done
hwm=$(awk '/VmHWM/{print $2}' /proc/$pid/status)
kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null
printf '%-40s %6.2f CPU s %8.1f MB peak\n' "$label" "$(echo "$last / $tck" | bc -l)" "$(echo "$hwm / 1024" | bc -l)"
