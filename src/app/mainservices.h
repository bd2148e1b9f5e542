#pragma once
#include <QDateTime>

#include "app/appdirs.h"
#include "online/serverbase.h"

namespace ballwick {

class AccessibleEvents;
class CuePlayer;
class Dialogs;
class ProgramProcess;

// What the main window uses outside itself. main() makes the real ones (the
// running program's file places, the audio cues, Qt's message boxes); tests
// hand in a temporary folder and recorders. The pointed-to objects outlive
// the window.
//
// Which library each piece comes from shows the layering: the folders from
// bw_appdirs, the cues from here, the boxes from bw_widgets, the server and
// the running program from bw_online and bw_selfupdate.
// The date and time as the main window reads them: the new round's random
// seed and the date a posted score carries.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// The computer's clock.
class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

struct MainServices
{
    FilePlaces places;           // the settings file and the data folder
    CuePlayer *cues = nullptr;   // asked only while "Play Sounds" is checked
    Dialogs *dialogs = nullptr;  // error boxes
    AccessibleEvents *accessibility = nullptr; // announcements to a screen reader
    Clock *clock = nullptr;      // the seed of the rounds, the date of a post
    ServerAddresses server;      // the score and update server
    ProgramProcess *program = nullptr; // what the self-update moves aside, starts and ends
    // Time limits of the installer's download in milliseconds (a stall, the
    // whole download); 0 keeps the HTTP client's own.
    int downloadStallMs = 0;
    int downloadDeadlineMs = 0;
};

} // namespace ballwick
