#include "online/thighscore.h"

Thighscore::Thighscore(QWidget *mainWindow)
    : QWidget(nullptr), m_main(mainWindow)
{
    setObjectName("thighscore");
    setWindowTitle(QStringLiteral("Ballwick - High Scores"));
}

Thighscore::~Thighscore() = default;

void Thighscore::sendscore(const QString &, const QString &, const QString &) {}
void Thighscore::loadit() {}
