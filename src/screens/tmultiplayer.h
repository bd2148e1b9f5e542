#pragma once
#include <QWidget>

// The "Ballwick Solo - Multiplayer" window: created once at start, hidden rather than destroyed.
// mainWindow is the program's main window, reached for the player's name box
// (edit_name), its background tile and the program name.
class Tmultiplayer : public QWidget
{
    Q_OBJECT
public:
    explicit Tmultiplayer(QWidget *mainWindow);
    ~Tmultiplayer() override;

private:
    QWidget *m_main;
};
