#!/usr/bin/env bash
# Makes the game's seven sound cues from nothing but sox's synthesiser, so the
# same sox gives the same bytes on every run (-R: repeatable, -D: no dither).
#
#   tools/sounds/make_sounds.sh [output-dir]     (default: assets/sounds)
#
# Every cue is built at 44.1 kHz in floating point, freed of DC, shaped with
# short fades so that it starts and ends on silence, normalised to a peak of
# -3 dBFS (or less), and only then converted to the sample format and rate the
# game stores it in.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/../../assets/sounds}"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

SOX=(sox -R -D -V1)
RATE=44100

# note FILE SECONDS "SYNTH-ARGS..." [EFFECTS...]: one mono note at 44.1 kHz.
note() {
  local file="$1" len="$2" synth="$3"
  shift 3
  # shellcheck disable=SC2086
  "${SOX[@]}" -n -r $RATE -c 1 -e floating-point -b 32 "$work/$file.wav" synth "$len" $synth "$@"
}

# seq OUT IN... : the inputs one after another.
seq_() {
  local o="$1"; shift
  local args=()
  for f in "$@"; do args+=("$work/$f.wav"); done
  "${SOX[@]}" "${args[@]}" "$work/$o.wav"
}

# at FILE OFFSET: pads FILE with OFFSET seconds of silence in front (in place).
at() { "${SOX[@]}" "$work/$1.wav" "$work/at.tmp.wav" pad "$2"; mv "$work/at.tmp.wav" "$work/$1.wav"; }

# mix OUT IN... : the inputs sounded together (no level change: -v 1 each).
mix() {
  local o="$1"; shift
  local args=()
  for f in "$@"; do args+=(-v 1 "$work/$f.wav"); done
  "${SOX[@]}" -m "${args[@]}" "$work/$o.wav"
}

# finish IN NAME SECONDS RATE BITS CHANNELS FADE-IN FADE-OUT [PEAK-dB]
# (a sustained tone is set lower than -3 dB so that it sounds about as loud as
# the struck ones)
finish() {
  local in="$1" name="$2" len="$3" rate="$4" bits="$5" ch="$6" fin="$7" fout="$8" peak="${9:--3}"
  "${SOX[@]}" "$work/$in.wav" "$work/shaped.wav" pad 0 2 trim 0 "$len" highpass 40 fade q "$fin" "$len" "$fout" norm "$peak"
  "${SOX[@]}" "$work/shaped.wav" -r "$rate" -b "$bits" -c "$ch" -e "$([ "$bits" = 8 ] && echo unsigned-integer || echo signed-integer)" \
    "$out/$name.wav" rate -v
}

# A soft bell: a sine with a quieter octave partial, struck and dying away
# (a logarithmic fade falls fast at first, like a struck bar).
bell() { # FILE SECONDS FREQ
  note "$1.a" "$2" "sine $3" fade q 0.004 && "${SOX[@]}" "$work/$1.a.wav" "$work/$1.a2.wav" fade l 0 "$2" "$2" vol 0.7
  note "$1.b" "$2" "sine $(( $3 * 2 ))" fade q 0.002 && "${SOX[@]}" "$work/$1.b.wav" "$work/$1.b2.wav" fade l 0 "$2" "$(awk "BEGIN{print $2*0.9}")" vol 0.25
  "${SOX[@]}" -m "$work/$1.a2.wav" "$work/$1.b2.wav" "$work/$1.wav"
}

# A brass-like tone: a sawtooth softened by a low-pass filter, with a quick swell.
brass() { # FILE SECONDS FREQ
  note "$1" "$2" "sawtooth $3" lowpass 2200 fade q 0.025 "$2" 0.06 vol 0.6
}

# entered: a welcome chime, an upward arpeggio C5 E5 G5 C6 that rings together.
bell e1 0.70 523; bell e2 0.58 659; at e2 0.12; bell e3 0.46 784; at e3 0.24; bell e4 0.40 1047; at e4 0.36
mix entered e1 e2 e3 e4
finish entered ENTERED 0.79 11025 8 1 0.005 0.12

# turnnew: a fresh round, a quick rising sweep into a double ding.
note t1 0.20 "sine 300:1200" fade q 0.01 0.20 0.05 vol 0.5
bell t2 0.20 1319; at t2 0.17
bell t3 0.24 1760; at t3 0.26
mix turnnew t1 t2 t3
finish turnnew TURNNEW 0.43 44100 8 1 0.005 0.08

# replace: a ball turns over, a round "plonk" (plucked string) stepping up.
note r1 0.14 "pluck 392" fade q 0.002 0.14 0.06
note r2 0.16 "pluck 587" fade q 0.002 0.16 0.08
seq_ replace r1 r2
finish replace REPLACE 0.29 11025 16 1 0.003 0.05

# roundover: one of the thief's balls, a falling "uh-oh" of two soft, hollow tones.
note o1 0.30 "triangle 392" lowpass 1500 fade q 0.02 0.30 0.06 vol 0.5
note o2 0.42 "triangle 294:262" lowpass 1200 fade q 0.02 0.42 0.25 vol 0.5
seq_ roundover o1 o2
finish roundover ROUNDOVER 0.72 22050 8 1 0.01 0.2 -7

# invalid: a low buzz, twice (the same in both channels).
note i1 0.28 "sawtooth 110" lowpass 900 tremolo 30 40 fade q 0.015 0.28 0.05
note i2 0.12 "sine 0" vol 0
note i3 0.38 "sawtooth 104" lowpass 900 tremolo 30 40 fade q 0.015 0.38 0.12
seq_ invalid i1 i2 i3
finish invalid INVALID 0.80 11025 16 2 0.01 0.1

# placecard: a bright, short chime on the daub.
bell p1 0.14 1568
bell p2 0.12 2093; at p2 0.015
mix placecard p1 p2
finish placecard PLACECARD 0.14 11025 8 1 0.002 0.04

# winner: a fanfare, three quick notes and a held major chord.
brass w1 0.13 392
brass w2 0.13 523; at w2 0.15
brass w3 0.13 659; at w3 0.30
brass w4 0.70 784; at w4 0.45
brass w5 0.70 523; at w5 0.45
brass w6 0.70 659; at w6 0.45
mix winner w1 w2 w3 w4 w5 w6
finish winner WINNER 1.06 22050 8 1 0.01 0.3

for n in ENTERED TURNNEW REPLACE ROUNDOVER INVALID PLACECARD WINNER; do
  printf '%-10s %s Hz, %s bit, %s channel(s), %s s\n' "$n" "$(soxi -r "$out/$n.wav")" "$(soxi -b "$out/$n.wav")" \
    "$(soxi -c "$out/$n.wav")" "$(soxi -D "$out/$n.wav")"
done
