#!/bin/sh
# run.sh TEST [ARGS]: runs TEST on a virtual X display, inside a network
# namespace of its own (only its loopback) when unshare allows one, so that a
# score server already running on this machine cannot answer in its place.
set -eu
with_display() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${BALLWICK_E2E_OWN_DISPLAY:-}" ]; then exec "$@"; fi
  if command -v xvfb-run >/dev/null 2>&1; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  fi
  echo "run.sh: no xvfb-run: the test skips itself" >&2
  exec "$@"
}
if [ -z "${BALLWICK_E2E_IN_NS:-}" ] && command -v unshare >/dev/null 2>&1 && command -v ip >/dev/null 2>&1 &&
   unshare -rn true 2>/dev/null; then
  BALLWICK_E2E_IN_NS=1 BALLWICK_E2E_OWN_DISPLAY=1 exec unshare -rn sh -c 'ip link set lo up && exec sh "$0" "$@"' "$0" "$@"
fi
BALLWICK_E2E_OWN_DISPLAY=1
with_display "$@"
