#pragma once
#include <QWidget>

// The "Ballwick - About" window: created once at start, hidden rather than destroyed.
// mainWindow is the program's main window, reached for the player's name box
// (edit_name), its background tile and the program name.
class Tabout : public QWidget
{
    Q_OBJECT
public:
    explicit Tabout(QWidget *mainWindow);
    ~Tabout() override;

private:
    QWidget *m_main;
};
