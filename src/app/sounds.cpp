#include "app/sounds.h"

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <map>
#include <utility>

// The cues live in a static library: make sure its resources are registered
// (the macro cannot stand inside a namespace).
static void initSoundResources()
{
    Q_INIT_RESOURCE(sounds);
}

namespace ballwick {
namespace {

class AudioOutput final : public SoundOutput
{
public:
    // The audio service is set up from the event loop, once the windows are
    // up: a cue asked for before that (the welcome cue) waits for it.
    AudioOutput() = default;

    void start(const QString &cue) override
    {
        if (!m_ready) {
            m_pending = cue;
            setUpSoon();
            return;
        }
        if (m_effects.empty())
            load(); // a device may have turned up since
        if (QSoundEffect *e = find(cue))
            e->play();
    }

    void stop(const QString &cue) override
    {
        if (cue == m_pending)
            m_pending.clear();
        if (QSoundEffect *e = find(cue))
            e->stop();
    }

    bool isPlaying(const QString &cue) const override
    {
        if (!m_pending.isEmpty() && cue == m_pending)
            return true;
        const auto it = m_effects.find(cue);
        return it != m_effects.end() && it->second->isPlaying();
    }

    void beep() override { QApplication::beep(); }

private:
    void setUpSoon()
    {
        if (m_scheduled)
            return;
        m_scheduled = true;
        // m_context goes with this output: no set-up after it is gone.
        QTimer::singleShot(0, &m_context, [this] {
            m_ready = true;
            load();
            const QString cue = std::exchange(m_pending, QString());
            if (QSoundEffect *e = cue.isEmpty() ? nullptr : find(cue))
                e->play();
        });
    }

    // Loads every cue for the default device; without one, every cue is silent.
    void load()
    {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return;
        for (const QString &cue : Sounds::cueNames()) {
            auto effect = std::make_unique<QSoundEffect>(device);
            effect->setSource(QUrl(QStringLiteral("qrc") + Sounds::resourcePath(cue)));
            m_effects.emplace(cue, std::move(effect));
        }
    }

    QSoundEffect *find(const QString &cue) const
    {
        const auto it = m_effects.find(cue);
        return it == m_effects.end() ? nullptr : it->second.get();
    }

    std::map<QString, std::unique_ptr<QSoundEffect>> m_effects;
    QObject m_context;
    QString m_pending; // asked for before the set-up
    bool m_scheduled = false;
    bool m_ready = false;
};

} // namespace

std::unique_ptr<SoundOutput> makeAudioOutput()
{
    initSoundResources();
    return std::make_unique<AudioOutput>();
}

Sounds::Sounds(std::unique_ptr<SoundOutput> output, std::function<bool()> enabled)
    : m_output(std::move(output)), m_enabled(std::move(enabled))
{
}

const QStringList &Sounds::cueNames()
{
    static const QStringList names{QStringLiteral("ENTERED"),   QStringLiteral("TURNNEW"),
                                   QStringLiteral("REPLACE"),   QStringLiteral("ROUNDOVER"),
                                   QStringLiteral("INVALID"),   QStringLiteral("PLACECARD"),
                                   QStringLiteral("WINNER")};
    return names;
}

QString Sounds::resourcePath(const QString &cue)
{
    return QStringLiteral(":/sounds/") + cue + QStringLiteral(".wav");
}

void Sounds::play(const QString &name)
{
    if (m_enabled && !m_enabled())
        return;
    if (!m_last.isEmpty() && m_output->isPlaying(m_last))
        m_output->stop(m_last);
    const QString cue = name.toUpper();
    if (!cueNames().contains(cue)) {
        m_last.clear();
        m_output->beep();
        return;
    }
    m_last = cue;
    m_output->start(cue);
}

} // namespace ballwick
