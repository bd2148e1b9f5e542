// The module itself: QSoundEffect for every cue.
#include "app/audiomodule.h"

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <map>
#include <memory>

namespace {

class EffectsOutput final : public ballwick::SoundOutput
{
public:
    EffectsOutput(const QAudioDevice &device, const QStringList &cues, const QStringList &urls)
    {
        for (qsizetype i = 0; i < cues.size() && i < urls.size(); ++i) {
            auto effect = std::make_unique<QSoundEffect>(device);
            effect->setSource(QUrl(urls[i]));
            m_effects.emplace(cues[i], std::move(effect));
        }
    }

    void start(const QString &cue) override
    {
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
    QSoundEffect *find(const QString &cue) const
    {
        const auto it = m_effects.find(cue);
        return it == m_effects.end() ? nullptr : it->second.get();
    }

    std::map<QString, std::unique_ptr<QSoundEffect>> m_effects;
};

} // namespace

extern "C" __attribute__((visibility("default"))) ballwick::SoundOutput *
ballwick_make_audio_output(const QStringList &cues, const QStringList &urls)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return nullptr;
    return new EffectsOutput(device, cues, urls);
}
