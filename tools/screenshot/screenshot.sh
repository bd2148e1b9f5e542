#!/usr/bin/env bash
# Plays part of a round of the built game under a virtual X display and saves a
# screenshot of the screen.  Usage: screenshot.sh <path-to-ballwick> <out.png>
# Needs xvfb-run, xdotool and imagemagick's import.
set -euo pipefail
game=$(readlink -f "$1")
out=$(readlink -f "$2")
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
set -euo pipefail
game=$1; out=$2
work=$(mktemp -d)
cp "$game" "$work/ballwick"           # its settings file lands beside it
"$work/ballwick" &
pid=$!
win=$(xdotool search --sync --onlyvisible --name "^Ballwick$" | head -1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"   # X, Y, WIDTH, HEIGHT
menu=${MENU_HEIGHT:-22}
# panel_board (758 x 488) is centred in the client area below the menu bar;
# the play area panel_board1 lies at 2, 29 in it.
ax=$(( X + (WIDTH - 758) / 2 + 2 ))
ay=$(( Y + menu + (HEIGHT - menu - 488) / 2 + 29 ))
click() { xdotool mousemove $(( ax + $1 )) $(( ay + $2 )) click 1; sleep 0.05; }
click 670 411          # DONE of the quick instructions, when shown
click 263 145          # DONE of the name panel
click 683 182          # START GAME
# Reveal balls down the board until the thief has shown his face twice.
for s in 3 11 17 24 31 38 42 49 56 63 70 8 27 45 60; do
  click $(( 13 + (s / 5) * 40 + 20 )) $(( 8 + (s % 5) * 40 + 20 ))
done
# Daub whatever the revealed balls allow.
lefts=(15 56 95 136 176 226 267 306 347 387 437 478 517 558 598)
tops=(259 298 337 376 415)
for l in "${lefts[@]}"; do for t in "${tops[@]}"; do click $(( l + 17 )) $(( t + 14 )); done; done
xdotool mousemove 1000 760
sleep 0.5
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
kill $pid
wait $pid 2>/dev/null || true
rm -rf "$work"
' _ "$game" "$out"
