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

// What the main window shows before the first round, in the order it takes
// it: its construction (the tiled background last), its icon, its first paint.
QStringList firstFramePictures()
{
    return {
        QStringLiteral(":/images/bigball.png"),        QStringLiteral(":/images/bigball_mox.png"),
        QStringLiteral(":/images/mox/0.png"),          QStringLiteral(":/images/button_start.png"),
        QStringLiteral(":/images/card.png"),           QStringLiteral(":/images/scoring.png"),
        QStringLiteral(":/images/button_sendscore.png"), QStringLiteral(":/images/button_highscores.png"),
        QStringLiteral(":/images/button_cancel.png"),  QStringLiteral(":/images/button_done.png"),
        QStringLiteral(":/images/button_ok.png"),      QStringLiteral(":/images/tile.png"),
        QStringLiteral(":/images/icon-48.png"),        QStringLiteral(":/images/icon-128.png"),
        QStringLiteral(":/images/balls/0.png"),
    };
}

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

void StartupWarmup::startPictures()
{
    if (m_pictures.joinable())
        return;
    promisePictures(firstFramePictures());
    m_pictures = std::thread([this] {
        decodePromisedPictures();
        {
            std::unique_lock<std::mutex> hold(m_lock);
            m_go.wait(hold, [this] { return m_drawn || m_ending; });
            if (m_ending && !m_drawn)
                return; // closed before it was drawn: nothing more is wanted
        }
        // Promised by mainWindowDrawn(): the pictures the other windows take
        // as they are built, then the audio module and its libraries, wanted
        // once the event loop runs.
        decodePromisedPictures();
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            if (m_ending)
                return; // no sound for a program that is closing
        }
        audioModule();
    });
}

void StartupWarmup::mainWindowDrawn()
{
    const std::lock_guard<std::mutex> hold(m_lock);
    if (m_drawn)
        return;
    // Promised before the windows that take them are built, so that they
    // find them promised (and decode one themselves if this thread has not
    // reached it yet).
    promisePictures(otherWindowPictures());
    promisePictures({Tmultiplayer::picturePath()}, &Tmultiplayer::decodePicture);
    m_drawn = true;
    m_go.notify_all();
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
    // A program that ends before its window is drawn lets the thread end too.
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_ending = true;
    }
    m_go.notify_all();
    waitForFonts();
    if (m_pictures.joinable())
        m_pictures.join();
}

} // namespace ballwick
