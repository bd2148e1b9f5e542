#pragma once
#include <QObject>
#include <QPointer>
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

    // The high-score window that posts; its answer ends the wait.
    void setHighscore(Thighscore *highscore);

    // The step timer "Timer1": 1000 ms, stopped at first.
    QTimer *timer() const { return m_timer; }

    // Sends the score with the day it was posted and starts the countdown.
    void send(const QString &name, const QDate &day, int score);
    // One step of the countdown.
    void step();
    // The post was answered: the end-of-round panel is put away and the
    // countdown stops.
    void answered();
    // Loads and shows the high-score list.
    void showlist();

    // A day as month/day/two-digit year, without leading zeros (12/6/26), with
    // the locale's date separator.
    static QString postDate(const QDate &day);

private:
    TFlatPanel *m_cleared;
    TFlatPanel *m_wait;
    Dialogs &m_dialogs;
    QPointer<Thighscore> m_highscore;
    QTimer *m_timer;
    int m_countdown = 0;
    int m_dots = 0;
};

} // namespace ballwick
