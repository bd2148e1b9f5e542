#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <ballwick_config.h>

#include "app/sounds.h"
#include "app/tmain.h"
#include "net/selfupdate.h"
#include "online/turl.h"
#include "online/thighscore.h"
#include "screens/tabout.h"
#include "screens/thelp.h"
#include "screens/tmultiplayer.h"
#include "tally/ttallylist.h"
#include "widgets/accessible.h"
#include "widgets/dialogs.h"
#include "widgets/fonts.h"

namespace {

void nameTheApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("ballwick"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BALLWICK_VERSION_FULL));
}

// --help and --version print and end the program before any window or display
// is needed; every other argument is ignored, as the game reads no command line.
void answerTheCommandLine(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    nameTheApplication();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Ballwick, a single-player bingo game: reveal the balls, daub three cards and dodge the thief."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.parse(QCoreApplication::arguments()); // unknown arguments are no error
    if (parser.isSet(QStringLiteral("help-all")))
        parser.process(QCoreApplication::arguments()); // prints the Qt options too, and exits
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1)
        answerTheCommandLine(argc, argv);

    QApplication app(argc, argv);
    nameTheApplication();
    QApplication::setDesktopFileName(QStringLiteral(BALLWICK_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/icon-128.png")));
    // Closing the main window ends the program, whichever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);
    // The game's own face, in every window and menu.
    QApplication::setFont(ballwick::uiFont(8));

    // What the windows use outside themselves: the real ones.
    ballwick::MessageBoxes dialogs;
    ballwick::Sounds cues(ballwick::makeAudioOutput());
    ballwick::DesktopLinks links;
    ballwick::RunningProgram program;
    ballwick::QtAccessibleEvents accessibility;
    ballwick::SystemClock clock;
    ballwick::MainServices services;
    services.places = ballwick::runningPlaces();
    services.cues = &cues;
    services.dialogs = &dialogs;
    services.program = &program;
    services.accessibility = &accessibility;
    services.clock = &clock;

    // Created in this order and destroyed in the reverse one, the main window
    // last; the tally list reads its file when it is created and writes it
    // when it is destroyed.
    Tmain main(services);
    Ttallylist tally(&main, dialogs, services.places.data);
    Tabout about(&main, links);
    Thelp help(&main);
    Thighscore highscore(&main, links, services.server, services.places.data);
    Tmultiplayer multiplayer(&main, links);
    main.setwindows(&tally, &about, &help, &highscore, &multiplayer);

    main.show();
    const int rc = app.exec();

    // The secondary windows are going away: the main window must not reach
    // them from here on.
    main.setwindows(nullptr, nullptr, nullptr, nullptr, nullptr);
    return rc;
}
