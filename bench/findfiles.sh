#!/usr/bin/env bash
# Find in Files against grep -rciF on a generated tree of 10,000 files, 1 GB,
# with a warm page cache: CPU seconds (user + system) of each, and the
# program's peak memory above its start.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/build.sh" ci bench_findfiles >/dev/null
tree=/tmp/orvane-findfiles-tree
if [ ! -f "$tree/.complete" ]; then
  rm -rf "$tree"
  python3 - "$tree" <<'PY'
import os, random, sys
root = sys.argv[1]
random.seed(1)
words = ("div span class style color margin padding table body header footer "
         "section article script function return var const let needle").split()
for d in range(100):
    folder = os.path.join(root, "d%03d" % d)
    os.makedirs(folder)
    for f in range(100):
        lines = []
        size = 0
        while size < 100_000:
            line = "<p class=\"x\">" + " ".join(random.choice(words[:-1]) for _ in range(12))
            if random.random() < 0.01:
                line += " Needle"
            line += "</p>\n"
            lines.append(line)
            size += len(line)
        with open(os.path.join(folder, "f%03d.html" % f), "w") as out:
            out.write("".join(lines))
PY
  touch "$tree/.complete"
fi
cat "$tree"/*/* > /dev/null   # warm the page cache
cpu() { /usr/bin/time -f '%U %S' -o /tmp/orvane-findfiles.time "$@" > /tmp/orvane-findfiles.out 2>&1 || true
        awk '{ printf "%.2f", $1 + $2 }' /tmp/orvane-findfiles.time; }
grep_s=$(cpu grep -rciF needle "$tree")
orvane_s=$(cpu "$root/build/bench/bench_findfiles" needle "$tree")
echo "Find in Files: $(cat /tmp/orvane-findfiles.out)"
echo "CPU seconds: grep -rciF $grep_s, Orvane $orvane_s, speed $(echo "$grep_s / $orvane_s" | bc -l | cut -c1-4)x grep's"
