#pragma once
// The player of the cues needs Qt Multimedia and, through it, the desktop's
// audio libraries: a dozen libraries the program would otherwise load before
// its first line runs. It lives in a module of its own, embedded in the
// program and loaded while the windows are built.
#include <QStringList>

#include "app/sounds.h"

// The module's one entry point: every cue (cues[i] plays urls[i]) loaded for
// the default audio device; null when there is none.
extern "C" {
using BallwickMakeAudioOutput = ballwick::SoundOutput *(*)(const QStringList &cues, const QStringList &urls);
}
#define BALLWICK_AUDIO_ENTRY "ballwick_make_audio_output"

namespace ballwick {

// The module's entry point, loaded on first use (any thread, once; see
// modules.h); null when the module cannot be loaded, and the cues stay silent.
BallwickMakeAudioOutput audioModule();

} // namespace ballwick
