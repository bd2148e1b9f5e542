#include "app/warmup.h"

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
    // The configuration and font caches: the largest single cost of the first
    // text. Qt's own set-up then finds them loaded.
    m_fonts = std::thread([] { FcInit(); });
#endif
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
        decodePromisedPictures();
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            if (m_ending)
                return; // no sound for a program that is closing
        }
        // The audio module and its libraries, wanted once the event loop runs.
        audioModule();
    });
}

void StartupWarmup::waitForFonts()
{
    if (m_fonts.joinable())
        m_fonts.join();
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
    }
    waitForFonts();
    if (m_pictures.joinable())
        m_pictures.join();
}

} // namespace ballwick
