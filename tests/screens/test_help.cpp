#include <QDate>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextDocument>
#include <QTextEdit>

#include <ballwick_config.h>

#include "screens/screencommon.h"
#include "screens/tabout.h"
#include "screens/thelp.h"
#include "screentest.h"
#include "widgets/tflatpanel.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"

namespace {

QString caption(const Thelp &help)
{
    return help.findChild<QLabel *>(QStringLiteral("label_caption"))->text();
}

QTextEdit *memo(const Thelp &help, int tag)
{
    return help.findChild<QTextEdit *>(QStringLiteral("memo%1").arg(tag));
}

QString firstLine(const Thelp &help, int tag)
{
    return memo(help, tag)->document()->firstBlock().text();
}

TSelButton *button(const QWidget &w, const char *name)
{
    return w.findChild<TSelButton *>(QString::fromLatin1(name));
}

} // namespace

using HelpWindow = ScreenTest;

TEST_F(HelpWindow, OpensOnOverviewAndReopensOnTheLastSection)
{
    Thelp help(&mainWindow);
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Ballwick - Help File"));
    help.show();
    EXPECT_EQ(caption(help), QStringLiteral("Overview"));
    EXPECT_EQ(help.currentSection(), QStringLiteral("memo1"));
    EXPECT_EQ(firstLine(help, 1), QStringLiteral("Overview"));

    click(button(help, "SelButton4"));
    EXPECT_EQ(help.currentSection(), QStringLiteral("memo4"));
    click(button(help, "button_done"));
    EXPECT_FALSE(help.isVisible());

    help.show();
    EXPECT_EQ(help.currentSection(), QStringLiteral("memo4"));
    EXPECT_EQ(caption(help), QStringLiteral("Scoring"));
}

TEST_F(HelpWindow, EachSectionButtonShowsExactlyItsOwnText)
{
    Thelp help(&mainWindow);
    help.show();
    const struct
    {
        const char *button;
        int tag;
        const char *caption;
        const char *heading;
    } sections[] = {
        {"SelButton3", 3, "Game Play", "Game Play"},
        {"SelButton4", 4, "Scoring", "Scoring"},
        // The caption names the button, the text its own heading.
        {"SelButton5", 5, "Documentation", "History"},
        {"SelButton6", 6, "License", "License Agreement"},
        {"SelButton1", 1, "Overview", "Overview"},
    };
    for (const auto &s : sections) {
        SCOPED_TRACE(s.button);
        click(button(help, s.button));
        EXPECT_EQ(caption(help), QString::fromLatin1(s.caption));
        EXPECT_EQ(firstLine(help, s.tag), QString::fromLatin1(s.heading));
        for (int tag : {1, 3, 4, 5, 6})
            EXPECT_EQ(memo(help, tag)->isVisible(), tag == s.tag) << "memo" << tag;
        // Raised: no sibling lies above it.
        const QObjectList siblings = memo(help, s.tag)->parent()->children();
        EXPECT_EQ(siblings.last(), memo(help, s.tag));
    }
}

TEST_F(HelpWindow, SectionButtonsSitWhereTheyShould)
{
    Thelp help(&mainWindow);
    const struct
    {
        const char *name;
        const char *caption;
        int tag, top;
    } buttons[] = {{"SelButton1", "Overview", 1, 8},     {"SelButton3", "Game Play", 3, 32},
                   {"SelButton4", "Scoring", 4, 56},     {"SelButton5", "Documentation", 5, 80},
                   {"SelButton6", "License", 6, 104},    {"button_about", "About", 10, 152}};
    for (const auto &b : buttons) {
        SCOPED_TRACE(b.name);
        TSelButton *w = button(help, b.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->caption(), QString::fromLatin1(b.caption));
        EXPECT_EQ(w->property("Tag").toInt(), b.tag);
        EXPECT_EQ(w->geometry(), QRect(7, b.top, 122, 20));
        EXPECT_EQ(w->alignment(), TSelButton::Left);
        EXPECT_EQ(w->parent()->objectName(), QStringLiteral("panel_side"));
    }
    EXPECT_EQ(button(help, "button_done")->geometry(), QRect(18, 404, 95, 20));
}

TEST_F(HelpWindow, TextsAreReadOnlyAndScoringLinesIndentedByTwoBlanks)
{
    Thelp help(&mainWindow);
    for (int tag : {1, 3, 4, 5, 6}) {
        QTextEdit *m = memo(help, tag);
        ASSERT_NE(m, nullptr);
        EXPECT_TRUE(m->isReadOnly());
        EXPECT_FALSE(m->focusPolicy() & Qt::TabFocus) << "memo" << tag;
    }
    const QTextDocument *scoring = memo(help, 4)->document();
    ASSERT_EQ(scoring->blockCount(), 12);
    EXPECT_EQ(scoring->findBlockByNumber(2).text(), QStringLiteral("You receive points as follows"));
    EXPECT_EQ(scoring->findBlockByNumber(4).text(), QStringLiteral("  10 - Line"));
    for (int i = 4; i < 12; ++i) {
        const QString line = scoring->findBlockByNumber(i).text();
        EXPECT_TRUE(line.startsWith(QLatin1String("  ")) && line.at(2) != QLatin1Char(' ')) << i;
    }
    EXPECT_EQ(scoring->findBlockByNumber(11).text(),
              QStringLiteral("  100 - Blackout - covering the whole card"));
    const QTextDocument *history = memo(help, 5)->document();
    EXPECT_EQ(history->findBlockByNumber(2).text(), QStringLiteral("July 31, 2013 - Version 1.0.2.2"));
}

// The licence section shows the game's real licence: every paragraph of the
// LICENSE file at the top of the tree, apart from its title line.
TEST_F(HelpWindow, LicenceSectionFollowsTheLicenseFile)
{
    QFile file(QStringLiteral(BALLWICK_SOURCE_DIR "/LICENSE"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList paragraphs =
        QString::fromUtf8(file.readAll()).split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
    ASSERT_GT(paragraphs.size(), 1);

    Thelp help(&mainWindow);
    const QString shown = memo(help, 6)->toPlainText();
    for (qsizetype i = 1; i < paragraphs.size(); ++i) {
        const QString p = paragraphs.at(i).simplified();
        if (!p.isEmpty()) {
            EXPECT_TRUE(shown.contains(p)) << p.toStdString();
        }
    }
}

TEST_F(HelpWindow, AboutButtonShowsTheAboutWindowAndBothStayOpen)
{
    Tabout about(&mainWindow, links);
    Thelp help(&mainWindow);
    help.show();
    EXPECT_FALSE(about.isVisible());

    // Without being told, the help window finds the program's about window.
    click(button(help, "button_about"));
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(help.isVisible());

    about.hide();
    Tabout other(&mainWindow, links);
    help.setAboutWindow(&other);
    click(button(help, "button_about"));
    EXPECT_TRUE(other.isVisible());
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(help.isVisible());
}

TEST_F(HelpWindow, YearLabelHoldsTheCurrentYear)
{
    Thelp help(&mainWindow);
    const auto *year = help.findChild<QLabel *>(QStringLiteral("label_year"));
    ASSERT_NE(year, nullptr);
    EXPECT_EQ(year->text(), QString::number(QDate::currentDate().year()));
}

TEST_F(HelpWindow, ResizingKeepsTheSidePanelWidthAndItsFootAtTheBottom)
{
    Thelp help(&mainWindow);
    help.show();
    // The design size, widened only as far as the stored lines need.
    EXPECT_EQ(help.size(), help.defaultSize());
    EXPECT_EQ(help.height(), 431);
    EXPECT_GE(help.width(), 523);
    auto *side = help.findChild<TFlatPanel *>(QStringLiteral("panel_side"));
    auto *main = help.findChild<TFlatPanel *>(QStringLiteral("panel_main"));
    ASSERT_TRUE(side && main);

    help.resize(800, 600);
    EXPECT_EQ(side->geometry(), QRect(0, 0, 137, 600));
    EXPECT_EQ(main->geometry(), QRect(137, 0, 663, 600));
    EXPECT_EQ(memo(help, 1)->geometry(), QRect(0, 20, 663, 580));
    EXPECT_EQ(button(help, "button_done")->geometry(), QRect(18, 404 + 169, 95, 20));

    help.resize(help.minimumSize());
    const QRect about = button(help, "button_about")->geometry();
    for (const char *name : {"label_credit1", "label_year", "button_done"}) {
        const auto *w = help.findChild<QWidget *>(QString::fromLatin1(name));
        EXPECT_GT(w->y(), about.bottom()) << name;
        EXPECT_LE(w->geometry().bottom(), side->height()) << name;
    }
}

namespace {

// How many lines the stored line number index of a section takes on screen,
// laid out at the memo's present width.
int shownLines(QTextEdit *memo, int index)
{
    QTextBlock block = memo->document()->findBlockByNumber(index);
    memo->document()->documentLayout()->blockBoundingRect(block); // lays it out
    return block.layout()->lineCount();
}

} // namespace

TEST_F(HelpWindow, AtTheDefaultSizeEveryStoredLineStandsOnOneLine)
{
    Thelp help(&mainWindow);
    help.show();
    for (const char *name : {"SelButton1", "SelButton3", "SelButton4", "SelButton5"}) {
        click(button(help, name));
        QTextEdit *text = memo(help, button(help, name)->property("Tag").toInt());
        ASSERT_TRUE(text->isVisible());
        const QStringList lines = Thelp::sectionLines(button(help, name)->property("Tag").toInt());
        const QFontMetrics fm(text->font());
        const int room = text->viewport()->width() - 2 * int(text->document()->documentMargin());
        for (int i = 0; i < lines.size(); ++i) {
            EXPECT_LE(fm.horizontalAdvance(lines.at(i)), room) << lines.at(i).toStdString();
            EXPECT_EQ(shownLines(text, i), 1) << lines.at(i).toStdString();
        }
    }

    // A narrower window wraps the long lines as paragraphs: the same blocks,
    // more lines each.
    click(button(help, "SelButton1"));
    help.resize(help.minimumSize().width() + 40, help.height());
    QTextEdit *overview = memo(help, 1);
    EXPECT_EQ(overview->document()->blockCount(), Thelp::sectionLines(1).size());
    EXPECT_GT(shownLines(overview, 2), 1);
}

TEST_F(HelpWindow, CreditsNameTheMakerOfTheGreeting)
{
    Thelp help(&mainWindow);
    EXPECT_EQ(help.findChild<QLabel *>(QStringLiteral("label_credit2"))->text(),
              QStringLiteral("by Quendra Software"));
}

TEST_F(HelpWindow, CentredOverTheMainWindowOnlyTheFirstTime)
{
    Thelp help(&mainWindow);
    help.show();
    const QPoint offset = help.frameGeometry().center() - mainWindow.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 40);

    help.move(30, 40);
    help.close(); // the close box hides it
    EXPECT_FALSE(help.isVisible());
    help.show();
    EXPECT_EQ(help.pos(), QPoint(30, 40));
}

TEST_F(HelpWindow, StaysOnTheScreenWhenTheMainWindowHangsOverItsEdge)
{
    mainWindow.move(-500, 300);
    Thelp help(&mainWindow);
    help.show();
    const QRect screen = help.screen()->availableGeometry();
    EXPECT_GE(help.frameGeometry().left(), screen.left());
    EXPECT_GE(help.frameGeometry().top(), screen.top());
    EXPECT_LE(help.frameGeometry().bottom(), screen.bottom());
}

TEST_F(HelpWindow, CopiesTheMainWindowsTileAndColour)
{
    // As in the program's main window: on its client area.
    auto *client = new QWidget(&mainWindow);
    auto *mainBackground = new TLbBackground(client);
    mainBackground->setObjectName(QStringLiteral("LbBackground1"));
    QPixmap tile(10, 7);
    tile.fill(Qt::darkCyan);
    mainBackground->setImage(tile);

    Thelp help(&mainWindow);
    const auto *own = help.findChild<TLbBackground *>(QStringLiteral("LbBackground1"));
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(own->enabled());
    EXPECT_EQ(own->image().toImage(), tile.toImage());
    EXPECT_EQ(help.palette().color(QPalette::Window), QColor(0xE8, 0xE3, 0xC5));

    // A later change to the main window's tile is not followed.
    tile.fill(Qt::red);
    mainBackground->setImage(tile);
    EXPECT_NE(own->image().toImage(), tile.toImage());
}

TEST(ScreenAddress, SchemeDecidesTheLinkType)
{
    RecordingLinks links;
    TURL url(links);
    ballwick::screens::setAddress(&url, QStringLiteral("http://www.example.com/"));
    EXPECT_EQ(url.URLType(), utHttp);
    EXPECT_EQ(url.URL(), QStringLiteral("www.example.com/"));
    ballwick::screens::setAddress(&url, QStringLiteral("HTTPS://secure.example.org/a?b=1"));
    EXPECT_EQ(url.address(), QStringLiteral("https://secure.example.org/a?b=1"));
    ballwick::screens::setAddress(&url, QStringLiteral("mailto:someone@example.com"));
    EXPECT_EQ(url.URLType(), utnone);
    EXPECT_EQ(url.address(), QStringLiteral("mailto:someone@example.com"));
    EXPECT_EQ(ballwick::screens::displayAddress(QStringLiteral("http://www.example.com/")),
              QStringLiteral("www.example.com"));
}
