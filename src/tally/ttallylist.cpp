#include "tally/ttallylist.h"

Ttallylist::Ttallylist(QWidget *mainWindow)
    : QWidget(nullptr), m_main(mainWindow)
{
    setObjectName("ttallylist");
    setWindowTitle(QStringLiteral("Ballwick - Tally List"));
}

Ttallylist::~Ttallylist() = default;

void Ttallylist::addtomineincrease(int) {}
void Ttallylist::addtomineset(int, const QString &) {}
bool Ttallylist::checkscore(int, const QString &) { return false; }
int Ttallylist::bestcovered() const { return 0; }
