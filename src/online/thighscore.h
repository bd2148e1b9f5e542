#pragma once
#include <QByteArray>
#include <QLabel>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class TFlatPanel;
class THTTPGet;
class TImageButton;
class TLbBackground;
class TURL;

// The "Ballwick - High Scores" window: created once at start, hidden rather than destroyed.
// mainWindow is the program's main window, reached for the player's name box
// (edit_name), its background tile and the program name.
//
// Posting a score and fetching the list run on the two background fetches
// sendit and getit; the list page is shown in displayhtml as the server sends it.
class Thighscore : public QWidget
{
    Q_OBJECT
public:
    explicit Thighscore(QWidget *mainWindow);
    ~Thighscore() override;

    // Posts a score with the 'sendit' fetch. The three are plain texts (the name as
    // typed, the date, the score's digits); they are escaped for the address here.
    void sendscore(const QString &name, const QString &date, const QString &score);
    // Fetches the list page afresh with the 'getit' fetch; shown when it arrives.
    void loadit();

    // The reply to a post arrived: hides the main window's end-of-round panel,
    // stops its wait timer, loads the list and shows this window.
    void senditDoneString(QObject *Sender, const QByteArray &Result);
    // Shows a list page (the whole document; no base address).
    void getitDoneString(QObject *Sender, const QByteArray &Result);
    // A link in the page was clicked: opened in the browser, the window stays.
    void displayhtmlHotSpotClick(const QUrl &link);
    void Image2Click();
    void button_doneClick();

    THTTPGet *sendit = nullptr;
    THTTPGet *getit = nullptr;
    TURL *URL1 = nullptr;

signals:
    // After senditDoneString has done its work.
    void scorePosted();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();

    QWidget *m_main;
    QLabel *Image1 = nullptr;
    TFlatPanel *panel_main = nullptr;
    QTextBrowser *displayhtml = nullptr;
    TImageButton *button_done = nullptr;
    TImageButton *Image2 = nullptr;
    TLbBackground *LbBackground1 = nullptr;
    TURL *m_siteUrl = nullptr; // the maker's home page, when the About window has none
    bool m_placed = false;
};
