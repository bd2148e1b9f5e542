#include "app/sounds.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <utility>

#include "app/audiomodule.h"

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
    // up and drawn: a cue asked for before that (the welcome cue) waits for it.
    AudioOutput() = default;

    void start(const QString &cue) override
    {
        if (!m_ready) {
            m_pending = cue;
            setUpSoon();
            return;
        }
        if (!m_device)
            load(); // a device may have turned up since
        if (m_device)
            m_device->start(cue);
    }

    void stop(const QString &cue) override
    {
        if (cue == m_pending)
            m_pending.clear();
        if (m_device)
            m_device->stop(cue);
    }

    bool isPlaying(const QString &cue) const override
    {
        if (!m_pending.isEmpty() && cue == m_pending)
            return true;
        return m_device && m_device->isPlaying(cue);
    }

    void beep() override { QApplication::beep(); }

private:
    void setUpSoon()
    {
        if (m_scheduled)
            return;
        m_scheduled = true;
        // m_context goes with this output: no set-up after it is gone.
        QTimer::singleShot(0, &m_context, [this] { setUpAfterFirstPaint(); });
    }

    // The set-up (the audio libraries, the service, the cues) takes the UI
    // thread for some milliseconds: a window shown but not yet drawn is drawn
    // first. Its expose is what draws it; the set-up comes in the turn after,
    // or after exposeLimitMs if the window stays hidden.
    void setUpAfterFirstPaint()
    {
        const auto windows = QGuiApplication::topLevelWindows();
        const bool waiting = std::any_of(windows.begin(), windows.end(),
                                         [](const QWindow *w) { return w->isVisible() && !w->isExposed(); });
        if (!waiting) {
            setUp();
            return;
        }
        m_exposeWatch = std::make_unique<ExposeWatch>([this] {
            QTimer::singleShot(0, &m_context, [this] { setUp(); });
        });
        QTimer::singleShot(exposeLimitMs, &m_context, [this] { setUp(); });
    }

    void setUp()
    {
        if (m_ready)
            return;
        m_exposeWatch.reset();
        m_ready = true;
        load();
        const QString cue = std::exchange(m_pending, QString());
        if (m_device && !cue.isEmpty())
            m_device->start(cue);
    }

    // Calls back once at the first expose of any window.
    class ExposeWatch final : public QObject
    {
    public:
        explicit ExposeWatch(std::function<void()> exposed) : m_exposed(std::move(exposed))
        {
            qApp->installEventFilter(this);
        }
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Expose && watched->isWindowType() && m_exposed) {
                qApp->removeEventFilter(this);
                std::exchange(m_exposed, {})();
            }
            return false;
        }

    private:
        std::function<void()> m_exposed;
    };

    static constexpr int exposeLimitMs = 500;

    // Loads every cue for the default device; without one (or without the
    // audio module) every cue is silent.
    void load()
    {
        const BallwickMakeAudioOutput make = audioModule();
        if (!make)
            return;
        QStringList urls;
        for (const QString &cue : Sounds::cueNames())
            urls << QStringLiteral("qrc") + Sounds::resourcePath(cue);
        m_device.reset(make(Sounds::cueNames(), urls));
    }

    std::unique_ptr<SoundOutput> m_device; // the module's player, with a device
    std::unique_ptr<ExposeWatch> m_exposeWatch;
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
