#include "app/tmain.h"

#include "widgets/fonts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include <exception>

#include "app/appdirs.h"
#include "app/board.h"
#include "app/instancemutex.h"
#include "app/maincolours.h"
#include "app/mainsettings.h"
#include "app/pictures.h"
#include "app/scoreposting.h"
#include "app/sounds.h"
#include "app/updatecheck.h"
#include "online/thighscore.h"
#include "screens/tabout.h"
#include "screens/thelp.h"
#include "screens/tmultiplayer.h"
#include "tally/ttallylist.h"
#include "widgets/accessible.h"
#include "widgets/dialogs.h"
#include "widgets/tflatpanel.h"
#include "widgets/tlbbackground.h"

namespace {

// The design keeps panel_board's centre at the middle of this client area.
constexpr int designClientWidth = 758;
constexpr int designClientHeight = 492;
constexpr int designBoardCentreX = 379;
constexpr int designBoardCentreY = 246;

} // namespace

using ballwick::uiFont;
using ballwick::windowColour;

Tmain::Tmain(const ballwick::MainServices &services, QWidget *parent) : QMainWindow(parent), m_services(services)
{
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Ballwick"));
    setFont(uiFont(8));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, windowColour);
    setPalette(pal);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setAutoFillBackground(false);
    setCentralWidget(m_client);
    LbBackground1 = new TLbBackground(m_client);
    LbBackground1->setObjectName(QStringLiteral("LbBackground1"));
    LbBackground1->setImage(ballwick::loadPicture(QStringLiteral(":/images/tile.png")));

    m_appname = QString::fromLatin1(ballwick::appname);
    buildmenus();
    buildwidgets();
    m_settings = new ballwick::MainSettings(m_services.places.config + m_appname + QStringLiteral(".ini"), m_appname,
                                            this);
    m_posting = new ballwick::ScorePosting(panel_cleared, panel_wait, *m_services.dialogs, this);
    connect(m_posting->timer(), &QTimer::timeout, this, &Tmain::Timer1Timer);
    m_update = new ballwick::UpdateCheck(panel_update, m_services, m_appname, this);
    connect(m_update->yesButton(), &TImageButton::clicked, this, &Tmain::button_updateyesClick);
    connect(m_update->cancelButton(), &TImageButton::clicked, this, &Tmain::button_updatecancelClick);
    setfocusorder();
    StartGame1->installEventFilter(this);
    for (QLabel *label : {label_name, label_score, label_score1, Label3})
        label->adjustSize();
    // Overlays from bottom to top.
    panel_cleared->raise();
    panel_name->raise();
    panel_update->raise();
    panel_theboard->raise();
    panel_bigball->raise();
    panel_instructions->raise();

    m_client->setMinimumSize(panel_board->width() + 5, panel_board->height() + 5);
    m_client->installEventFilter(this);

    FormCreate();
}

Tmain::~Tmain() = default;

void Tmain::setwindows(Ttallylist *tally, Tabout *aboutwindow, Thelp *helpwindow, Thighscore *highscorewindow,
                       Tmultiplayer *multiplayerwindow)
{
    tallylist = tally;
    about = aboutwindow;
    help = helpwindow;
    highscore = highscorewindow;
    multiplayer = multiplayerwindow;
    m_posting->setHighscore(highscorewindow);
    m_update->setAbout(aboutwindow);
}

void Tmain::reporterror(const QString &message)
{
    m_services.dialogs->error(this, message);
}

void Tmain::reporterrorlater(const QString &message, std::function<void()> closed)
{
    m_services.dialogs->errorLater(this, message, std::move(closed));
}

QString Tmain::playerName() const
{
    return edit_name->text();
}

void Tmain::focusboard()
{
    // A start from Ctrl+S is a keyboard start: the board's cursor shows at once.
    paintbox_board->setFocus(m_startbykey ? Qt::ShortcutFocusReason : Qt::OtherFocusReason);
    m_startbykey = false;
}

// ---------------------------------------------------------------------------
// Start-up, show, resize and close

void Tmain::FormCreate()
{
    m_installerfile = QStringLiteral("moxsetup.exe");
    m_mutex = std::make_unique<ballwick::InstanceMutex>(m_appname);
    defaultwidth = 780;
    defaultheight = 491;
    const QTime now = m_services.clock->now().toUTC().time();
    m_engine = std::make_unique<ballwick::Engine>(
        *this, ballwick::Random(ballwick::Random::seedfromtime(now.hour(), now.minute(), now.second(), now.msec())));
    panel_name->show();
    panel_name->raise();
    try {
        loadinifile();
    } catch (const std::exception &e) {
        // The rest of the creation is skipped; the program goes on.
        reporterror(QString::fromLocal8Bit(e.what()));
        return;
    }
    // The round-active flag starts cleared with the engine.
    playsounds(QStringLiteral("entered"));
}

void Tmain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    FormShow();
    if (!m_shownonce) {
        m_shownonce = true;
        // Centred on the whole desktop at the first showing, keeping the size.
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect desk = screen->virtualGeometry();
            move(desk.left() + (desk.width() - width()) / 2, desk.top() + (desk.height() - height()) / 2);
        }
    }
}

void Tmain::FormShow()
{
    // Scores left unanswered by an earlier run go out once per run (the
    // high-score window sends its queue only once).
    if (highscore)
        highscore->sendqueued();
    startupdatecheck();
}

bool Tmain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        FormResize();
    if (watched == StartGame1 && event->type() == QEvent::Shortcut)
        m_startbykey = true;
    return QMainWindow::eventFilter(watched, event);
}

void Tmain::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape || (event->modifiers() & ~Qt::KeypadModifier)) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    // The topmost overlay that shows, as its own button would hide it. The
    // quick instructions look after their own keys.
    const QObjectList stack = panel_board1->children();
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        auto *panel = qobject_cast<QWidget *>(*it);
        if (!panel || !panel->isVisibleTo(this))
            continue;
        if (panel == panel_instructions)
            break;
        if (panel == panel_update && m_update->cancelButton()->isVisibleTo(this)) {
            button_updatecancelClick();
        } else if (panel == panel_name) {
            button_namedoneClick();
        } else if (panel == panel_cleared) {
            button_cancelClick();
        } else {
            continue;
        }
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void Tmain::FormResize()
{
    // The client area never gets smaller than panel_board plus 5 pixels (its
    // minimum size); the panel keeps its size and its centre keeps its
    // proportional place, the middle.
    const QSize client = m_client->size();
    const int cx = designBoardCentreX * client.width() / designClientWidth;
    const int cy = designBoardCentreY * client.height() / designClientHeight;
    panel_board->move(cx - panel_board->width() / 2, cy - panel_board->height() / 2);
}

void Tmain::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
    m_closed = true;
    QCoreApplication::quit();
}

void Tmain::FormClose()
{
    if (!(y() == m_loadedtop && x() == m_loadedleft && height() == m_loadedheight && width() == m_loadedwidth)) {
        QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect work = screen->availableGeometry();
            // Shrunk by 3 pixels only, not fitted to the work area.
            if (width() > work.width())
                resize(width() - 3, height());
            if (height() > work.height())
                resize(width(), height() - 3);
        }
        m_loadedleft = x();
        m_loadedtop = y();
        m_loadedwidth = width();
        m_loadedheight = height();
    }
    try {
        saveinifile();
    } catch (const std::exception &e) {
        // Reported; the program still ends, since staying open would not make
        // the file writable.
        reporterror(QString::fromLocal8Bit(e.what()));
    }
}

// ---------------------------------------------------------------------------
// Menu items and overlay buttons

void Tmain::StartGame1Click()
{
    m_engine->StartGame1Click();
    focusboard();
}

void Tmain::Exit1Click()
{
    close();
}

void Tmain::PlaySounds1Click()
{
    // The check mark has already toggled.
    try {
        saveinifile();
    } catch (const std::exception &e) {
        reporterror(QString::fromLocal8Bit(e.what()));
    }
}

void Tmain::updatecheckClick()
{
    try {
        saveinifile();
    } catch (const std::exception &e) {
        reporterror(QString::fromLocal8Bit(e.what()));
    }
}

void Tmain::ResetScreenLocation1Click()
{
    move(3, 3);
    resize(defaultwidth, defaultheight);
}

void Tmain::ChangeName1Click()
{
    panel_name->show();
    panel_name->raise();
    // Typing goes straight into the name box.
    edit_aname->setFocus(Qt::OtherFocusReason);
    edit_aname->selectAll();
}

void Tmain::showwindow(QWidget *window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

void Tmain::TallyList1Click()
{
    showwindow(tallylist);
}

void Tmain::Help2Click()
{
    showwindow(help);
}

void Tmain::QuickInstructions1Click()
{
    panel_instructions->show();
}

void Tmain::About1Click()
{
    showwindow(about);
}

void Tmain::MultiplayerBingo1Click()
{
    showwindow(multiplayer);
}

void Tmain::button_namedoneClick()
{
    edit_name->setText(edit_aname->text());
    panel_name->hide();
}

void Tmain::Image7Click()
{
    panel_instructions->hide();
}

// ---------------------------------------------------------------------------
// Settings and sounds

void Tmain::loadinifile()
{
    const ballwick::IniSettings s = m_settings->load(defaultwidth, defaultheight);
    m_loadedtop = s.top;
    m_loadedleft = s.left;
    m_loadedwidth = s.width;
    m_loadedheight = s.height;
    move(m_loadedleft, m_loadedtop);
    resize(ballwick::MainSettings::reachablesize(m_loadedwidth, m_loadedheight));

    PlaySounds1->setChecked(s.sounds);
    updatecheck->setChecked(s.update);

    ballwick::MainSettings::putname(edit_name, s.name, s.name);
    ballwick::MainSettings::putname(edit_aname, s.name, edit_name->text());

    if (s.quick) {
        panel_instructions->show();
        panel_instructions->raise();
        panel_instructions->move(1, 1);
    }

    // The instructions are shown once: marked as seen at every start.
    m_settings->markquickseen();
}

void Tmain::saveinifile()
{
    ballwick::IniSettings s;
    s.top = y();
    s.left = x();
    s.width = width();
    s.height = height();
    s.name = edit_name->text();
    s.sounds = PlaySounds1->isChecked();
    s.update = updatecheck->isChecked();
    m_settings->save(s);
}

void Tmain::playsounds(const QString &name)
{
    if (PlaySounds1->isChecked() && m_services.cues)
        m_services.cues->play(name);
}

// ---------------------------------------------------------------------------
// High scores and the update check

void Tmain::button_sendscoreClick()
{
    if (edit_name->text().isEmpty())
        edit_name->setText(QStringLiteral("Guest"));
    m_posting->send(edit_name->text(), m_services.clock->now().date(), m_engine->state().score);
}

void Tmain::Timer1Timer()
{
    m_posting->step();
}

void Tmain::button_highscoresClick()
{
    m_posting->showlist();
}

void Tmain::ViewHighScoreList1Click()
{
    button_highscoresClick();
}

void Tmain::startupdatecheck()
{
    if (updatecheck->isChecked())
        m_update->start();
}

void Tmain::checkupdateDoneString(QObject *, const QByteArray &Result)
{
    m_update->versionArrived(Result);
}

void Tmain::button_updateyesClick()
{
    m_update->accept();
}

void Tmain::button_updatecancelClick()
{
    m_update->cancel();
}

void Tmain::downloadit()
{
    m_update->download();
}

// ---------------------------------------------------------------------------
// The game view

void Tmain::button_startClick()
{
    m_engine->button_startClick();
    focusboard();
}

void Tmain::button_cancelClick()
{
    m_engine->button_cancelClick();
}

void Tmain::label_card111Click(QLabel *sender)
{
    int card = 0, column = 0, row = 0;
    if (sender && ballwick::parsecellobjectname(sender->objectName().toStdString(), card, column, row))
        m_engine->label_card111Click(card, column, row);
}

void Tmain::paintbox_boardMouseUp(Qt::MouseButton, int x, int y)
{
    // Any button counts; the rules ignore a release off the board.
    const bool playing = m_engine->state().roundactive;
    m_engine->paintbox_boardMouseUp(ballwick::slotat(x, y));
    if (playing && !m_engine->state().roundactive)
        roundended();
}

void Tmain::roundended()
{
    // The reader hears the score; a player at the keyboard goes on from SEND SCORE.
    const QString note = QStringLiteral("Round over. ") + label_score1->text();
    panel_cleared->setAccessibleName(note);
    ballwick::announceChange(*m_services.accessibility, panel_cleared);
    QWidget *focus = QApplication::focusWidget();
    if (focus == paintbox_board || focus == Image1 || focus == Image2 || focus == Image3)
        button_sendscore->setFocus(Qt::OtherFocusReason);
}

void Tmain::paintbox_boardPaint(QPainter &painter)
{
    painter.fillRect(paintbox_board->rect(), Qt::black);
    for (int s = 0; s < ballwick::slotcount; ++s)
        painter.drawPixmap(ballwick::slotleft(s), ballwick::slottop(s),
                           imagelist_balls(ballwick::ballpicture(m_engine->state().balls[s])));
}
