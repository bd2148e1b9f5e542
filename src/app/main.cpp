#include <QApplication>
#include <QIcon>

#include <optional>

#include "app/sessionbus.h"
#include "app/tmain.h"
#include "app/warmup.h"
#include "online/thighscore.h"
#include "screens/tabout.h"
#include "screens/thelp.h"
#include "screens/tmultiplayer.h"
#include "tally/ttallylist.h"
#include "widgets/fonts.h"
#include "widgets/menustyle.h"
#include "widgets/picture.h"

namespace {
// Longest wait for the main window's first paint before the other windows are
// built anyway (a window manager may hold the window back).
constexpr int firstpaintlimitms = 300;
} // namespace

int main(int argc, char **argv)
{
    // No futile launch of a session bus while the window is being built. Set
    // before any other thread starts: the environment is not for changing
    // while another thread reads it.
    ballwick::QuietSessionBus quietbus;
    // While Qt starts, another core reads the font configuration; once the
    // main window is drawn, it decodes the other windows' pictures and loads
    // the audio module. libcurl is loaded and set up by the first fetch, not
    // here: the program starts without it.
    ballwick::StartupWarmup warmup;
    QApplication app(argc, argv);
    warmup.applicationReady();
    QApplication::setApplicationName(QStringLiteral("ballwick"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ballwick"));
    QApplication::setDesktopFileName(QStringLiteral("ballwick"));
    // Closing the main window ends the program, whichever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);
    // Without a session bus no desktop can show the menus in a bar of its
    // own: the menu bar stays in the window without asking for one over the
    // bus (which would start the bus connection's thread and wait for it).
    if (quietbus.active())
        QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication::setStyle(new ballwick::MenuStyle);
    // The game's own face is the default for every window and menu (its
    // menus drop down in the menu bar's font). The desktop's default family
    // may not even be installed, which cost the first text box a search for
    // a stand-in.
    QApplication::setFont(ballwick::uiFont(8));

    // The font configuration has mostly been read by now (Qt's own start takes
    // longer); if not, waiting for it is cheaper than the second load that
    // fontconfig would start for the first text.
    warmup.waitForFonts();

    // Created in this order and destroyed in the reverse one, the main window
    // last; the tally list writes its file while it is destroyed. The main
    // window is up and drawn before the others are built: they stay hidden
    // until asked for, and until then its menus find them missing and do
    // nothing. Closed that early, the program ends without building them.
    Tmain main;
    QIcon icon;
    icon.addPixmap(ballwick::loadPicture(QStringLiteral(":/images/icon-48.png")));
    icon.addPixmap(ballwick::loadPicture(QStringLiteral(":/images/icon-128.png")));
    QApplication::setWindowIcon(icon);
    main.show();
    main.waitforfirstpaint(firstpaintlimitms);
    warmup.mainWindowDrawn();
    std::optional<Ttallylist> tally;
    std::optional<Tabout> about;
    std::optional<Thelp> help;
    std::optional<Thighscore> highscore;
    std::optional<Tmultiplayer> multiplayer;
    if (!main.closed()) {
        tally.emplace(&main);
        about.emplace(&main);
        help.emplace(&main);
        highscore.emplace(&main);
        multiplayer.emplace(&main);
        main.setwindows(&*tally, &*about, &*help, &*highscore, &*multiplayer);
        warmup.windowsBuilt();
    }

    // Programs started from here on look for the bus themselves.
    quietbus.release();

    // Closed before its first paint or while the others were being built:
    // nothing is left to run.
    const int rc = main.closed() ? 0 : app.exec();
    // Quick as the program may have been closed, the start-up work ends with
    // the application still there.
    warmup.finish();
    // The secondary windows are going away: the main window must not reach them
    // from here on.
    main.setwindows(nullptr, nullptr, nullptr, nullptr, nullptr);
    return rc;
}
