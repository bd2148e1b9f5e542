// The main window's widget tree: the menu bar, the board, the cards, the
// overlay panels and their pictures, the order the keyboard visits them in,
// and what a screen reader hears for a slot or a cell.
#include "app/tmain.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include "app/board.h"
#include "app/maincolours.h"
#include "app/pictures.h"
#include "app/updatecheck.h"
#include "widgets/fonts.h"
#include "widgets/tflatpanel.h"

using ballwick::boardFrame;
using ballwick::darkPurple;
using ballwick::purple;
using ballwick::setTextColour;
using ballwick::windowColour;

namespace {


using ballwick::uiFont;

QFont pixelFont(int pixels, bool bold = false)
{
    QFont f = uiFont(8, bold);
    f.setPixelSize(pixels);
    return f;
}

TFlatPanel *makePanel(QWidget *parent, const char *name, QRect geometry, const QColor &frame)
{
    auto *p = new TFlatPanel(parent);
    p->setObjectName(QLatin1String(name));
    p->setGeometry(geometry);
    p->setFrameColor(frame);
    return p;
}

QLabel *makeImage(QWidget *parent, const char *name, QRect geometry, const QString &path)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setPixmap(ballwick::picture(path, geometry.size()));
    return l;
}

QLabel *makeLabel(QWidget *parent, const char *name, QPoint at, const QString &caption, const QFont &font,
                  const QColor &colour)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    // The greeting and the score line carry the player's name and numbers:
    // shown as typed, never read as markup.
    l->setTextFormat(Qt::PlainText);
    l->setFont(font);
    setTextColour(l, colour);
    l->move(at);
    return l; // sized by the caller once the window's widgets are built
}

} // namespace

const QPixmap &Tmain::imagelist_balls(int index) const
{
    static const QPixmap none;
    if (index < 0 || index > 77)
        return none;
    QPixmap &pix = m_balls[index];
    if (pix.isNull())
        pix = ballwick::picture(QStringLiteral(":/images/balls/%1.png").arg(index), QSize(40, 40),
                                index == 0 ? purple : (index == 76 ? darkPurple : QColor(Qt::lightGray)));
    return pix;
}

const QPixmap &Tmain::imagelist_mox(int index) const
{
    static const QPixmap none;
    if (index < 0 || index > 3)
        return none;
    QPixmap &pix = m_mox[index];
    if (pix.isNull())
        pix = ballwick::picture(QStringLiteral(":/images/mox/%1.png").arg(index), QSize(132, 55));
    return pix;
}

void Tmain::buildmenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    auto item = [this](QMenu *menu, const char *name, const QString &caption, void (Tmain::*handler)(),
                       const QKeySequence &shortcut = {}) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (!shortcut.isEmpty())
            a->setShortcut(shortcut);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };

    file1 = bar->addMenu(QStringLiteral("&File"));
    file1->setObjectName(QStringLiteral("file1"));
    StartGame1 = item(file1, "StartGame1", QStringLiteral("Start Game"), &Tmain::StartGame1Click,
                      QKeySequence(Qt::CTRL | Qt::Key_S));
    N1 = file1->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    Exit1 = item(file1, "Exit1", QStringLiteral("Exit"), &Tmain::Exit1Click);

    Options1 = bar->addMenu(QStringLiteral("&Options"));
    Options1->setObjectName(QStringLiteral("Options1"));
    PlaySounds1 = item(Options1, "PlaySounds1", QStringLiteral("Play Sounds"), &Tmain::PlaySounds1Click);
    PlaySounds1->setCheckable(true);
    PlaySounds1->setChecked(true);
    ResetScreenLocation1 = item(Options1, "ResetScreenLocation1", QStringLiteral("Reset Screen Location"),
                                &Tmain::ResetScreenLocation1Click);
    ChangeName1 = item(Options1, "ChangeName1", QStringLiteral("Change  Name"), &Tmain::ChangeName1Click);
    updatecheck = item(Options1, "updatecheck", QStringLiteral("Automatically Check for Updates"),
                       &Tmain::updatecheckClick);
    updatecheck->setCheckable(true);
    updatecheck->setChecked(true);

    View1 = bar->addMenu(QStringLiteral("&View"));
    View1->setObjectName(QStringLiteral("View1"));
    TallyList1 = item(View1, "TallyList1", QStringLiteral("Tally List"), &Tmain::TallyList1Click);
    ViewHighScoreList1 = item(View1, "ViewHighScoreList1", QStringLiteral("View High Score List"),
                              &Tmain::ViewHighScoreList1Click);

    Help1 = bar->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Help2 = item(Help1, "Help2", QStringLiteral("Help"), &Tmain::Help2Click, QKeySequence(Qt::Key_F1));
    QuickInstructions1 = item(Help1, "QuickInstructions1", QStringLiteral("Quick Instructions"),
                              &Tmain::QuickInstructions1Click, QKeySequence(Qt::CTRL | Qt::Key_I));
    N2 = Help1->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));
    About1 = item(Help1, "About1", QStringLiteral("About"), &Tmain::About1Click);

    MultiplayerBingo1 = bar->addAction(QStringLiteral("Check out Multiplayer Bingo!"));
    MultiplayerBingo1->setObjectName(QStringLiteral("MultiplayerBingo1"));
    connect(MultiplayerBingo1, &QAction::triggered, this, &Tmain::MultiplayerBingo1Click);
}

void Tmain::buildwidgets()
{
    panel_board = makePanel(m_client, "panel_board", QRect(0, 2, 758, 488), windowColour);
    panel_board->setTransparent(true);

    label_name = makeLabel(panel_board, "label_name", QPoint(11, 10),
                           QStringLiteral("Welcome to Ballwick by Quendra Software!"), uiFont(10, true), purple);
    label_name->setFixedWidth(600);

    panel_board1 = makePanel(panel_board, "panel_board1", QRect(2, 29, 753, 457), boardFrame);
    panel_board1->setTransparent(true);
    QWidget *area = panel_board1;

    label_score = makeLabel(area, "label_score", QPoint(620, 6), QStringLiteral("Score:"), uiFont(12, true), purple);
    label_score->setFixedWidth(130);

    panel_theboard = makePanel(area, "panel_theboard", QRect(10, 5, 604, 204), purple);
    panel_theboard->setColor(Qt::black);
    paintbox_board = new Tpaintbox(*m_services.accessibility, panel_theboard);
    paintbox_board->setObjectName(QStringLiteral("paintbox_board"));
    paintbox_board->setGeometry(3, 3, ballwick::boardwidth, ballwick::boardheight);
    connect(paintbox_board, &Tpaintbox::paint, this, &Tmain::paintbox_boardPaint);
    connect(paintbox_board, &Tpaintbox::mouseUp, this, &Tmain::paintbox_boardMouseUp);
    paintbox_board->setSlotName([this](int slot) { return slotname(slot); });

    panel_bigball = makePanel(area, "panel_bigball", QRect(615, 29, 134, 121), Qt::black);
    panel_bigball->setColor(Qt::black);
    Image4 = makeImage(panel_bigball, "Image4", QRect(2, 2, 130, 117), QStringLiteral(":/images/bigball.png"));
    label_bigball = new QLabel(QStringLiteral("B4"), panel_bigball);
    label_bigball->setObjectName(QStringLiteral("label_bigball"));
    label_bigball->setGeometry(13, 31, 108, 58);
    label_bigball->setAlignment(Qt::AlignCenter);
    label_bigball->setFont(pixelFont(51, true));
    setTextColour(label_bigball, Qt::black);
    image_moxball =
        makeImage(panel_bigball, "image_moxball", QRect(2, 2, 130, 117), QStringLiteral(":/images/bigball_mox.png"));

    image_mox = new QLabel(area);
    image_mox->setObjectName(QStringLiteral("image_mox"));
    image_mox->setGeometry(616, 154, 132, 55);
    drawmox(0);

    button_start = ballwick::pictureButton(area, "button_start", QRect(620, 162, 126, 40),
                                           QStringLiteral(":/images/button_start.png"));
    connect(button_start, &TImageButton::clicked, this, &Tmain::button_startClick);

    auto makeCard = [this, area](const char *name, int left, int number) {
        auto *c = new Tcardbox(*m_services.accessibility, area);
        c->setObjectName(QLatin1String(name));
        c->setGeometry(left, 212, 209, 241);
        c->setPixmap(ballwick::picture(QStringLiteral(":/images/card.png"), c->size()));
        c->setAccessibleName(QStringLiteral("Card %1").arg(number));
        return c;
    };
    Image1 = makeCard("Image1", 8, 1);
    Image2 = makeCard("Image2", 219, 2);
    Image3 = makeCard("Image3", 430, 3);
    Image5 = makeImage(area, "Image5", QRect(641, 212, 110, 241), QStringLiteral(":/images/scoring.png"));
    Image5->setAccessibleName(QStringLiteral("Scoring: line 10, corners 15, cross 20, X 20, square 25, T 25, A 25, "
                                             "M 25, KUVO 50, blackout 100"));
    buildcards();

    // End of the round.
    panel_cleared = makePanel(area, "panel_cleared", QRect(8, 5, 606, 205), darkPurple);
    panel_cleared->setColor(windowColour);
    panel_cleared->hide();
    panel_cleared->setAccessibleName(QStringLiteral("Round over"));
    listbox_scores = new QListWidget(panel_cleared);
    listbox_scores->setObjectName(QStringLiteral("listbox_scores"));
    listbox_scores->setGeometry(6, 6, 281, 193);
    listbox_scores->setFont(uiFont(10, true));
    listbox_scores->setFocusPolicy(Qt::NoFocus);
    {
        QPalette lp = listbox_scores->palette();
        lp.setColor(QPalette::Base, QColor(0xF5, 0xF3, 0xE7));
        lp.setColor(QPalette::Text, purple);
        listbox_scores->setPalette(lp);
    }
    label_score1 = makeLabel(panel_cleared, "label_score1", QPoint(304, 12), QStringLiteral("Your Score: "),
                             uiFont(18, true), purple);
    label_score1->setFixedWidth(290);
    Label3 = makeLabel(panel_cleared, "Label3", QPoint(304, 58), QStringLiteral("Enter Your Name"), uiFont(10, true),
                       QColor(0x80, 0x80, 0x80));
    edit_name = new QLineEdit(panel_cleared);
    edit_name->setObjectName(QStringLiteral("edit_name"));
    edit_name->setGeometry(304, 78, 180, 26);
    edit_name->setMaxLength(10);
    edit_name->setFont(uiFont(12));
    button_sendscore = ballwick::pictureButton(panel_cleared, "button_sendscore", QRect(304, 114, 126, 40),
                                               QStringLiteral(":/images/button_sendscore.png"));
    connect(button_sendscore, &TImageButton::clicked, this, &Tmain::button_sendscoreClick);
    button_highscores = ballwick::pictureButton(panel_cleared, "button_highscores", QRect(440, 114, 126, 40),
                                                QStringLiteral(":/images/button_highscores.png"));
    connect(button_highscores, &TImageButton::clicked, this, &Tmain::button_highscoresClick);
    button_cancel = ballwick::pictureButton(panel_cleared, "button_cancel", QRect(440, 159, 126, 40),
                                            QStringLiteral(":/images/button_cancel.png"));
    connect(button_cancel, &TImageButton::clicked, this, &Tmain::button_cancelClick);
    panel_wait = makePanel(panel_cleared, "panel_wait", QRect(304, 114, 262, 40), darkPurple);
    panel_wait->setColor(QColor(0xF5, 0xF3, 0xE7));
    panel_wait->setFontColor(purple);
    panel_wait->setFont(uiFont(10, true));
    panel_wait->setCaption(QStringLiteral("Posting Score, Please Wait......"));
    panel_wait->hide();

    // Name entry.
    panel_name = makePanel(area, "panel_name", QRect(140, 26, 329, 161), Qt::black);
    panel_name->setColor(windowColour);
    panel_name->hide();
    panel_name->setAccessibleName(QStringLiteral("Enter your name"));
    Label1 = new QLabel(QStringLiteral("ENTER YOUR NAME"), panel_name);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(1, 16, 327, 26);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(uiFont(14, true));
    setTextColour(Label1, QColor(0x80, 0x80, 0x80));
    edit_aname = new QLineEdit(panel_name);
    edit_aname->setObjectName(QStringLiteral("edit_aname"));
    edit_aname->setGeometry(64, 52, 201, 32);
    edit_aname->setMaxLength(10);
    edit_aname->setFont(uiFont(14));
    {
        QPalette ep = edit_aname->palette();
        ep.setColor(QPalette::Base, Qt::white);
        ep.setColor(QPalette::Text, Qt::black);
        edit_aname->setPalette(ep);
    }
    connect(edit_aname, &QLineEdit::returnPressed, this, &Tmain::button_namedoneClick);
    button_namedone = ballwick::pictureButton(panel_name, "button_namedone", QRect(101, 104, 126, 40),
                                              QStringLiteral(":/images/button_done.png"));
    connect(button_namedone, &TImageButton::clicked, this, &Tmain::button_namedoneClick);

    panel_update = makePanel(area, "panel_update", QRect(140, 26, 329, 161), Qt::black);
    panel_update->setColor(windowColour);
    panel_update->hide();

    // Quick instructions.
    panel_instructions = makePanel(area, "panel_instructions", QRect(1, 1, 751, 455), darkPurple);
    panel_instructions->setColor(windowColour);
    panel_instructions->hide();
    panel_instructions->setAccessibleName(QStringLiteral("Quick instructions"));
    Image6 = makeImage(panel_instructions, "Image6", QRect(27, 10, 530, 433),
                       QStringLiteral(":/images/instructions.png"));
    Image6->setAccessibleName(
        QStringLiteral("Click the purple circles to reveal the balls, and avoid Bingo Mox: revealing three of his "
                       "balls ends the game. Click the number on your cards that matches the ball, and create the "
                       "designs to get points."));
    Image7 = ballwick::pictureButton(panel_instructions, "Image7", QRect(608, 392, 126, 40),
                                     QStringLiteral(":/images/button_done.png"));
    connect(Image7, &TImageButton::clicked, this, &Tmain::Image7Click);
    // Enter and Escape answer for DONE while the panel shows (a hidden
    // panel's shortcuts are off).
    for (const QKeySequence &key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter),
                                   QKeySequence(Qt::Key_Escape)}) {
        auto *shortcut = new QShortcut(key, panel_instructions);
        connect(shortcut, &QShortcut::activated, this, &Tmain::Image7Click);
    }
}

void Tmain::buildcards()
{
    static constexpr int lefts[3][5] = {{15, 56, 95, 136, 176}, {226, 267, 306, 347, 387}, {437, 478, 517, 558, 598}};
    static constexpr int tops[5] = {259, 298, 337, 376, 415};
    const QFont font = pixelFont(25, true);
    // One palette for all 75 (black numbers), made once.
    QPalette numbers = panel_board1->palette();
    numbers.setColor(QPalette::WindowText, Qt::black);
    numbers.setColor(QPalette::Text, Qt::black);
    for (int card = 1; card <= 3; ++card)
        for (int column = 1; column <= 5; ++column)
            for (int row = 1; row <= 5; ++row) {
                auto *l = new TImageButton(panel_board1);
                l->setObjectName(QString::fromStdString(ballwick::cellobjectname(card, column, row)));
                l->setGeometry(lefts[card - 1][column - 1], tops[row - 1], 34, 29);
                l->setAlignment(Qt::AlignCenter);
                l->setFont(font);
                l->setText(QStringLiteral("0"));
                l->setPalette(numbers);
                // The card takes the focus and moves its cursor over the cells.
                l->setFocusPolicy(Qt::NoFocus);
                connect(l, &TImageButton::clicked, this, [this, l] { label_card111Click(l); });
                m_cards[card - 1][column - 1][row - 1] = l;
                Tcardbox *box = card == 1 ? Image1 : card == 2 ? Image2 : Image3;
                box->setCell(column, row, l);
                l->setAccessibleName(cellname(card, column, row));
            }
}

QLabel *Tmain::cardlabel(int card, int column, int row) const
{
    if (card < 1 || card > 3 || column < 1 || column > 5 || row < 1 || row > 5)
        return nullptr;
    return m_cards[card - 1][column - 1][row - 1];
}

QString Tmain::cellname(int card, int column, int row) const
{
    const QLabel *l = cardlabel(card, column, row);
    if (!l)
        return QString();
    static const char letters[] = "BINGO";
    QString name = QStringLiteral("Card %1, %2 column, row %3: ")
                       .arg(card)
                       .arg(QLatin1Char(letters[column - 1]))
                       .arg(row);
    const QString caption = l->text();
    if (caption == QLatin1String("X"))
        name += QStringLiteral("covered");
    else if (caption.isEmpty())
        name += QStringLiteral("empty");
    else
        name += caption;
    if (m_cellstates[card - 1][column - 1][row - 1] == ballwick::CellState::missed)
        name += QStringLiteral(", not covered");
    return name;
}

QString Tmain::slotname(int slot) const
{
    const QString where = QStringLiteral("Ball slot %1").arg(slot + 1);
    const int picture = m_engine && slot >= 0 && slot < ballwick::slotcount
                            ? ballwick::ballpicture(m_engine->state().balls[slot])
                            : ballwick::picture_empty;
    if (picture == ballwick::picture_empty)
        return where + QStringLiteral(", empty");
    if (picture == ballwick::picture_hidden)
        return where + QStringLiteral(", hidden");
    if (picture == ballwick::picture_thief)
        return where + QStringLiteral(": Bingo Mox ball");
    return where + QStringLiteral(": ") + QString::fromStdString(ballwick::Engine::ballcaption(picture));
}

void Tmain::setfocusorder()
{
    // Tab: the board, the three cards, then the buttons (and name boxes) of
    // whatever overlay shows; hidden ones are passed over.
    const QList<QWidget *> order{paintbox_board, Image1,           Image2,           Image3,
                                 button_start,   edit_name,        button_sendscore, button_highscores,
                                 button_cancel,  edit_aname,       button_namedone,  m_update->yesButton(),
                                 m_update->cancelButton(), Image7};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}
