#pragma once
#include <QColor>
#include <cstdlib>
#include <QImage>
#include <QRect>
#include <QWidget>

// What a widget shows, as an image at 1x.
inline QImage shot(QWidget *w)
{
    QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    img.setDevicePixelRatio(1);
    return img;
}

inline QColor pixel(const QImage &img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

// The bounding box of the pixels inside `area` that differ from `background`.
inline QRect inkBox(const QImage &img, const QRect &area, const QColor &background)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (QColor(img.pixel(x, y)) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

inline bool contains(const QImage &img, const QColor &c)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, y)) == c)
                return true;
    return false;
}

// Whether any pixel is within `tolerance` of `c` in every channel (text is
// antialiased, so its colour shows fully only in the middle of its strokes).
inline bool containsNear(const QImage &img, const QColor &c, int tolerance = 40)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor p(img.pixel(x, y));
            if (std::abs(p.red() - c.red()) <= tolerance && std::abs(p.green() - c.green()) <= tolerance
                && std::abs(p.blue() - c.blue()) <= tolerance)
                return true;
        }
    return false;
}
