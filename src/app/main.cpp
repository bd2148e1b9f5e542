#include <QApplication>
#include <QIcon>

#include "app/tmain.h"
#include "online/thighscore.h"
#include "screens/tabout.h"
#include "screens/thelp.h"
#include "screens/tmultiplayer.h"
#include "tally/ttallylist.h"

int main(int argc, char **argv)
{
    // libcurl is loaded and set up by the first fetch, not here: the program
    // starts without it.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ballwick"));
    QApplication::setApplicationDisplayName(QStringLiteral("Ballwick"));
    QApplication::setDesktopFileName(QStringLiteral("ballwick"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));
    // Closing the main window ends the program, whichever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);

    // Created in this order and destroyed in the reverse one, the main window
    // last; the tally list writes its file while it is destroyed.
    Tmain main;
    Ttallylist tally(&main);
    Tabout about(&main);
    Thelp help(&main);
    Thighscore highscore(&main);
    Tmultiplayer multiplayer(&main);
    main.setwindows(&tally, &about, &help, &highscore, &multiplayer);

    main.show();
    const int rc = app.exec();
    // The secondary windows are going away: the main window must not reach them
    // from here on.
    main.setwindows(nullptr, nullptr, nullptr, nullptr, nullptr);
    return rc;
}
