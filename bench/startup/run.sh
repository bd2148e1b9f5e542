#!/usr/bin/env bash
# Start-up benchmark: start-to-shown-window and start-to-exit of the game and of a
# minimal Qt Widgets program, measured from outside under one virtual X display,
# alternating the programs. Prints the medians and the game's ratio to the
# minimal program (a plain build lands near 2-2.5x: measured, not tuned), and to
# the same program with a menu bar and a line of text.
#
# Usage: bench/startup/run.sh [build-dir] [runs] [earlier-game]
#   (default: build, 20 runs). With earlier-game, a copy of another build of the
#   game is measured in the same run too ("before"), for before/after figures.
# Needs xvfb-run; builds ballwick, startup_minimal and startup_probe first.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
runs=${2:-20}
before=${3:-}
cmake --build "$build" -j2 --target ballwick startup_minimal startup_probe >/dev/null

# Each program runs from a directory of its own copy, so that the game's
# settings and tally files stay out of the build tree.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/src/app/ballwick" "$work/ballwick"
cp "$build/bench/startup/startup_minimal" "$work/startup_minimal"
if [ -n "$before" ]; then
  mkdir "$work/before"
  cp "$before" "$work/before/ballwick"
fi
probe=$(readlink -f "$build/bench/startup/startup_probe")

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
set -euo pipefail
probe=$1; work=$2; runs=$3
# One unmeasured start each, so both read their libraries from the page cache.
"$probe" Ballwick "$work/ballwick" >/dev/null
"$probe" Minimal "$work/startup_minimal" >/dev/null
if [ -x "$work/before/ballwick" ]; then "$probe" Ballwick "$work/before/ballwick" >/dev/null; fi
for i in $(seq "$runs"); do
  echo "game $("$probe" Ballwick "$work/ballwick")"
  if [ -x "$work/before/ballwick" ]; then echo "before $("$probe" Ballwick "$work/before/ballwick")"; fi
  echo "minimal $("$probe" Minimal "$work/startup_minimal")"
  echo "text $("$probe" "Minimal Text" "$work/startup_minimal" text)"
done
' _ "$probe" "$work" "$runs" | awk '
function median(a, n,   i, j, t) {
  for (i = 2; i <= n; i++) { t = a[i]; for (j = i - 1; j >= 1 && a[j] > t; j--) a[j + 1] = a[j]; a[j + 1] = t }
  return (n % 2) ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
}
{ n[$1]++; shown[$1, n[$1]] = $2; ended[$1, n[$1]] = $3 }
END {
  split("before game minimal text", order, " ")
  for (k = 1; k <= 4; k++) {
    p = order[k]
    if (!n[p]) continue
    for (i = 1; i <= n[p]; i++) { s[i] = shown[p, i]; e[i] = ended[p, i] }
    ms[p] = median(s, n[p]); me[p] = median(e, n[p])
    printf "%-8s runs %2d  start-to-shown median %7.1f ms  start-to-exit median %7.1f ms\n", p, n[p], ms[p], me[p]
  }
  printf "ratio game/minimal: shown %.2fx, exit %.2fx\n", ms["game"] / ms["minimal"], me["game"] / me["minimal"]
  if (n["before"]) printf "ratio before/minimal: shown %.2fx, exit %.2fx\n", ms["before"] / ms["minimal"], me["before"] / me["minimal"]
  printf "ratio game/text:    shown %.2fx, exit %.2fx (the same yardstick with a menu bar and text)\n", ms["game"] / ms["text"], me["game"] / me["text"]
}'
