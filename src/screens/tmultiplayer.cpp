#include "screens/tmultiplayer.h"

Tmultiplayer::Tmultiplayer(QWidget *mainWindow)
    : QWidget(nullptr), m_main(mainWindow)
{
    setObjectName("tmultiplayer");
    setWindowTitle(QStringLiteral("Ballwick Solo - Multiplayer"));
}

Tmultiplayer::~Tmultiplayer() = default;
