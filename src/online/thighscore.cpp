#include "online/thighscore.h"

#include "online/pagecheck.h"
#include "online/postqueue.h"
#include "online/serverbase.h"
#include "online/thttpget.h"
#include "online/turl.h"
#include "widgets/fonts.h"
#include "widgets/tflatpanel.h"
#include "widgets/picture.h"
#include "widgets/timagebutton.h"
#include "widgets/tlbbackground.h"
#include <ballwick_config.h>

#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>

namespace {

const QColor windowColour(0xE8, 0xE3, 0xC5);
const QColor frameColour(0x42, 0x1D, 0x45);
const QColor pageColour(0xF3, 0xEC, 0xCF);
const QColor maroon(0x80, 0x00, 0x00);

// Text of a reply: the charset the page names, else UTF-8, else Latin-1.
QString pageText(const QByteArray &bytes)
{
    const auto enc = QStringConverter::encodingForHtml(bytes).value_or(QStringConverter::Utf8);
    QStringDecoder decode(enc);
    QString text = decode(bytes);
    if (decode.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

// The list page's view. The page comes from the network, so the view fetches
// nothing on its own: pictures from the program's embedded resources are shown,
// every other picture, style sheet or document is empty (never a local file, never
// a network address, whatever the page names).
class THtmlView : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl &name) override { return ballwick::pageResource(type, name); }
};

} // namespace

Thighscore::Thighscore(QWidget *mainWindow, ballwick::LinkOpener &links, ballwick::ServerAddresses server,
                       QString dataDir)
    : QWidget(nullptr, Qt::Dialog), m_main(mainWindow), m_server(std::move(server)), m_dataDir(std::move(dataDir))
{
    if (!m_dataDir.isEmpty() && !m_dataDir.endsWith(QLatin1Char('/')))
        m_dataDir += QLatin1Char('/');
    setObjectName("thighscore");
    setWindowTitle(QStringLiteral("Ballwick - High Scores"));
    setFixedSize(603, 561);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, windowColour);
    setPalette(pal);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(6, 9, 100, 100);
    Image1->setScaledContents(true);
    Image1->setPixmap(ballwick::picture(QStringLiteral(":/images/logo.png"), QSize(100, 100), frameColour));

    panel_main = new TFlatPanel(this);
    panel_main->setObjectName(QStringLiteral("panel_main"));
    panel_main->setGeometry(112, 8, 481, 507);
    panel_main->setColor(frameColour);

    displayhtml = new THtmlView(panel_main);
    displayhtml->setObjectName(QStringLiteral("displayhtml"));
    displayhtml->setGeometry(1, 1, 479, 505);
    displayhtml->setFrameShape(QFrame::NoFrame);
    displayhtml->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    displayhtml->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    displayhtml->setLineWrapMode(QTextEdit::WidgetWidth);
    // The view never navigates on its own: a click is reported and handled here.
    displayhtml->setOpenLinks(false);
    displayhtml->setOpenExternalLinks(false);
    displayhtml->setTextInteractionFlags(Qt::TextBrowserInteraction);
    QPalette view = displayhtml->palette();
    view.setColor(QPalette::Base, pageColour);
    view.setColor(QPalette::Text, Qt::black);
    view.setColor(QPalette::Link, maroon);
    view.setColor(QPalette::LinkVisited, frameColour);
    displayhtml->setPalette(view);
    QFont serif;
    serif.setFamilies(ballwick::serifFamilies());
    serif.setStyleHint(QFont::Serif);
    serif.setPointSize(12);
    displayhtml->setFont(serif);
    displayhtml->document()->setDefaultFont(serif);
    displayhtml->document()->setDefaultStyleSheet(
        QStringLiteral("a { color: #800000; } pre, tt, code { font-family: Arial, 'Liberation Sans', sans-serif; }"));
    connect(displayhtml, &QTextBrowser::anchorClicked, this, &Thighscore::displayhtmlHotSpotClick);

    button_done = new TImageButton(this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(467, 518, 126, 40);
    button_done->setScaledContents(true);
    button_done->setPixmap(ballwick::picture(QStringLiteral(":/images/button_done.png"), QSize(126, 40), frameColour));
    button_done->setToolTip(QStringLiteral("Done"));
    connect(button_done, &TImageButton::clicked, this, &Thighscore::button_doneClick);
    // Escape closes the window as Done does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &Thighscore::button_doneClick);

    Image2 = new TImageButton(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(5, 535, 230, 22);
    Image2->setScaledContents(true);
    Image2->setPixmap(ballwick::picture(QStringLiteral(":/images/banner.png"), QSize(230, 22), windowColour));
    connect(Image2, &TImageButton::clicked, this, &Thighscore::Image2Click);

    URL1 = new TURL(links, this);
    URL1->setObjectName(QStringLiteral("URL1"));
    URL1->setURLType(utnone);
    m_siteUrl = new TURL(links, this);
    m_siteUrl->setURLType(utnone);
    m_siteUrl->setURL(QStringLiteral(BALLWICK_SITE_URL));
    Image2->setToolTip(m_siteUrl->address());

    sendit = new THTTPGet(this);
    sendit->setObjectName(QStringLiteral("sendit"));
    sendit->OnDoneString = [this](QObject *s, const QByteArray &r) { senditDoneString(s, r); };
    // No reply: the post stays queued, and no longer on its way.
    sendit->OnError = [this](QObject *) { m_sentId = 0; };
    resendit = new THTTPGet(this);
    resendit->setObjectName(QStringLiteral("resendit"));
    resendit->OnDoneString = [this](QObject *, const QByteArray &) {
        postqueue().remove(m_resendId);
        m_resendId = 0;
        // Once this fetch has ended: the next one may start then.
        QTimer::singleShot(0, this, &Thighscore::sendnextqueued);
    };
    resendit->OnError = [this](QObject *) { m_resendId = 0; };
    getit = new THTTPGet(this);
    getit->setObjectName(QStringLiteral("getit"));
    getit->OnDoneString = [this](QObject *s, const QByteArray &r) { getitDoneString(s, r); };

    FormCreate();
}

Thighscore::~Thighscore() = default;

void Thighscore::FormCreate()
{
    // The window shows its plain colour around the list, not the shared tile.
    LbBackground1 = new TLbBackground(this);
    LbBackground1->setObjectName(QStringLiteral("LbBackground1"));
    LbBackground1->setImage(QPixmap());
}

void Thighscore::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
    }
    QWidget::showEvent(event);
}

PostQueue &Thighscore::postqueue()
{
    if (!m_queue)
        m_queue = std::make_unique<PostQueue>(m_dataDir + QStringLiteral(BALLWICK_APPNAME "posts.json"));
    return *m_queue;
}

bool Thighscore::hasQueuedPosts()
{
    return !postqueue().isEmpty();
}

void Thighscore::sendscore(const QString &name, const QString &date, const QString &score)
{
    // While an earlier post is still on its way this one is not sent now (the
    // fetch takes one at a time); it waits in the queue.
    const bool idle = !sendit->running();
    const quint64 id = postqueue().add(name, date, score);
    if (idle)
        m_sentId = id;
    sendit->URL = m_server.scorePost(name, date, score);
    sendit->StartFetch();
}

void Thighscore::sendqueued()
{
    if (m_queueSent)
        return;
    m_queueSent = true;
    sendnextqueued();
}

void Thighscore::sendnextqueued()
{
    if (resendit->running())
        return; // the round under way goes on by itself
    for (const PostQueue::Post &p : postqueue().posts()) {
        if (p.id == m_sentId)
            continue; // on its way with sendit
        m_resendId = p.id;
        resendit->URL = m_server.scorePost(p.name, p.date, p.score);
        resendit->StartFetch();
        return;
    }
}

void Thighscore::loadit()
{
    getit->PostQuery.clear();
    getit->URL = m_server.scoreList();
    getit->StartFetch();
}

void Thighscore::senditDoneString(QObject *, const QByteArray &)
{
    postqueue().remove(m_sentId);
    m_sentId = 0;
    // The main window puts its end-of-round panel away and stops its wait.
    emit scorePosted();
    loadit();
    show();
    raise();
    // The server can be reached again: what waits in the queue goes now.
    QTimer::singleShot(0, this, &Thighscore::sendnextqueued);
}

void Thighscore::getitDoneString(QObject *, const QByteArray &Result)
{
    // A page too large or too deeply nested would hold up the window (or bring the
    // program down) while it is laid out: a short note stands in for it.
    const QString text = pageText(Result);
    ballwick::PageVerdict verdict = ballwick::checkPage(Result);
    if (verdict == ballwick::PageVerdict::Ok && !ballwick::pageLayoutBounded(text))
        verdict = ballwick::PageVerdict::TooComplex;
    switch (verdict) {
    case ballwick::PageVerdict::Ok:
        displayhtml->setHtml(text);
        return;
    case ballwick::PageVerdict::TooLarge:
        displayhtml->setPlainText(QStringLiteral("The high-score list is too large to be shown."));
        return;
    case ballwick::PageVerdict::TooComplex:
        displayhtml->setPlainText(QStringLiteral("The high-score list cannot be shown."));
        return;
    }
}

void Thighscore::displayhtmlHotSpotClick(const QUrl &link)
{
    // A jump inside the page stays in the view.
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
        displayhtml->scrollToAnchor(link.fragment());
        return;
    }
    // A link relative to the list page is taken from the server that sent it.
    const QUrl target = link.isRelative() ? QUrl(m_server.scoreList()).resolved(link) : link;
    // The page comes from the network: only web and mail links are handed to the
    // desktop, never local files or programs.
    static const QStringList allowed{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto"),
                                     QStringLiteral("ftp")};
    if (!allowed.contains(target.scheme().toLower()))
        return;
    URL1->setURL(link.isRelative() ? target.toString() : link.toString());
    URL1->OpenURL();
}

void Thighscore::Image2Click()
{
    // The About window's opener points at the maker's home page.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("tabout")) {
            if (auto *url = w->findChild<TURL *>(QStringLiteral("URL1"))) {
                url->OpenURL();
                return;
            }
        }
    }
    m_siteUrl->OpenURL();
}

void Thighscore::button_doneClick()
{
    close();
}
