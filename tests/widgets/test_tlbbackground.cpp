#include "widgets/tlbbackground.h"
#include "widget_pixels.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

QPixmap patternTile(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(10 + x * 3, 20 + y * 3, 90));
    return QPixmap::fromImage(img);
}

bool coveredByTile(const QImage &img, int tw, int th)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != qRgb(10 + (x % tw) * 3, 20 + (y % th) * 3, 90))
                return false;
    return true;
}

// A window with painting of its own, drawn over the tile.
class PaintingWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(100, 100, 10, 10, Qt::red);
    }
};

QWidget *plainWindow(QWidget *w, QSize size)
{
    w->resize(size);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, QColor(0xE8, 0xE3, 0xC5));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
    return w;
}

} // namespace

TEST(TLbBackground, TileCoversTheWholeWindowAtAnySize)
{
    QWidget window;
    plainWindow(&window, QSize(250, 170));
    TLbBackground bg(&window);
    EXPECT_TRUE(bg.enabled());
    bg.setImage(patternTile(40, 30));
    window.show();
    // Sizes that are and are not multiples of the tile, and a large window.
    for (QSize s : {QSize(250, 170), QSize(240, 180), QSize(1283, 917)}) {
        window.resize(s);
        EXPECT_TRUE(coveredByTile(shot(&window), 40, 30)) << s.width() << "x" << s.height();
    }
}

TEST(TLbBackground, WindowsOwnPaintingRunsOverTheTile)
{
    PaintingWindow window;
    plainWindow(&window, QSize(200, 150));
    TLbBackground bg(&window);
    bg.setImage(patternTile(16, 16));
    window.show();
    const QImage img = shot(&window);
    EXPECT_EQ(pixel(img, 105, 105), QColor(Qt::red));
    EXPECT_EQ(img.pixel(5, 5), qRgb(10 + 5 * 3, 20 + 5 * 3, 90));
}

TEST(TLbBackground, DisabledEmptyOrDestroyedLeavesThePlainWindow)
{
    QWidget window;
    plainWindow(&window, QSize(120, 90));
    window.show();
    auto *bg = new TLbBackground(&window);
    // No picture: the window's colour.
    EXPECT_EQ(pixel(shot(&window), 60, 40), QColor(0xE8, 0xE3, 0xC5));
    bg->setImage(patternTile(8, 8));
    EXPECT_TRUE(coveredByTile(shot(&window), 8, 8));
    bg->setEnabled(false);
    EXPECT_EQ(pixel(shot(&window), 60, 40), QColor(0xE8, 0xE3, 0xC5));
    bg->setEnabled(true);
    EXPECT_TRUE(coveredByTile(shot(&window), 8, 8));
    delete bg;
    EXPECT_EQ(pixel(shot(&window), 60, 40), QColor(0xE8, 0xE3, 0xC5));
}

TEST(TLbBackground, HighResolutionTileStepsByItsLogicalSize)
{
    QWidget window;
    plainWindow(&window, QSize(100, 100));
    TLbBackground bg(&window);
    QPixmap big = patternTile(20, 20);
    big.setDevicePixelRatio(2); // 10 x 10 logical pixels
    bg.setImage(big);
    window.show();
    const QImage img = shot(&window);
    // The same place in neighbouring tiles looks the same.
    EXPECT_EQ(img.pixel(3, 3), img.pixel(13, 3));
    EXPECT_EQ(img.pixel(3, 3), img.pixel(93, 83));
    EXPECT_NE(img.pixel(3, 3), img.pixel(8, 3));
}
