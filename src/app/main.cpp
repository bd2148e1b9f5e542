#include <QApplication>
#include <QIcon>

#include <ballwick_config.h>

#include "app/tmain.h"
#include "online/thighscore.h"
#include "screens/tabout.h"
#include "screens/thelp.h"
#include "screens/tmultiplayer.h"
#include "tally/ttallylist.h"
#include "widgets/fonts.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ballwick"));
    QApplication::setApplicationVersion(QStringLiteral(BALLWICK_VERSION_FULL));
    QApplication::setDesktopFileName(QStringLiteral("ballwick"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/icon-128.png")));
    // Closing the main window ends the program, whichever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);
    // The game's own face, in every window and menu.
    QApplication::setFont(ballwick::uiFont(8));

    // Created in this order and destroyed in the reverse one, the main window
    // last; the tally list reads its file when it is created and writes it
    // when it is destroyed.
    Tmain main;
    Ttallylist tally(&main);
    Tabout about(&main);
    Thelp help(&main);
    Thighscore highscore(&main);
    Tmultiplayer multiplayer(&main);
    main.setwindows(&tally, &about, &help, &highscore, &multiplayer);

    main.show();
    const int rc = app.exec();

    // The secondary windows are going away: the main window must not reach
    // them from here on.
    main.setwindows(nullptr, nullptr, nullptr, nullptr, nullptr);
    return rc;
}
