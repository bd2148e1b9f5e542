#pragma once
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

// The pictures of the game, drawn with QPainter in logical pixels. Each picture
// is a size and a function that paints it; the writer renders it once at 1x and
// once at 2x (name@2x.png).
namespace art {

struct Picture {
    QString name;              // path below the output folder, without ".png"
    QSize size;                // logical size
    std::function<void(QPainter &)> paint;
    bool retina = true;        // also write name@2x.png
};

// Every picture, in a fixed order. siteHost is shown on the banner.
std::vector<Picture> allPictures(const QString &siteHost);

// Shared palette of the game's look.
namespace colors {
inline const QColor purple{0x57, 0x26, 0x5B};
inline const QColor darkPurple{0x42, 0x1D, 0x45};
inline const QColor lavender{0x91, 0x75, 0x9B};
inline const QColor cream{0xE8, 0xE3, 0xC5};
inline const QColor lightCream{0xF5, 0xF3, 0xE7};
inline const QColor gold{0xF2, 0xC1, 0x4E};
} // namespace colors

// Drawing pieces, also used to compose the quick-instructions picture.
void paintBoardCell(QPainter &p, QRectF cell);
void paintSilverBall(QPainter &p, QPointF centre, qreal radius);
void paintHiddenBall(QPainter &p, QPointF centre, qreal radius);
void paintNumberBall(QPainter &p, QRectF cell, int number);
void paintThiefFace(QPainter &p, QPointF centre, qreal radius, bool onBall);
void paintBallPicture(QPainter &p, int index);
void paintMoxPicture(QPainter &p, int index);
void paintCard(QPainter &p);
void paintScoring(QPainter &p);
void paintBigBall(QPainter &p, bool thief);
void paintButton(QPainter &p, QSizeF size, const QString &words);

QColor columnColor(int column); // 0..4 = B, I, N, G, O

// Helpers: fonts in pixels without hinting (the same shapes at 1x and 2x), text
// centred on its capital height, and the glossy purple plate of the game's look.
QFont font(qreal pixelSize, int weight = QFont::Bold, const QString &family = QStringLiteral("Liberation Sans"));
QFont fontF(qreal pixelSize, int weight = QFont::Bold, const QString &family = QStringLiteral("Liberation Sans"));
void capsText(QPainter &p, const QRectF &box, const QString &text, const QFont &f, const QColor &color,
              Qt::Alignment h = Qt::AlignHCenter);
void capsTextShadow(QPainter &p, const QRectF &box, const QString &text, const QFont &f, const QColor &color,
                    const QColor &shadow, qreal off, Qt::Alignment h = Qt::AlignHCenter);
void purplePlate(QPainter &p, const QRectF &r, qreal radius, const QColor &top, const QColor &bottom,
                 const QColor &rim, bool gloss = true);

} // namespace art
