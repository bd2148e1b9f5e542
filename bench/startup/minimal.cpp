// The yardsticks for the start-up benchmark: a bare window ("Minimal"), and
// with any argument a window with a menu bar and a line of text ("Minimal
// Text"), which adds the font set-up that every window showing text pays.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc > 1) {
        QMainWindow window;
        window.setWindowTitle(QStringLiteral("Minimal Text"));
        window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("Exit"));
        window.setCentralWidget(new QLabel(QStringLiteral("Hello")));
        window.resize(780, 491);
        window.show();
        return app.exec();
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.resize(780, 491);
    window.show();
    return app.exec();
}
