// Posting a score and showing the high-score list from the main window.
#include "app/tmain.h"

#include <QTimer>

#include "online/thighscore.h"

void Tmain::button_sendscoreClick()
{
}

void Tmain::Timer1Timer()
{
    Timer1->stop();
}

void Tmain::button_highscoresClick()
{
    if (highscore) {
        highscore->loadit();
        highscore->show();
        highscore->raise();
    }
}

void Tmain::ViewHighScoreList1Click()
{
    button_highscoresClick();
}
