#pragma once
#include <QWidget>

// The "Ballwick - Help File" window: created once at start, hidden rather than destroyed.
// mainWindow is the program's main window, reached for the player's name box
// (edit_name), its background tile and the program name.
class Thelp : public QWidget
{
    Q_OBJECT
public:
    explicit Thelp(QWidget *mainWindow);
    ~Thelp() override;

private:
    QWidget *m_main;
};
