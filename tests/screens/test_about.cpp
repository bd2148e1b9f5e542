#include <QApplication>
#include <QDate>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QtMath>

#include <ballwick_config.h>

#include "screens/tabout.h"
#include "screens/thelp.h"
#include "screens/tmultiplayer.h"
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
    Tabout about(&mainWindow, links);
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
    Tabout about(&mainWindow, links);
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
    Tabout about(&mainWindow, links);
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
    Tabout about(&mainWindow, links);
    const auto *own = about.findChild<TLbBackground *>(QStringLiteral("LbBackground1"));
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->image().toImage(), gameTile.toImage());
}

namespace {

// The rows and columns of a picture that hold anything opaque.
QRect opaqueArea(const QImage &image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128)
                area |= QRect(x, y, 1, 1);
    return area;
}

} // namespace

TEST_F(AboutWindow, LogoIsDrawnAtTheScreensPixelDensity)
{
    if (QPixmap(QStringLiteral(":/images/logo.png")).isNull())
        GTEST_SKIP() << "the game's pictures are not linked in";
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        const QPixmap logo = Tabout::logoPicture(QSize(211, 53), ratio);
        EXPECT_EQ(logo.devicePixelRatio(), ratio);
        EXPECT_EQ(logo.size(), QSize(qCeil(211 * ratio), qCeil(53 * ratio))) << ratio;
        // The ball fills the height of its place (not half of it in a corner),
        // and ball and name stand in the middle.
        const QRect drawn = opaqueArea(logo.toImage());
        EXPECT_GE(drawn.height(), int(0.85 * logo.height())) << ratio;
        EXPECT_NEAR(drawn.center().x(), logo.width() / 2, 4 * ratio) << ratio;
    }
}

TEST_F(AboutWindow, AtDoubleDensityTheLogoHasTwiceThePixels)
{
    if (qApp->devicePixelRatio() < 2)
        GTEST_SKIP() << "run with QT_SCALE_FACTOR=2";
    Tabout about(&mainWindow, links);
    about.show();
    const QPixmap logo = label(about, "Image1")->pixmap();
    EXPECT_EQ(logo.devicePixelRatio(), 2.0);
    EXPECT_EQ(logo.size(), QSize(422, 106));
    EXPECT_EQ(logo.deviceIndependentSize(), QSizeF(211, 53));
}

TEST_F(AboutWindow, CreditsNameTheMakerOfTheGreeting)
{
    Tabout about(&mainWindow, links);
    EXPECT_EQ(label(about, "Label3")->text(), QStringLiteral("made by Quendra Software"));
}

// Addresses, credits and the licence come from the build and from files: no
// label of the three windows reads its text as markup.
TEST_F(AboutWindow, NoLabelOfTheInformationWindowsReadsMarkup)
{
    Tabout about(&mainWindow, links);
    Thelp help(&mainWindow);
    Tmultiplayer multiplayer(&mainWindow, links);
    int seen = 0;
    for (const QWidget *window : {static_cast<QWidget *>(&about), static_cast<QWidget *>(&help),
                                  static_cast<QWidget *>(&multiplayer)}) {
        for (const QLabel *l : window->findChildren<QLabel *>()) {
            if (l->text().isEmpty() && l->objectName() != QLatin1String("label_year"))
                continue;
            ++seen;
            EXPECT_EQ(l->textFormat(), Qt::PlainText) << l->objectName().toStdString();
        }
    }
    EXPECT_GE(seen, 15);
}
