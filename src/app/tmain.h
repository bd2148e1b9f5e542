#pragma once
#include <QMainWindow>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "app/mainservices.h"
#include "game/engine.h"

class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPainter;
class QTimer;
class TFlatPanel;
class TLbBackground;
class TImageButton;
class Tpaintbox;
class Tcardbox;
class Ttallylist;
class Tabout;
class Thelp;
class Thighscore;
class Tmultiplayer;
class THTTPGet;

namespace ballwick {
class InstanceMutex;
class MainSettings;
class ScorePosting;
class UpdateCheck;
}

// The main window "Ballwick": the ball board, the three cards, the overlay
// panels and the menu bar. The object names of the widgets are the members'
// names, so they can be looked up with findChild.
class Tmain : public QMainWindow, public ballwick::GameView
{
    Q_OBJECT
public:
    // Creating the window runs FormCreate: the instance lock, the random seed,
    // the name panel, the settings and the cue "entered".
    explicit Tmain(const ballwick::MainServices &services, QWidget *parent = nullptr);
    ~Tmain() override;

    // The window has been closed, which ends the program.
    bool closed() const { return m_closed; }

    // The secondary windows, created after the main window (in this order) and
    // handed over here; the main window calls them directly.
    void setwindows(Ttallylist *tally, Tabout *about, Thelp *help, Thighscore *highscore,
                    Tmultiplayer *multiplayer);

    // Error messages, in a box titled "Ballwick".
    void reporterror(const QString &message);
    // The same message without waiting for it: the box opens and this returns;
    // closed runs once it is dismissed.
    void reporterrorlater(const QString &message, std::function<void()> closed);

    // The rules of the round behind the view (tests may reseed its random source).
    ballwick::Engine &engine() { return *m_engine; }

    // What the other windows and the start-up read of the main window.
    QString appname() const { return m_appname; }            // "ballwick"
    QString installerfile() const { return m_installerfile; } // "moxsetup.exe"
    QString playerName() const;                               // the text of edit_name
    // The window's place and size as last read from or written to the settings.
    QRect loadedgeometry() const { return {m_loadedleft, m_loadedtop, m_loadedwidth, m_loadedheight}; }

    // --- Settings (mainsettings.cpp) and sounds ---
    // Both throw std::runtime_error("Unable to write to <path>") when the file
    // cannot be written; the writes after the failing one are skipped.
    void loadinifile();
    void saveinifile();
    void playsounds(const QString &name);

    // --- High scores (scoreposting.cpp) ---
    void button_sendscoreClick();
    void Timer1Timer();
    void button_highscoresClick();
    void ViewHighScoreList1Click();

    // --- Update check (updatecheck.cpp) ---
    // Started from FormShow, at every showing, when
    // updatecheck is checked.
    void startupdatecheck();
    // The version text arrived: a different one offers the update.
    void checkupdateDoneString(QObject *Sender, const QByteArray &Result);
    // The player accepts: move the program aside, then downloadit().
    void button_updateyesClick();
    void button_updatecancelClick();
    // Downloads the installer, starts it and ends the process.
    void downloadit();

    // --- Handlers of the main window ---
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormResize();
    void StartGame1Click();
    void Exit1Click();
    void PlaySounds1Click();
    void ResetScreenLocation1Click();
    void ChangeName1Click();
    void updatecheckClick();
    void TallyList1Click();
    void Help2Click();
    void QuickInstructions1Click();
    void About1Click();
    void MultiplayerBingo1Click();
    void button_namedoneClick();
    void Image7Click();
    void button_startClick();
    void button_cancelClick();
    void label_card111Click(QLabel *sender);
    void paintbox_boardMouseUp(Qt::MouseButton button, int x, int y);
    void paintbox_boardPaint(QPainter &painter);

    // The label of a card cell (card 1..3, column 1..5, row 1..5).
    QLabel *cardlabel(int card, int column, int row) const;

    // What a screen reader says for a board slot ("Ball slot 12, hidden",
    // "Ball slot 12: B4", "Ball slot 12: Bingo Mox ball") and for a card cell
    // ("Card 2, G column, row 3: 51", "... covered").
    QString slotname(int slot) const;
    QString cellname(int card, int column, int row) const;

    // Picture 0..77 of the board's list imagelist_balls and 0..3 of the thief
    // counter's list imagelist_mox; each is read from the resources when first
    // drawn, so that start-up decodes only what the first screen shows.
    const QPixmap &imagelist_balls(int index) const;
    const QPixmap &imagelist_mox(int index) const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Escape hides the topmost overlay, as its own button would.
    void keyPressEvent(QKeyEvent *event) override;

private:
    // What the rules ask of the window (ballwick::GameView), in tmain_view.cpp.
    void addtomineincrease(int index) override;
    void addtomineset(int index, const std::string &value) override;
    int bestcovered() const override;
    bool checkscore(int score, const std::string &name) override;
    void playsounds(const std::string &name) override;
    std::string playername() const override;
    void clearscores() override;
    void addscoreline(const std::string &line) override;
    void roundstarting() override;
    void postingclosed() override;
    void resultclosed() override;
    void greetplayer() override;
    void slotcleared(int slot) override;
    void balldealt(int slot) override;
    void ballshown(int slot, int number) override;
    void thiefballshown(int slot) override;
    void thiefcountchanged(int count) override;
    void bigballchanged(int number) override;
    void bigballshown() override;
    void cellchanged(int card, int column, int row, ballwick::CellState state, int number) override;
    void scorechanged(int score) override;
    void roundover(int score) override;
    void scoresendable() override;

    ballwick::MainServices m_services;

    // Program-wide values, set at creation.
    QString m_appname;         // "ballwick"
    QString m_installerfile;   // "moxsetup.exe"
    int defaultwidth = 780;
    int defaultheight = 491;
    int m_loadedleft = 3;
    int m_loadedtop = 3;
    int m_loadedwidth = 780;
    int m_loadedheight = 491;

    // Secondary windows (null until setwindows).
    Ttallylist *tallylist = nullptr;
    Tabout *about = nullptr;
    Thelp *help = nullptr;
    Thighscore *highscore = nullptr;
    Tmultiplayer *multiplayer = nullptr;

    // Menus and items.
    QMenu *file1 = nullptr;
    QAction *StartGame1 = nullptr;
    QAction *N1 = nullptr;
    QAction *Exit1 = nullptr;
    QMenu *Options1 = nullptr;
    QAction *PlaySounds1 = nullptr;
    QAction *ResetScreenLocation1 = nullptr;
    QAction *ChangeName1 = nullptr;
    QAction *updatecheck = nullptr;
    QMenu *View1 = nullptr;
    QAction *TallyList1 = nullptr;
    QAction *ViewHighScoreList1 = nullptr;
    QMenu *Help1 = nullptr;
    QAction *Help2 = nullptr;
    QAction *QuickInstructions1 = nullptr;
    QAction *N2 = nullptr;
    QAction *About1 = nullptr;
    QAction *MultiplayerBingo1 = nullptr;


    TLbBackground *LbBackground1 = nullptr;

    // The widget tree.
    TFlatPanel *panel_board = nullptr;
    QLabel *label_name = nullptr;
    TFlatPanel *panel_board1 = nullptr;
    TFlatPanel *panel_theboard = nullptr;
    Tpaintbox *paintbox_board = nullptr;
    TFlatPanel *panel_bigball = nullptr;
    QLabel *Image4 = nullptr;
    QLabel *label_bigball = nullptr;
    QLabel *image_moxball = nullptr;
    QLabel *image_mox = nullptr;
    TImageButton *button_start = nullptr;
    QLabel *label_score = nullptr;
    Tcardbox *Image1 = nullptr; // the cards' pictures, which take the keyboard's focus
    Tcardbox *Image2 = nullptr;
    Tcardbox *Image3 = nullptr;
    QLabel *Image5 = nullptr;

    TFlatPanel *panel_cleared = nullptr;
    QListWidget *listbox_scores = nullptr;
    QLabel *label_score1 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *edit_name = nullptr;
    TImageButton *button_sendscore = nullptr;
    TImageButton *button_highscores = nullptr;
    TImageButton *button_cancel = nullptr;
    TFlatPanel *panel_wait = nullptr;

    TFlatPanel *panel_name = nullptr;
    QLabel *Label1 = nullptr; // "ENTER YOUR NAME"
    QLineEdit *edit_aname = nullptr;
    TImageButton *button_namedone = nullptr;

    TFlatPanel *panel_update = nullptr; // its children are the update check's

    TFlatPanel *panel_instructions = nullptr;
    QLabel *Image6 = nullptr;
    TImageButton *Image7 = nullptr;



    // The settings file, the high-score post's wait and the update check.
    ballwick::MainSettings *m_settings = nullptr;
    ballwick::ScorePosting *m_posting = nullptr;
    ballwick::UpdateCheck *m_update = nullptr;

    void buildmenus();
    void buildwidgets();
    void buildcards();
    void showwindow(QWidget *window);
    void setfocusorder();
    void focusboard();
    // The game view's helpers (tmain_view.cpp).
    void announcebigball(bool captionset);
    void drawball(int slot);       // repaints a board slot from the board state
    void drawmox(int found);       // the thief counter's picture for 0..3 balls found
    void roundended();

    QLabel *m_cards[3][5][5] = {};
    ballwick::CellState m_cellstates[3][5][5] = {}; // what each card cell shows
    bool m_startbykey = false; // File > Start Game came from its shortcut
    mutable QPixmap m_balls[78];
    mutable QPixmap m_mox[4];
    std::unique_ptr<ballwick::InstanceMutex> m_mutex;
    std::unique_ptr<ballwick::Engine> m_engine;
    bool m_shownonce = false;
    bool m_closed = false;
    QWidget *m_client = nullptr;
};
