#include "screens/thelp.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

#include "screens/screencommon.h"
#include "screens/tabout.h"
#include "widgets/tflatpanel.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"

using namespace ballwick::screens;

namespace {

constexpr int designWidth = 523;
constexpr int designHeight = 431;
constexpr int sideWidth = 137;
constexpr int captionHeight = 20;
constexpr int memoBorder = 5;
constexpr QRgb memoColour = 0xF3ECCF;

struct SectionButton
{
    const char *name;
    const char *caption;
    int tag;
    int top;
};

constexpr SectionButton sectionButtons[] = {
    {"SelButton1", "Overview", 1, 8},
    {"SelButton3", "Game Play", 3, 32},
    {"SelButton4", "Scoring", 4, 56},
    {"SelButton5", "Documentation", 5, 80},
    {"SelButton6", "License", 6, 104},
};

const char *const overviewLines[] = {
    "Overview",
    "",
    "Bingo Mox loves to steal your bingo balls. In this solo version of the popular",
    "game, Bingo Mox steals five of your bingo balls and replaces them with his",
    "own. Once you get three of his, then the game ends.",
    "",
    "See if you can avoid Bingo Mox long enough to get your name on the high",
    "score list!",
};

const char *const gamePlayLines[] = {
    "Game Play",
    "",
    "The object of the game is to cover as many numbers as possible. You",
    "receive points for creating special designs such as lines, crosses, and",
    "covering the corners.",
    "",
    "You will select balls to cover by clicking on the purple circles. Once the ball",
    "is revealed, click on the matching number on your cards.",
    "",
    "Watch out for Bingo Mox. Once you get three of his balls, the game ends.",
};

const char *const scoringLines[] = {
    "Scoring",
    "",
    "You receive points as follows",
    "",
    "  10 - Line",
    "  15 - Covering the four corners",
    "  20 - Cross - covering the middle lines across and down",
    "  20 - X - covering the diagonal lines from corner to corner",
    "  25 - Square - covering all four outer lines",
    "  25 - Letters - creating T, A, or M",
    "  50 - KUVO - creating a T on one card, A on another and M on another.",
    "  100 - Blackout - covering the whole card",
};

const char *const historyLines[] = {
    "History",
    "",
    "July 31, 2013 - Version 1.0.2.2",
    "July 22, 2011 - Version 1.0.2.1",
};

QStringList toList(const char *const *lines, std::size_t count)
{
    QStringList out;
    for (std::size_t i = 0; i < count; ++i)
        out << QString::fromLatin1(lines[i]);
    return out;
}

// The licence as the game ships it (the LICENSE file), one paragraph per line
// under the heading "License Agreement". The file's own title line, if it has
// one, gives way to that heading.
QStringList licenceLines()
{
    QStringList out{QStringLiteral("License Agreement"), QString()};
    QFile file(QStringLiteral(":/screens/license.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    const QString text = QString::fromUtf8(file.readAll());
    QStringList paragraphs;
    QString current;
    for (const QString &raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            if (!current.isEmpty())
                paragraphs << current;
            current.clear();
        } else {
            current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + line;
        }
    }
    if (!current.isEmpty())
        paragraphs << current;
    if (!paragraphs.isEmpty() && paragraphs.first().endsWith(QLatin1String("License Agreement"))
        && paragraphs.first().size() < 60)
        paragraphs.removeFirst();
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            out << QString();
        out << paragraphs.at(i);
    }
    return out;
}

} // namespace

QStringList Thelp::sectionLines(int tag)
{
    switch (tag) {
    case 1: return toList(overviewLines, std::size(overviewLines));
    case 3: return toList(gamePlayLines, std::size(gamePlayLines));
    case 4: return toList(scoringLines, std::size(scoringLines));
    case 5: return toList(historyLines, std::size(historyLines));
    case 6: return licenceLines();
    default: return {};
    }
}

Thelp::Thelp(QWidget *mainWindow)
    : ScreenWindow(mainWindow)
{
    setObjectName("thelp");
    setWindowTitle(QStringLiteral("Ballwick - Help File"));
    setFont(pixelFont(QStringLiteral("Arial"), 8));
    resize(designWidth, designHeight); // widened to defaultSize() once the texts are in
    // Small enough to shrink the text area, large enough to keep the side
    // panel's buttons clear of its foot.
    setMinimumSize(sideWidth + 160, 300);

    const QColor window = QColor::fromRgb(windowColour);

    panel_side = new TFlatPanel(this);
    panel_side->setObjectName(QStringLiteral("panel_side"));
    panel_side->setTransparent(true);
    panel_side->setFrameColor(window);

    for (const SectionButton &s : sectionButtons) {
        TSelButton *b = captionButton(panel_side, QString::fromLatin1(s.name),
                                      QString::fromLatin1(s.caption), QRect(7, s.top, 122, 20),
                                      helpButtonText, TSelButton::Left);
        b->setProperty("Tag", s.tag);
        connect(b, &TSelButton::clicked, this, &Thelp::SelButton1Click);
    }
    TSelButton *about = captionButton(panel_side, QStringLiteral("button_about"),
                                      QStringLiteral("About"), QRect(7, 152, 122, 20),
                                      helpButtonText, TSelButton::Left);
    about->setProperty("Tag", 10);
    connect(about, &TSelButton::clicked, this, &Thelp::button_aboutClick);

    // The credit and copyright lines at the foot of the side panel.
    const QFont small = pixelFont(QStringLiteral("Arial"), 7);
    const char *const credits[] = {"Ballwick Solo Bingo", "by Quendra Software",
                                   "Copyright (c) 2011 -", "Free software: see License."};
    for (int i = 0; i < 4; ++i) {
        auto *l = new QLabel(QString::fromLatin1(credits[i]), panel_side);
        l->setObjectName(QStringLiteral("label_credit%1").arg(i + 1));
        l->setTextFormat(Qt::PlainText);
        l->setFont(small);
        l->setGeometry(7, 336 + 14 * i, 126, 14);
        l->setProperty("footTop", 336 + 14 * i);
    }
    label_year = new QLabel(panel_side);
    label_year->setObjectName(QStringLiteral("label_year"));
    label_year->setTextFormat(Qt::PlainText);
    label_year->setFont(small);
    {
        const QFontMetrics fm(small);
        const int x = 7 + fm.horizontalAdvance(QStringLiteral("Copyright (c) 2011 -")) + 3;
        label_year->setGeometry(x, 336 + 28, 40, 14);
        label_year->setProperty("footTop", 336 + 28);
    }

    button_done = captionButton(panel_side, QStringLiteral("button_done"), QStringLiteral("Done"),
                                QRect(18, 404, 95, 20), helpButtonText, TSelButton::Center);
    button_done->setProperty("footTop", 404);
    connect(button_done, &TSelButton::clicked, this, &Thelp::button_doneClick);

    panel_main = new TFlatPanel(this);
    panel_main->setObjectName(QStringLiteral("panel_main"));
    panel_main->setTransparent(true);
    panel_main->setFrameColor(window);

    label_caption = new QLabel(QStringLiteral("Overview"), panel_main);
    label_caption->setObjectName(QStringLiteral("label_caption"));
    label_caption->setTextFormat(Qt::PlainText);
    label_caption->setAlignment(Qt::AlignCenter);
    label_caption->setFont(pixelFont(QStringLiteral("Arial"), 12, true));
    {
        // Light text on the buttons' purple, so that it reads over any tile.
        QPalette pal = label_caption->palette();
        pal.setColor(QPalette::WindowText, window);
        pal.setColor(QPalette::Window, QColor::fromRgb(buttonColour));
        label_caption->setPalette(pal);
        label_caption->setAutoFillBackground(true);
    }

    for (const SectionButton &s : sectionButtons) {
        auto *memo = new QTextEdit(panel_main);
        memo->setObjectName(QStringLiteral("memo%1").arg(s.tag));
        memo->setAccessibleName(QString::fromLatin1(s.caption));
        memo->setReadOnly(true);
        memo->setFrameShape(QFrame::NoFrame);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setLineWrapMode(QTextEdit::WidgetWidth);
        memo->document()->setDocumentMargin(memoBorder);
        memo->setFont(pixelFont(QStringLiteral("Arial"), 8));
        memo->setFocusPolicy(Qt::ClickFocus); // not reachable with Tab
        memo->setTabChangesFocus(true);
        QPalette pal = memo->palette();
        pal.setColor(QPalette::Base, QColor::fromRgb(memoColour));
        pal.setColor(QPalette::Text, Qt::black);
        memo->setPalette(pal);
        // One paragraph per stored line; plain text keeps the leading blanks.
        memo->setPlainText(sectionLines(s.tag).join(QLatin1Char('\n')));
        m_memos << memo;
    }

    resize(defaultSize());
    layoutPanels();
    FormCreate();
}

// The design size, made wider when needed so that each stored line of the
// written sections (all but the licence, whose paragraphs wrap) stands on one
// line of the text area; the game's face runs a little wider than the one the
// lines were broken for.
QSize Thelp::defaultSize() const
{
    const QTextEdit *memo = m_memos.first();
    const QFontMetrics fm(memo->font());
    int widest = 0;
    for (const SectionButton &s : sectionButtons) {
        if (s.tag == 6)
            continue;
        for (const QString &line : sectionLines(s.tag))
            widest = qMax(widest, fm.horizontalAdvance(line));
    }
    const int scrollBar = memo->verticalScrollBar()->sizeHint().width();
    // A few pixels to spare for the cursor and rounding at fractional scales.
    const int textArea = widest + 2 * memoBorder + scrollBar + 6;
    return QSize(qMax(designWidth, sideWidth + textArea), designHeight);
}

Thelp::~Thelp() = default;

void Thelp::FormCreate()
{
    // The window opens on the overview.
    selectSection(findChild<TSelButton *>(QStringLiteral("SelButton1")));
    label_year->setText(currentYear());
}

void Thelp::setAboutWindow(QWidget *about)
{
    m_about = about;
}

QString Thelp::currentSection() const
{
    for (QTextEdit *memo : m_memos)
        if (memo->isVisibleTo(const_cast<Thelp *>(this)))
            return memo->objectName();
    return QString();
}

void Thelp::SelButton1Click()
{
    selectSection(qobject_cast<TSelButton *>(sender()));
}

void Thelp::selectSection(TSelButton *button)
{
    if (!button)
        return;
    const QString name = QStringLiteral("memo") + QString::number(button->property("Tag").toInt());
    auto *section = findChild<QTextEdit *>(name);
    if (!section)
        return; // every section button names one of the texts
    for (QTextEdit *memo : m_memos)
        memo->setVisible(memo == section);
    section->raise();
    label_caption->setText(button->caption());
}

void Thelp::button_aboutClick()
{
    if (!m_about) {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<Tabout *>(w)) {
                m_about = w;
                break;
            }
        }
    }
    if (m_about)
        showModeless(m_about);
}

void Thelp::button_doneClick()
{
    hide();
}

void Thelp::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutPanels();
}

// The side panel keeps its width and the full height, its foot (credit lines
// and Done) stays at the bottom; the text area takes the rest.
void Thelp::layoutPanels()
{
    const int w = width(), h = height();
    panel_side->setGeometry(0, 0, sideWidth, h);
    panel_main->setGeometry(sideWidth, 0, qMax(0, w - sideWidth), h);
    const int shift = h - designHeight;
    for (QObject *child : panel_side->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        const QVariant top = child->property("footTop");
        if (widget && top.isValid())
            widget->move(widget->x(), top.toInt() + shift);
    }
    label_caption->setGeometry(0, 0, panel_main->width(), captionHeight);
    for (QTextEdit *memo : m_memos)
        memo->setGeometry(0, captionHeight, panel_main->width(),
                          qMax(0, panel_main->height() - captionHeight));
}
