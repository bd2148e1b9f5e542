#pragma once
// What a test hands the main window instead of the real services, and a way
// to reach its widgets by their object names.

#include <QDir>
#include <QObject>
#include <QStringList>

#include "../common/recordingdialogs.h"
#include "app/mainservices.h"
#include "app/sounds.h"

namespace ballwick::test {

// Writes down the cues the window plays (only those asked while "Play Sounds"
// is checked reach it).
struct RecordingCues : CuePlayer
{
    QStringList cues;
    void play(const QString &name) override { cues << name; }
};

// A main window's services for a test: every file in one folder of the test's
// own, cues and messages recorded.
struct TestServices
{
    RecordingCues cues;
    RecordingDialogs dialogs;
    MainServices services;

    const MainServices &in(const QString &dir)
    {
        const QString slash = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
        services.places = {slash, slash, true};
        services.cues = &cues;
        services.dialogs = &dialogs;
        return services;
    }
};

// The child of a window with this object name (null when there is none).
template <class T>
T *part(const QObject &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

} // namespace ballwick::test
