// The yardstick for the start-up benchmark: a window and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.resize(780, 491);
    window.show();
    return app.exec();
}
