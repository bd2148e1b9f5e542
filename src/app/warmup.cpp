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

// What the windows show before the first round, in the order they need it:
// the main window, its icon, its first paint, then the other windows.
QStringList startupPictures()
{
    return {
        QStringLiteral(":/images/tile.png"),           QStringLiteral(":/images/bigball.png"),
        QStringLiteral(":/images/bigball_mox.png"),    QStringLiteral(":/images/mox/0.png"),
        QStringLiteral(":/images/button_start.png"),   QStringLiteral(":/images/card.png"),
        QStringLiteral(":/images/scoring.png"),        QStringLiteral(":/images/button_sendscore.png"),
        QStringLiteral(":/images/button_highscores.png"), QStringLiteral(":/images/button_cancel.png"),
        QStringLiteral(":/images/button_done.png"),    QStringLiteral(":/images/button_ok.png"),
        QStringLiteral(":/images/icon-48.png"),        QStringLiteral(":/images/icon-128.png"),
        QStringLiteral(":/images/balls/0.png"),        QStringLiteral(":/images/button_reset.png"),
        QStringLiteral(":/images/logo.png"),           QStringLiteral(":/images/banner.png"),
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
    promisePictures(startupPictures());
    promisePictures({Tmultiplayer::picturePath()}, &Tmultiplayer::decodePicture);
    m_pictures = std::thread([] {
        decodePromisedPictures();
        // Then the audio module and its libraries, wanted once the windows are up.
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
    waitForFonts();
    if (m_pictures.joinable())
        m_pictures.join();
}

} // namespace ballwick
