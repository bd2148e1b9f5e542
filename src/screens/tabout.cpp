#include "screens/tabout.h"

Tabout::Tabout(QWidget *mainWindow)
    : QWidget(nullptr), m_main(mainWindow)
{
    setObjectName("tabout");
    setWindowTitle(QStringLiteral("Ballwick - About"));
}

Tabout::~Tabout() = default;
