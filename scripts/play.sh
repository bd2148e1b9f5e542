#!/usr/bin/env bash
# Builds Ballwick and starts it. When nothing listens on the score server's port
# yet, the reference server (ballwick-server) is started in the background for the
# length of the game, so that posting a score and viewing the list work at once.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
ballwick_install_deps

JOBS=${JOBS:-$(nproc)}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Every program that `cmake --install build` installs, so that it works after this.
targets=(ballwick ballwick-pack)
[ -f server/CMakeLists.txt ] && targets+=(ballwick-server)
cmake --build build -j"$JOBS" --target "${targets[@]}"

server_pid=""
if [ -f server/CMakeLists.txt ] && ! (exec 3<>/dev/tcp/127.0.0.1/8780) 2>/dev/null; then
  mkdir -p build/server-data
  args=(--port 8780 --db build/server-data/scores.db)
  [ -f build/server-data/ballwickversion.txt ] && args+=(--version-file build/server-data/ballwickversion.txt)
  [ -f build/server-data/moxsetup.exe ] && args+=(--installer build/server-data/moxsetup.exe)
  build/server/ballwick-server "${args[@]}" >>build/server-data/server.log 2>&1 &
  server_pid=$!
  trap '[ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true' EXIT
fi

build/src/app/ballwick
