#include "widgets/tflatpanel.h"
#include "widgets/tlbbackground.h"
#include "widget_pixels.h"

#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A tile whose every pixel tells where in the tile it is.
QPixmap patternTile(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(40 + x * 4, 30 + y * 5, 200));
    return QPixmap::fromImage(img);
}

QColor tileAt(int x, int y, int w, int h)
{
    return QColor(40 + (x % w) * 4, 30 + (y % h) * 5, 200);
}

// A window with the tile, a transparent panel at (13, 7) sized 300 x 200 and a
// transparent black-framed panel inside that one.
struct NestedPanels {
    QWidget window;
    TFlatPanel *outer = new TFlatPanel(&window);
    TFlatPanel *inner = new TFlatPanel(outer);

    explicit NestedPanels(const QRect &innerGeometry)
    {
        window.resize(400, 300);
        (new TLbBackground(&window))->setImage(patternTile(16, 12));
        outer->setGeometry(13, 7, 300, 200);
        outer->setTransparent(true);
        inner->setGeometry(innerGeometry);
        inner->setTransparent(true);
        inner->setFrameColor(Qt::black);
    }
};

} // namespace

TEST(TFlatPanel, NewPanelTakesItsSizeColourAndFontFromItsParent)
{
    QWidget window;
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(0xE8, 0xE3, 0xC5));
    window.setPalette(pal);
    QFont f = window.font();
    f.setPointSize(13);
    window.setFont(f);
    auto *panel = new TFlatPanel(&window);
    EXPECT_EQ(panel->size(), QSize(185, 41));
    EXPECT_EQ(panel->colorHighLight(), QColor(0xA0, 0x96, 0x83));
    EXPECT_EQ(panel->colorShadow(), QColor(0xA0, 0x96, 0x83));
    EXPECT_FALSE(panel->transparent());
    EXPECT_EQ(panel->alignment(), TFlatPanel::Center);
    EXPECT_EQ(panel->color(), QColor(0xE8, 0xE3, 0xC5));
    EXPECT_EQ(panel->font().pointSize(), 13);

    // Its own colour reaches the widgets placed on it.
    panel->setColor(Qt::black);
    auto *label = new QLabel(panel);
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(Qt::black));
}

TEST(TFlatPanel, FrameIsLightTopLeftAndDarkBottomRightOverTheFill)
{
    QWidget window;
    window.resize(300, 200);
    auto *panel = new TFlatPanel(&window);
    panel->setGeometry(10, 10, 100, 60);
    panel->setColorHighLight(Qt::red);
    panel->setColorShadow(Qt::blue);
    panel->setColor(Qt::green);
    window.show();
    const QImage img = shot(panel);
    EXPECT_EQ(pixel(img, 50, 0), QColor(Qt::red));
    EXPECT_EQ(pixel(img, 0, 30), QColor(Qt::red));
    EXPECT_EQ(pixel(img, 0, 0), QColor(Qt::red));
    EXPECT_EQ(pixel(img, 50, 59), QColor(Qt::blue));
    EXPECT_EQ(pixel(img, 99, 30), QColor(Qt::blue));
    EXPECT_EQ(pixel(img, 99, 59), QColor(Qt::blue));
    EXPECT_EQ(pixel(img, 1, 1), QColor(Qt::green));
    EXPECT_EQ(pixel(img, 98, 58), QColor(Qt::green));

    // One colour for both edges, as the overlays use.
    panel->setFrameColor(QColor(0x42, 0x1D, 0x45));
    const QImage framed = shot(panel);
    EXPECT_EQ(pixel(framed, 50, 0), QColor(0x42, 0x1D, 0x45));
    EXPECT_EQ(pixel(framed, 99, 30), QColor(0x42, 0x1D, 0x45));
}

TEST(TFlatPanel, TransparentPanelShowsTheWindowTileAndItsOwnChildren)
{
    // Outer panel as the main window has it, an inner transparent panel in it,
    // and an opaque label on the inner one.
    NestedPanels nested(QRect(21, 33, 120, 90));
    QWidget &window = nested.window;
    TFlatPanel *outer = nested.outer, *inner = nested.inner;
    outer->setColor(Qt::green);
    auto *label = new QLabel(inner);
    label->setGeometry(50, 40, 20, 10);
    label->setAutoFillBackground(true);
    QPalette lp = label->palette();
    lp.setColor(QPalette::Window, Qt::yellow);
    label->setPalette(lp);
    window.show();

    const QImage outerShot = shot(outer);
    EXPECT_EQ(pixel(outerShot, 5, 5), tileAt(13 + 5, 7 + 5, 16, 12));
    EXPECT_EQ(pixel(outerShot, 250, 150), tileAt(13 + 250, 7 + 150, 16, 12));

    const QImage innerShot = shot(inner);
    EXPECT_EQ(pixel(innerShot, 0, 10), QColor(Qt::black));
    for (QPoint p : {QPoint(1, 1), QPoint(7, 9), QPoint(118, 88)})
        EXPECT_EQ(pixel(innerShot, p.x(), p.y()), tileAt(13 + 21 + p.x(), 7 + 33 + p.y(), 16, 12))
            << p.x() << "," << p.y();
    EXPECT_EQ(pixel(innerShot, 55, 45), QColor(Qt::yellow));

    // The whole window as the player sees it.
    const QImage all = shot(&window);
    EXPECT_EQ(pixel(all, 13 + 21 + 7, 7 + 33 + 9), tileAt(13 + 21 + 7, 7 + 33 + 9, 16, 12));
    EXPECT_EQ(pixel(all, 13 + 21 + 55, 7 + 33 + 45), QColor(Qt::yellow));

    // Not transparent: its fill, not the tile.
    outer->setTransparent(false);
    EXPECT_EQ(pixel(shot(outer), 5, 5), QColor(Qt::green));
}

TEST(TFlatPanel, PartOfANestedTransparentPanelRepaintsAsTheWhole)
{
    // What the window shows after a panel repaints a part of itself is what it
    // showed after the full paint: the part's tile, the outer panel's caption
    // and frame under it all keep their places.
    NestedPanels nested(QRect(21, 33, 260, 150));
    QWidget &window = nested.window;
    TFlatPanel *outer = nested.outer, *inner = nested.inner;
    outer->setFrameColor(Qt::red);
    outer->setFontColor(Qt::white);
    outer->setCaption(QStringLiteral("under the inner panel"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QScreen *screen = window.screen();
    const QImage whole = screen->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(containsNear(whole, Qt::white, 10)); // the caption shows through

    for (const QRect part : {QRect(5, 5, 30, 20), QRect(100, 60, 70, 30), QRect(250, 140, 40, 40)}) {
        inner->repaint(part);
        const QImage now = screen->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(now, whole) << part.x() << "," << part.y();
    }
    outer->repaint(QRect(40, 50, 200, 100));
    EXPECT_EQ(screen->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32), whole);
}

TEST(TFlatPanel, PanelReachingPastItsParentIsClippedToIt)
{
    QWidget window;
    window.resize(100, 80);
    auto *bg = new TLbBackground(&window);
    bg->setImage(patternTile(10, 10));
    auto *panel = new TFlatPanel(&window);
    panel->setGeometry(60, 50, 80, 60);
    panel->setTransparent(true);
    window.show();
    const QImage img = shot(panel);
    EXPECT_EQ(pixel(img, 5, 5), tileAt(65, 55, 10, 10));
}

TEST(TFlatPanel, CaptionAlignsAndIsEngravedWhenDisabled)
{
    QWidget window;
    window.resize(300, 100);
    auto *panel = new TFlatPanel(&window);
    panel->setGeometry(0, 0, 200, 40);
    panel->setColor(Qt::white);
    panel->setFrameColor(Qt::white);
    panel->setFontColor(Qt::blue);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Light, Qt::yellow);
    pal.setColor(QPalette::Dark, Qt::magenta);
    panel->setPalette(pal);
    QFont f = panel->font();
    f.setPixelSize(16);
    f.setStyleStrategy(QFont::NoAntialias);
    panel->setFont(f);
    panel->setCaption(QStringLiteral("Posting Score"));
    window.show();

    const QRect inside(1, 1, 198, 38);
    panel->setAlignment(TFlatPanel::Left);
    const QRect left = inkBox(shot(panel), inside, Qt::white);
    panel->setAlignment(TFlatPanel::Right);
    const QRect right = inkBox(shot(panel), inside, Qt::white);
    panel->setAlignment(TFlatPanel::Center);
    const QImage centred = shot(panel);
    const QRect centre = inkBox(centred, inside, Qt::white);
    ASSERT_FALSE(left.isEmpty());
    EXPECT_LE(left.left(), 4);
    EXPECT_GE(right.right(), 194);
    EXPECT_LE(std::abs((centre.left() + centre.right()) / 2 - 100), 3);
    EXPECT_LE(std::abs((centre.top() + centre.bottom()) / 2 - 20), 4);
    EXPECT_TRUE(contains(centred, Qt::blue));

    panel->setEnabled(false);
    const QImage engraved = shot(panel);
    EXPECT_FALSE(contains(engraved, Qt::blue));
    EXPECT_TRUE(contains(engraved, Qt::yellow));
    EXPECT_TRUE(contains(engraved, Qt::magenta));
    // The light copy lies one pixel right and down of the dark one.
    const QRect ink = inkBox(engraved, inside, Qt::white);
    EXPECT_EQ(ink.right(), centre.right() + 1);
    EXPECT_EQ(ink.bottom(), centre.bottom() + 1);
}
