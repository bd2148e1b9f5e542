#pragma once
#include <QWidget>

// The "Ballwick - Tally List" window: created once at start, hidden rather than destroyed.
// mainWindow is the program's main window, reached for the player's name box
// (edit_name), its background tile and the program name.
class Ttallylist : public QWidget
{
    Q_OBJECT
public:
    explicit Ttallylist(QWidget *mainWindow);
    ~Ttallylist() override;

    // Counter calls made by the game (index 1..12).
    void addtomineincrease(int index);
    void addtomineset(int index, const QString &value);
    // Enters a final score into the top ten if it qualifies; true when entered.
    bool checkscore(int score, const QString &name);
    // Numeric value of counter 2, the best covered count.
    int bestcovered() const;

private:
    QWidget *m_main;
};
