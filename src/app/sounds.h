#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace ballwick {

// Where cues end up: the audio service of the desktop, or a recording fake in
// tests. Cues are named by their stored (upper-case) names.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    // Starts the cue and returns at once.
    virtual void start(const QString &cue) = 0;
    // Stops the cue if it is still sounding.
    virtual void stop(const QString &cue) = 0;
    virtual bool isPlaying(const QString &cue) const = 0;
    // The desktop's default sound.
    virtual void beep() = 0;
};

// Plays the QSoundEffect of each embedded cue (resource ":/sounds/<NAME>.wav"),
// all made together on the first cue so that later cues sound without delay.
// Without an audio device it stays silent.
std::unique_ptr<SoundOutput> makeAudioOutput();

// Plays the game's cues by name; main() hands the real one (Sounds) to the
// main window, tests a recorder.
class CuePlayer
{
public:
    virtual ~CuePlayer() = default;
    virtual void play(const QString &name) = 0;
};

// The game's sound cues. One cue sounds at a time: a new one cuts off the one
// still playing. Names are matched without regard to case; a name that is not
// a cue plays the desktop's default sound instead.
class Sounds : public CuePlayer
{
public:
    // `enabled`, when set, is asked at every call.
    explicit Sounds(std::unique_ptr<SoundOutput> output, std::function<bool()> enabled = {});

    // The stored names of the seven cues.
    static const QStringList &cueNames();
    // The embedded resource of a stored cue name.
    static QString resourcePath(const QString &cue);

    void play(const QString &name) override;

    SoundOutput &output() { return *m_output; }

private:
    std::unique_ptr<SoundOutput> m_output;
    std::function<bool()> m_enabled;
    QString m_last;
};

} // namespace ballwick
