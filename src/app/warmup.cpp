#include "app/warmup.h"

#include <QFontDatabase>
#include <QStringList>

#include "app/audiomodule.h"
#include "screens/tmultiplayer.h"
#include "widgets/picture.h"

#ifdef BALLWICK_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace ballwick {
namespace {

// What the other windows show, built once the main window is drawn.
QStringList otherWindowPictures()
{
    return {
        QStringLiteral(":/images/button_reset.png"),
        QStringLiteral(":/images/logo.png"),
        QStringLiteral(":/images/banner.png"),
    };
}

} // namespace

StartupWarmup::StartupWarmup()
{
#ifdef BALLWICK_HAVE_FONTCONFIG
    m_fonts = std::thread([this] {
        // The configuration and font caches: the largest single cost of the
        // first text. Qt's own set-up then finds them loaded.
        FcInit();
        std::unique_lock<std::mutex> hold(m_lock);
        m_configRead = true;
        m_changed.notify_all();
        m_changed.wait(hold, [this] { return m_applicationReady || m_ending; });
        if (m_ending)
            return;
        hold.unlock();
        // Qt's list of the installed fonts, which the first text would fill
        // otherwise. Qt guards it with a lock of its own: text measured on
        // the main thread meanwhile waits for the list to be complete.
        QFontDatabase::families();
    });
#else
    m_configRead = true;
#endif
}

void StartupWarmup::applicationReady()
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_applicationReady = true;
    m_changed.notify_all();
}

void StartupWarmup::mainWindowDrawn()
{
    if (m_pictures.joinable())
        return;
    // Promised before the windows that take them are built, so that they
    // find them promised (and decode one themselves if this thread has not
    // reached it yet).
    promisePictures(otherWindowPictures());
    promisePictures({Tmultiplayer::picturePath()}, &Tmultiplayer::decodePicture);
    m_pictures = std::thread([this] {
        // A program that is closing wants neither the pictures nor the sound.
        const auto ending = [this] {
            const std::lock_guard<std::mutex> hold(m_lock);
            return m_ending;
        };
        decodePromisedPictures(ending);
        {
            // The sound is wanted once the event loop runs, after the other
            // windows are built.
            std::unique_lock<std::mutex> hold(m_lock);
            m_changed.wait(hold, [this] { return m_windowsBuilt || m_ending; });
            if (m_ending)
                return;
        }
        // The audio module and its libraries, wanted once the event loop runs.
        audioModule();
    });
}

void StartupWarmup::windowsBuilt()
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_windowsBuilt = true;
    m_changed.notify_all();
}

void StartupWarmup::waitForFonts()
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [this] { return m_configRead; });
}

StartupWarmup::~StartupWarmup()
{
    finish();
}

void StartupWarmup::finish()
{
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_ending = true;
        m_changed.notify_all();
    }
    if (m_fonts.joinable())
        m_fonts.join();
    if (m_pictures.joinable())
        m_pictures.join();
}

} // namespace ballwick
