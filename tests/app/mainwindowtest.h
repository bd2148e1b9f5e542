#pragma once
// What a test hands the main window instead of the real services, and a way
// to reach its widgets by their object names.

#include <QDir>
#include <QObject>
#include <QStringList>

#include "../common/recordingdialogs.h"
#include "../common/recordinglinks.h"
#include "app/mainservices.h"
#include "app/sounds.h"
#include "net/selfupdate.h"
#include "widgets/accessible.h"

namespace ballwick::test {

// Writes down the cues the window plays (only those asked while "Play Sounds"
// is checked reach it).
struct RecordingCues : CuePlayer
{
    QStringList cues;
    void play(const QString &name) override { cues << name; }
};

// The running program as the self-update sees it: a file of the test's, and
// installer starts and process ends written down instead of done.
struct RecordingProgram : ProgramProcess
{
    QString file;
    QList<QStringList> starts;
    QList<int> exits;
    bool startWorks = true;

    QString programFile() const override { return file; }
    bool startInstaller(const QString &installer, const QStringList &args) override
    {
        starts << (QStringList{installer} + args);
        return startWorks;
    }
    void endProcess(int code) override { exits << code; }
};

// The computer's clock, or a fixed moment once `at` is set.
struct TestClock : Clock
{
    QDateTime at;
    QDateTime now() const override { return at.isValid() ? at : QDateTime::currentDateTime(); }
};

// A main window's services for a test: every file in one folder of the test's
// own, cues and messages recorded.
struct TestServices
{
    RecordingCues cues;
    RecordingDialogs dialogs;
    RecordingProgram program;
    RecordingLinks links;
    QtAccessibleEvents accessibility;
    TestClock clock;
    MainServices services;

    const MainServices &in(const QString &dir)
    {
        const QString slash = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
        services.places = {slash, slash, true};
        services.cues = &cues;
        services.dialogs = &dialogs;
        services.program = &program;
        services.accessibility = &accessibility;
        services.clock = &clock;
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
