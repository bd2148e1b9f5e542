#include <QDate>
#include <QLabel>

#include <ballwick_config.h>

#include "screens/tabout.h"
#include "screentest.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"

using AboutWindow = ScreenTest;

namespace {
QLabel *label(const QWidget &w, const char *name)
{
    return w.findChild<QLabel *>(QString::fromLatin1(name));
}
} // namespace

TEST_F(AboutWindow, ReadsVersionOneZeroTwoTwoWhileTheVersionLabelHoldsOneZeroTwo)
{
    Tabout about(&mainWindow);
    about.show();
    QLabel *version = label(about, "version");
    ASSERT_NE(version, nullptr);
    // The update check compares the server's text with exactly this.
    EXPECT_EQ(version->text(), QStringLiteral("1.0.2"));
    EXPECT_EQ(about.versionText(), QStringLiteral("1.0.2"));

    QLabel *word = label(about, "Label1"), *build = label(about, "Label9");
    ASSERT_TRUE(word && build);
    EXPECT_EQ(word->text(), QStringLiteral("Version"));
    EXPECT_EQ(version->text() + build->text(), QStringLiteral(BALLWICK_VERSION_FULL));
    EXPECT_EQ(version->text() + build->text(), QStringLiteral("1.0.2.2"));
    // Side by side on one line, left to right, not overlapping.
    EXPECT_EQ(word->y(), version->y());
    EXPECT_EQ(version->y(), build->y());
    EXPECT_EQ(version->x(), 96);
    EXPECT_GE(build->x(), 123);
    EXPECT_LE(word->x() + word->fontMetrics().horizontalAdvance(word->text()), version->x());
    EXPECT_LE(version->x() + version->fontMetrics().horizontalAdvance(version->text()), build->x());
    EXPECT_EQ(version->palette().color(QPalette::WindowText), QColor(Qt::red));
}

TEST_F(AboutWindow, WebAddressOpensTheMakersSite)
{
    Tabout about(&mainWindow);
    about.show();
    QLabel *link = label(about, "Label7");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    click(link);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first(), QUrl(QStringLiteral(BALLWICK_SITE_URL)));
    // Written without its scheme; the opener puts "http://" in front.
    EXPECT_EQ(about.URL1()->URLType(), utHttp);
    EXPECT_FALSE(about.URL1()->URL().startsWith(QLatin1String("http")));

    // Pressing on the link and letting go elsewhere opens nothing.
    QTest::mousePress(link, Qt::LeftButton, Qt::NoModifier, link->rect().center());
    QTest::mouseRelease(link, Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));
    EXPECT_EQ(opened.size(), 1);
}

TEST_F(AboutWindow, FixedDialogThatDoneAndTheCloseBoxOnlyHide)
{
    Tabout about(&mainWindow);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Ballwick - About"));
    EXPECT_EQ(about.minimumSize(), QSize(304, 193));
    EXPECT_EQ(about.maximumSize(), QSize(304, 193));
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(label(about, "label_year")->text(), QString::number(QDate::currentDate().year()));

    QPointer<Tabout> alive(&about);
    about.show();
    click(about.findChild<TSelButton *>(QStringLiteral("button_done")));
    EXPECT_FALSE(about.isVisible());
    about.show();
    about.close();
    EXPECT_FALSE(about.isVisible());
    EXPECT_FALSE(alive.isNull());
}

TEST_F(AboutWindow, TakesTheGamesTileWhenTheMainWindowHasNone)
{
    const QPixmap gameTile(QStringLiteral(":/images/tile.png"));
    if (gameTile.isNull())
        GTEST_SKIP() << "the game's pictures are not linked in";
    Tabout about(&mainWindow);
    const auto *own = about.findChild<TLbBackground *>(QStringLiteral("LbBackground1"));
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->image().toImage(), gameTile.toImage());
}
