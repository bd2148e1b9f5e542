#!/usr/bin/env bash
# Installs the built tree into a staging prefix and checks it as a packager and a
# player would: every file in place, the desktop entry and the AppStream metainfo
# valid, --version and --help without a display, and one run of the installed
# game under Xvfb (window shown, closed through its File menu) that keeps its
# files in the XDG folders of a fresh HOME. Usage: scripts/check-install.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
id=$(sed -n 's/^BALLWICK_APP_ID:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$id" ] || { echo "check-install: no BALLWICK_APP_ID in $build/CMakeCache.txt" >&2; exit 1; }

work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
stage=$work/stage home=$work/home
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$stage" >/dev/null

for f in bin/ballwick bin/ballwick-pack bin/ballwick-server \
  share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/icons/hicolor/scalable/apps/ballwick.svg \
  share/man/man6/ballwick.6 share/man/man1/ballwick-pack.1 share/man/man1/ballwick-server.1 \
  share/doc/ballwick/LICENSE; do
  [ -e "$stage/$f" ] || fail "missing $f"
done
for s in 16 22 32 48 64 128 256; do
  icon=$stage/share/icons/hicolor/${s}x$s/apps/ballwick.png
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${s}x$s" ] || fail "icon $icon is not ${s}x$s"
done
desktop-file-validate "$stage/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$stage/share/metainfo/$id.metainfo.xml" >/dev/null ||
  { appstreamcli validate --no-net --pedantic "$stage/share/metainfo/$id.metainfo.xml"; fail "metainfo"; }
for m in "$stage"/share/man/man*/*; do
  LC_ALL=C.UTF-8 man --warnings -l "$m" 2>&1 >/dev/null | grep . && fail "man page $m has warnings"
done

# No display at all: --version and --help print and succeed.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
version=$("${nodisplay[@]}" "$stage/bin/ballwick" --version) || fail "ballwick --version failed"
[ "$version" = "ballwick $(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")" ] ||
  fail "ballwick --version printed '$version'"
"${nodisplay[@]}" "$stage/bin/ballwick" --help | grep -q -- '--version' || fail "ballwick --help"

# One run of the installed game with a fresh HOME and no update server.
cat >"$work/run.sh" <<'RUN'
#!/usr/bin/env bash
set -u
"$1" &
pid=$!
win=$(timeout 30 xdotool search --sync --onlyvisible --name '^Ballwick' | head -n 1)
if [ -z "$win" ]; then kill "$pid"; echo "no window" >&2; exit 1; fi
sleep 1
# File, Exit: the menu opens on its first item, Up wraps to the last one.
xdotool windowfocus --sync "$win" key alt+f
sleep 0.5
xdotool key Up Return
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then kill "$pid"; echo "the window did not close" >&2; exit 1; fi
wait "$pid"
RUN
env -u QT_QPA_PLATFORM HOME="$home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  sh scripts/with-xvfb.sh 1024x768x24 bash "$work/run.sh" "$stage/bin/ballwick" || fail "the installed game did not run and close"

grep -q '^Quick=n' "$home/.config/ballwick/ballwick.ini" || fail "no settings in \$XDG_CONFIG_HOME/ballwick/"
grep -q '^Width=' "$home/.config/ballwick/ballwick.ini" || fail "settings not saved at close"
[ -s "$home/.local/share/ballwick/ballwicktally.tld" ] || fail "no tally in \$XDG_DATA_HOME/ballwick/"
[ "$(ls "$stage/bin")" = "$(printf 'ballwick\nballwick-pack\nballwick-server')" ] || fail "files written into bin/"
echo "check-install: installed tree, validators, --version and an installed run are fine"
