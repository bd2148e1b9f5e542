#pragma once
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <array>

#include "tally/gridfile.h"
#include "tally/tlzrw1.h"

class TFlatPanel;
class TImageButton;
class TLbBackground;

namespace ballwick {
class Dialogs;
}

// A label that carries a number beside its caption: a counter's numeric value,
// or a rank's numeric score (-1000 for an empty rank).
class Tvaluelabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue)
public:
    using QLabel::QLabel;
    int value() const { return m_value; }
    void setValue(int v) { m_value = v; }

private:
    int m_value = 0;
};

// The "Ballwick - Tally List" window: twelve counters and the local top ten,
// kept in the hidden table stringgrid_scores (14 columns x 12 rows of text) and
// mirrored by the labels. Created once at start, right after the main window;
// hidden rather than destroyed. Creating it loads the tally file
// (ballwicktally.tld in the data folder it is given), destroying it writes the
// file.
//
// The table: row 0 columns 1..12 the counters; rows 1..10 the ranks, column 0
// the date, column 1 the score ("-1000" = empty rank), column 2 the name.
class Ttallylist : public QWidget
{
    Q_OBJECT
public:
    static constexpr int counters = 12;
    static constexpr int ranks = 10;
    static constexpr int emptyscore = -1000;

    // mainWindow is the program's main window; the window opens centred over it
    // and its error boxes stand over it. dialogs shows the window's messages and
    // asks its question; it must outlive the window. dataDir is the folder of
    // the tally file, with a trailing '/'.
    Ttallylist(QWidget *mainWindow, ballwick::Dialogs &dialogs, QString dataDir);
    // Writes the tally file (FormDestroy).
    ~Ttallylist() override;

    // Counter calls made by the game (index 1..12).
    // Adds one to a counter.
    void addtomineincrease(int index);
    // Sets a counter to a decimal value (the game uses it for counter 2, the
    // best covered count, and only when its count is greater).
    void addtomineset(int index, const QString &value);
    // Enters a final score into the top ten if it qualifies and highlights its
    // row; true when entered. Equal scores: the newer ranks above.
    bool checkscore(int score, const QString &name);
    // Numeric value of counter 2, the best covered count.
    int bestcovered() const;

    // Refreshes every label from the table. A counter cell that is empty or not
    // a decimal integer becomes "0"; a score cell that is not an integer counts
    // as an empty rank.
    void loadtally();
    // Asks "Are you sure you want to reset the Tally?"; on Yes zeroes every
    // counter and empties the top ten (written to disk at exit).
    void button_resetClick();
    // Hides the window; contents and highlight stay.
    void button_doneClick();
    // Sets up the empty table and loads the tally file, if there is one. A file
    // that cannot be read is reported and moved aside to <name>.bad (or
    // <name>.bad.2, ...), so that the exit's new file destroys nothing.
    void FormCreate();
    // Writes the table to the tally file. A failure leaves the previous file
    // whole and is reported in one message box.
    void FormDestroy();

    // Where the tally lives.
    QString tallyfilename() const;
    // The hidden table.
    const ballwick::StringGrid &scores() const { return stringgrid_scores; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Rank
    {
        QLabel *num = nullptr;
        QLabel *date = nullptr;
        QLabel *name = nullptr;
        Tvaluelabel *high = nullptr;
    };

    void buildwindow();
    void settablecell(int col, int row, const QString &text);
    void setrowstyle(int rank, const QColor &colour, bool bold);
    void copyrank(int from, int to);
    void reporterror(const QString &message);
    QString keepbadfile(const QString &fileName);
    void removeleftovers();

    QWidget *m_main;
    ballwick::Dialogs &m_dialogs;
    const QString m_dataDir;
    ballwick::StringGrid stringgrid_scores;
    ballwick::Tlzrw1 doit;
    TFlatPanel *FlatPanel1 = nullptr;
    TLbBackground *LbBackground1 = nullptr;
    std::array<Tvaluelabel *, counters + 1> mylabel{}; // 1..12
    std::array<Rank, ranks + 1> rank{};                // 1..10
    TImageButton *button_resettally = nullptr;
    TImageButton *button_done = nullptr;
    bool m_placed = false;
    // Set when the tally file could not be read and also not be moved aside:
    // then the exit leaves it as it is.
    bool m_keepfile = false;
    bool m_busy = false;
};
