#!/bin/sh
# run.sh TEST [ARGS]: runs TEST on a virtual X display, inside a network
# namespace of its own (only its loopback) when unshare allows one, so that a
# score server already running on this machine cannot answer in its place.
# Where PulseAudio is installed, a private sound server with one null sink is
# started for the test, which records what the program plays
# (BALLWICK_E2E_SINK names the sink).
set -eu
if [ -z "${BALLWICK_E2E_IN_NS:-}" ] && command -v unshare >/dev/null 2>&1 && command -v ip >/dev/null 2>&1 &&
   unshare -rn true 2>/dev/null; then
  BALLWICK_E2E_IN_NS=1 exec unshare -rn sh -c 'ip link set lo up && exec sh "$0" "$@"' "$0" "$@"
fi

pulse_pid=""
runtime=""
cleanup() {
  if [ -n "$pulse_pid" ]; then
    kill "$pulse_pid" 2>/dev/null || true
    wait "$pulse_pid" 2>/dev/null || true
  fi
  if [ -n "$runtime" ]; then rm -rf "$runtime" 2>/dev/null || true; fi
}
trap cleanup EXIT INT TERM
if command -v pulseaudio >/dev/null 2>&1 && command -v parec >/dev/null 2>&1 && command -v pactl >/dev/null 2>&1; then
  runtime=$(mktemp -d)
  export XDG_RUNTIME_DIR="$runtime" PULSE_RUNTIME_PATH="$runtime/pulse"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --log-target=stderr --log-level=error \
    --load="module-null-sink sink_name=ballwick_e2e" --load=module-native-protocol-unix 2>/dev/null &
  pulse_pid=$!
  i=0
  while [ $i -lt 50 ] && ! pactl info >/dev/null 2>&1; do sleep 0.1; i=$((i + 1)); done
  if pactl set-default-sink ballwick_e2e 2>/dev/null; then
    export BALLWICK_E2E_SINK=ballwick_e2e
  fi
fi

status=0
if command -v Xvfb >/dev/null 2>&1; then
  sh "$(dirname "$0")/../../scripts/with-xvfb.sh" 1280x1024x24 "$@" || status=$?
else
  echo "run.sh: no Xvfb: the test skips itself" >&2
  "$@" || status=$?
fi
cleanup
trap - EXIT
exit $status
