// Renders the help, about and multiplayer windows into PNG files for the
// documentation, without a display:
//   ballwick-screens-shots docs
// writes docs/screenshot-help.png, docs/screenshot-about.png and
// docs/screenshot-multiplayer.png. The windows are shown over a stand-in main
// window that carries the game's tile, as the program's main window does.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTextEdit>
#include <QWidget>

#include <cstdio>

#include "online/turl.h"
#include "screens/tabout.h"
#include "screens/thelp.h"
#include "screens/tmultiplayer.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"

namespace {

bool save(QWidget *window, const QString &path)
{
    window->show();
    QApplication::processEvents();
    const bool ok = window->grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "cannot write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-DIRECTORY\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    QWidget mainWindow;
    mainWindow.setGeometry(0, 0, 766, 537);
    auto *tile = new TLbBackground(&mainWindow);
    tile->setObjectName(QStringLiteral("LbBackground1"));
    tile->setImage(QPixmap(QStringLiteral(":/images/tile.png")));

    ballwick::DesktopLinks links; // nothing is clicked here
    Tabout about(&mainWindow, links);
    Thelp help(&mainWindow);
    Tmultiplayer multiplayer(&mainWindow, links);

    bool ok = true;
    // The help window on its scoring section, which shows the indented table.
    if (auto *scoring = help.findChild<TSelButton *>(QStringLiteral("SelButton4")))
        help.selectSection(scoring);
    ok &= save(&help, out.filePath(QStringLiteral("screenshot-help.png")));
    ok &= save(&about, out.filePath(QStringLiteral("screenshot-about.png")));
    ok &= save(&multiplayer, out.filePath(QStringLiteral("screenshot-multiplayer.png")));
    return ok ? 0 : 1;
}
