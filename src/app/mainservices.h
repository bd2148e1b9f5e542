#pragma once
#include "app/appdirs.h"

namespace ballwick {

class CuePlayer;
class Dialogs;

// What the main window uses outside itself. main() makes the real ones (the
// running program's file places, the audio cues, Qt's message boxes); tests
// hand in a temporary folder and recorders. The pointed-to objects outlive
// the window.
struct MainServices
{
    FilePlaces places;           // the settings file and the data folder
    CuePlayer *cues = nullptr;   // asked only while "Play Sounds" is checked
    Dialogs *dialogs = nullptr;  // error boxes
};

} // namespace ballwick
