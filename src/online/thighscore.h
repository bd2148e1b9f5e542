#pragma once
#include <QByteArray>
#include <QLabel>
#include <QUrl>
#include <QWidget>
#include <memory>

#include "online/serverbase.h"

class PostQueue;
class QTextBrowser;
class TFlatPanel;
class THTTPGet;
class TImageButton;
class TLbBackground;
class TURL;
namespace ballwick {
class LinkOpener;
}

// The "Ballwick - High Scores" window: created once at start, hidden rather than destroyed.
// mainWindow is the program's main window, reached for the player's name box
// (edit_name), its background tile and the program name. links opens the page's
// links and must outlive the window; server is where scores are posted and the
// list is fetched; the queue of unanswered posts is kept in dataDir (with a
// trailing '/').
//
// Posting a score and fetching the list run on the two background fetches
// sendit and getit; the list page is shown in displayhtml as the server sends it.
class Thighscore : public QWidget
{
    Q_OBJECT
public:
    Thighscore(QWidget *mainWindow, ballwick::LinkOpener &links, ballwick::ServerAddresses server, QString dataDir);
    ~Thighscore() override;

    // Posts a score with the 'sendit' fetch. The three are plain texts (the name as
    // typed, the date, the score's digits); they are escaped for the address here.
    // The post is kept in the queue of unanswered posts until a reply arrives.
    void sendscore(const QString &name, const QString &date, const QString &score);
    // Sends the posts left unanswered by earlier runs, oldest first, with the
    // 'resendit' fetch; once per run (later calls do nothing). The queue is sent
    // again after each answered post too. Each post goes with its own date; one
    // that gets a reply leaves the queue, the first that gets none stops the round.
    void sendqueued();
    bool hasQueuedPosts();
    PostQueue &postqueue();
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
    THTTPGet *resendit = nullptr;
    TURL *URL1 = nullptr;

signals:
    // A post was answered (senditDoneString): the main window ends its wait
    // and puts its end-of-round panel away.
    void scorePosted();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void sendnextqueued();

    QWidget *m_main;
    ballwick::ServerAddresses m_server;
    QString m_dataDir;
    QLabel *Image1 = nullptr;
    TFlatPanel *panel_main = nullptr;
    QTextBrowser *displayhtml = nullptr;
    TImageButton *button_done = nullptr;
    TImageButton *Image2 = nullptr;
    TLbBackground *LbBackground1 = nullptr;
    TURL *m_siteUrl = nullptr; // the maker's home page, when the About window has none
    bool m_placed = false;
    std::unique_ptr<PostQueue> m_queue; // read at its first use
    quint64 m_sentId = 0;               // the queued post that sendit carries
    quint64 m_resendId = 0;             // the queued post that resendit carries
    bool m_queueSent = false;
};
