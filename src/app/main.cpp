#include <QApplication>
#include <QWidget>

#include "online/thighscore.h"
#include "screens/tabout.h"
#include "screens/thelp.h"
#include "screens/tmultiplayer.h"
#include "tally/ttallylist.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Ballwick"));
    QWidget mainWindow;
    mainWindow.setWindowTitle(QStringLiteral("Ballwick"));
    Ttallylist tally(&mainWindow);
    Tabout about(&mainWindow);
    Thelp help(&mainWindow);
    Thighscore highscore(&mainWindow);
    Tmultiplayer multiplayer(&mainWindow);
    mainWindow.show();
    return app.exec();
}
