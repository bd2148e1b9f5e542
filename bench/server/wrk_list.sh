#!/usr/bin/env bash
# The list page with 10 000 stored scores, measured with wrk on loopback.
#   bench/server/wrk_list.sh [build-dir] [seconds]
# Builds nothing: run after building ballwick-server and bench_server.
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
server="$build/server/ballwick-server"
bench="$build/bench/server/bench_server"
for f in "$server" "$bench"; do
  [ -x "$f" ] || { echo "missing $f (build ballwick-server and bench_server first)" >&2; exit 1; }
done
command -v wrk >/dev/null || { echo "wrk is not installed" >&2; exit 1; }

work=$(mktemp -d)
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

"$bench" --seed "$work/scores.db" 10000
"$server" --port 0 --db "$work/scores.db" >"$work/server.log" 2>&1 &
pid=$!
port=""
for _ in $(seq 1 100); do
  port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$work/server.log" | head -1)
  [ -n "$port" ] && break
  sleep 0.05
done
[ -n "$port" ] || { echo "server did not start:"; cat "$work/server.log"; exit 1; } >&2

url="http://127.0.0.1:$port/counter/ballwick.shtml"
curl -fsS "$url" | grep -c '<tr bgcolor' | sed 's/^/rows on the page (with heading): /'
wrk -t2 -c16 -d"${seconds}s" --latency "$url"
