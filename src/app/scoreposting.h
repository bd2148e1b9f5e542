#pragma once
#include <QObject>
#include <QString>

class QDate;
class QTimer;
class TFlatPanel;
class Thighscore;

namespace ballwick {

class Dialogs;

// Posting the ended round's score from the end-of-round panel: the post goes
// out through the high-score window, and panel_wait counts down with cycling
// dots ("Posting Score, Please Wait.....") until the high-score window's reply
// hides it; after 40 steps without one the player is told "Posting Failed.".
// Owned by the main window.
class ScorePosting : public QObject
{
    Q_OBJECT
public:
    // panelCleared: the end-of-round panel; panelWait: the wait caption on it.
    ScorePosting(TFlatPanel *panelCleared, TFlatPanel *panelWait, Dialogs &dialogs, QObject *parent = nullptr);

    void setHighscore(Thighscore *highscore) { m_highscore = highscore; }

    // The step timer "Timer1": 1000 ms, stopped at first.
    QTimer *timer() const { return m_timer; }

    // Sends the score with the day it was posted and starts the countdown.
    void send(const QString &name, const QDate &day, int score);
    // One step of the countdown.
    void step();
    // Loads and shows the high-score list.
    void showlist();

    // A day as month/day/two-digit year, without leading zeros (12/6/26), with
    // the locale's date separator.
    static QString postDate(const QDate &day);

private:
    TFlatPanel *m_cleared;
    TFlatPanel *m_wait;
    Dialogs &m_dialogs;
    Thighscore *m_highscore = nullptr;
    QTimer *m_timer;
    int m_countdown = 0;
    int m_dots = 0;
};

} // namespace ballwick
