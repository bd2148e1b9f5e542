#include "app/sounds.h"

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <map>
#include <memory>
#include <utility>

// The cues live in a static library: make sure its resources are registered
// (the macro cannot stand inside a namespace).
static void initSoundResources()
{
    Q_INIT_RESOURCE(sounds);
}

namespace ballwick {
namespace {

// One QSoundEffect for each cue, all made on the first cue for the default
// audio device, so that later cues sound without delay. Without a device
// every cue is silent; the next cue looks for one again.
class EffectsOutput final : public SoundOutput
{
public:
    void start(const QString &cue) override
    {
        load();
        if (QSoundEffect *e = find(cue))
            e->play();
    }

    void stop(const QString &cue) override
    {
        if (QSoundEffect *e = find(cue))
            e->stop();
    }

    bool isPlaying(const QString &cue) const override
    {
        const QSoundEffect *e = find(cue);
        return e && e->isPlaying();
    }

    void beep() override { QApplication::beep(); }

private:
    void load()
    {
        if (!m_effects.empty())
            return;
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
};

} // namespace

std::unique_ptr<SoundOutput> makeAudioOutput()
{
    initSoundResources();
    return std::make_unique<EffectsOutput>();
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
