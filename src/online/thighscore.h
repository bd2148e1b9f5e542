#pragma once
#include <QWidget>

// The "Ballwick - High Scores" window: created once at start, hidden rather than destroyed.
// mainWindow is the program's main window, reached for the player's name box
// (edit_name), its background tile and the program name.
class Thighscore : public QWidget
{
    Q_OBJECT
public:
    explicit Thighscore(QWidget *mainWindow);
    ~Thighscore() override;

    // Posts a score (all three already composed as text) with the 'sendit' fetch.
    void sendscore(const QString &name, const QString &date, const QString &score);
    // Fetches the list page afresh with the 'getit' fetch; shown when it arrives.
    void loadit();

private:
    QWidget *m_main;
};
