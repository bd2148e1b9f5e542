#include "screens/thelp.h"

Thelp::Thelp(QWidget *mainWindow)
    : QWidget(nullptr), m_main(mainWindow)
{
    setObjectName("thelp");
    setWindowTitle(QStringLiteral("Ballwick - Help File"));
}

Thelp::~Thelp() = default;
