#!/bin/sh
# with-xvfb.sh WxHxD COMMAND [ARGS]: runs COMMAND on a virtual X display of
# its own. Xvfb picks a free display number itself (-displayfd) and reports it
# only once it accepts connections, so two runs never race for one number and
# the command never starts before its display is up. -noreset: the server
# does not start over (refusing connections meanwhile) each time its last
# client leaves, as the tests start the game several times in a row.
set -eu
screen=$1
shift
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
xvfb=$!
stop() {
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$dir"
}
trap stop EXIT INT TERM
i=0
while [ ! -s "$dir/display" ]; do
  if ! kill -0 "$xvfb" 2>/dev/null || [ $i -ge 200 ]; then
    echo "with-xvfb.sh: the virtual display did not start:" >&2
    cat "$dir/log" >&2
    exit 1
  fi
  sleep 0.05
  i=$((i + 1))
done
status=0
DISPLAY=":$(head -n 1 "$dir/display")" "$@" || status=$?
exit $status
