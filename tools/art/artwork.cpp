#include "artwork.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>

namespace art {

using namespace colors;

QFont font(qreal pixelSize, int weight, const QString &family)
{
    QFont f(family);
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setWeight(QFont::Weight(weight));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// Font with a fractional pixel size (point sizes in Qt may be fractional).
QFont fontF(qreal pixelSize, int weight, const QString &family)
{
    QFont f = font(pixelSize, weight, family);
    f.setPointSizeF(pixelSize * 0.75); // at 96 dpi, 1 px = 0.75 pt
    return f;
}

// Capital letters and digits centred optically (by cap height) in a box.
void capsText(QPainter &p, const QRectF &box, const QString &text, const QFont &f, const QColor &color,
              Qt::Alignment h)
{
    const QFontMetricsF fm(f);
    const qreal w = fm.horizontalAdvance(text);
    qreal x = box.center().x() - w / 2;
    if (h & Qt::AlignLeft)
        x = box.left();
    else if (h & Qt::AlignRight)
        x = box.right() - w;
    const qreal baseline = box.center().y() + fm.capHeight() / 2;
    p.save();
    p.setFont(f);
    p.setPen(color);
    p.drawText(QPointF(x, baseline), text);
    p.restore();
}

void capsTextShadow(QPainter &p, const QRectF &box, const QString &text, const QFont &f, const QColor &color,
                    const QColor &shadow, qreal off, Qt::Alignment h)
{
    capsText(p, box.translated(off, off), text, f, shadow, h);
    capsText(p, box, text, f, color, h);
}

static QPainterPath roundedRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

// A glossy purple plate: the frame of the counter, the buttons and headers.
void purplePlate(QPainter &p, const QRectF &r, qreal radius, const QColor &top, const QColor &bottom,
                 const QColor &rim, bool gloss)
{
    p.save();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    const QPainterPath body = roundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius);
    p.setPen(QPen(rim, 1));
    p.setBrush(g);
    p.drawPath(body);
    if (gloss) {
        const QRectF upper(r.left() + 1.5, r.top() + 1.5, r.width() - 3, r.height() * 0.48);
        QLinearGradient s(upper.topLeft(), upper.bottomLeft());
        s.setColorAt(0, QColor(255, 255, 255, 90));
        s.setColorAt(1, QColor(255, 255, 255, 18));
        p.setPen(Qt::NoPen);
        p.setBrush(s);
        p.drawPath(roundedRect(upper, qMax<qreal>(0, radius - 1.5)));
    }
    p.restore();
}

QColor columnColor(int column)
{
    static const std::array<QColor, 5> c{QColor(0x2F, 0x6F, 0xD0), QColor(0xD8, 0x35, 0x3A),
                                         QColor(0x8E, 0x8E, 0x98), QColor(0x2E, 0xA0, 0x4E),
                                         QColor(0xF0, 0x9A, 0x1C)};
    return c[static_cast<size_t>(qBound(0, column, 4))];
}

void paintBoardCell(QPainter &p, QRectF cell)
{
    p.save();
    p.fillRect(cell, QColor(0x4A, 0x21, 0x50));
    const QPointF c = cell.center();
    const qreal r = cell.width() * 0.46;
    // A recessed socket where the ball sits: dark at the top, a lit rim below.
    QLinearGradient rim(c.x(), c.y() - r, c.x(), c.y() + r);
    rim.setColorAt(0, QColor(0x26, 0x0C, 0x2A));
    rim.setColorAt(1, QColor(0x7A, 0x4A, 0x80));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(c, r, r);
    QRadialGradient hole(c.x(), c.y() - r * 0.3, r);
    hole.setColorAt(0, QColor(0x35, 0x14, 0x3A));
    hole.setColorAt(1, QColor(0x45, 0x1D, 0x4B));
    p.setBrush(hole);
    p.drawEllipse(c, r - cell.width() * 0.04, r - cell.width() * 0.04);
    p.restore();
}

namespace {

void sphere(QPainter &p, QPointF c, qreal r, const QColor &light, const QColor &mid, const QColor &dark,
            const QColor &edge)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Soft shadow under the ball.
    QRadialGradient sh(c.x() + r * 0.08, c.y() + r * 0.12, r * 1.05);
    sh.setColorAt(0.8, QColor(0, 0, 0, 90));
    sh.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sh);
    p.drawEllipse(QPointF(c.x() + r * 0.08, c.y() + r * 0.12), r * 1.05, r * 1.05);

    QRadialGradient g(c, r, QPointF(c.x() - r * 0.35, c.y() - r * 0.42));
    g.setColorAt(0, light);
    g.setColorAt(0.45, mid);
    g.setColorAt(0.92, dark);
    g.setColorAt(1, edge);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    // Reflected light along the lower rim.
    QRadialGradient rim(c.x(), c.y() + r * 0.55, r * 0.7);
    rim.setColorAt(0, QColor(255, 255, 255, 50));
    rim.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(rim);
    p.drawEllipse(c, r, r);
    p.restore();
}

void specular(QPainter &p, QPointF c, qreal r, int alpha = 220)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF h(c.x() - r * 0.38, c.y() - r * 0.5);
    QRadialGradient g(h, r * 0.36);
    g.setColorAt(0, QColor(255, 255, 255, alpha));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.translate(h);
    p.rotate(-35);
    p.drawEllipse(QPointF(0, 0), r * 0.36, r * 0.22);
    p.restore();
}

} // namespace

void paintSilverBall(QPainter &p, QPointF c, qreal r)
{
    sphere(p, c, r, QColor(0xFF, 0xFF, 0xFF), QColor(0xDD, 0xE1, 0xE7), QColor(0x8A, 0x92, 0x9E),
           QColor(0x5A, 0x60, 0x6B));
    specular(p, c, r);
}

void paintHiddenBall(QPainter &p, QPointF c, qreal r)
{
    sphere(p, c, r, QColor(0xC4, 0x88, 0xCC), QColor(0x74, 0x32, 0x7C), QColor(0x33, 0x0D, 0x39),
           QColor(0x1E, 0x06, 0x22));
    specular(p, c, r, 190);
}

void paintNumberBall(QPainter &p, QRectF cell, int number)
{
    const int column = (number - 1) / 15;
    const QPointF c = cell.center();
    const qreal s = cell.width() / 40.0;
    const qreal r = 18.6 * s;
    paintSilverBall(p, c, r);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // The white face of the ball with a ring in its column's colour.
    const qreal face = 13.2 * s;
    p.setPen(QPen(columnColor(column), 2.2 * s));
    p.setBrush(QColor(0xFD, 0xFD, 0xFB));
    p.drawEllipse(c, face, face);
    const QString letter = QString(QLatin1Char("BINGO"[column]));
    capsText(p, QRectF(c.x() - face, c.y() - 8.6 * s, 2 * face, 5 * s), letter, fontF(7.4 * s),
             columnColor(column).darker(125));
    const QString digits = QString::number(number);
    capsText(p, QRectF(c.x() - face, c.y() - 0.4 * s, 2 * face, 8 * s), digits,
             fontF((number >= 10 ? 11.6 : 12.6) * s, QFont::Black), QColor(0x22, 0x1A, 0x26));
    p.restore();
    specular(p, c, r, 110);
}

void paintThiefFace(QPainter &p, QPointF c, qreal R, bool onBall)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    // Head.
    QRadialGradient skin(c, R, QPointF(c.x() - R * 0.3, c.y() - R * 0.35));
    skin.setColorAt(0, QColor(0xFF, 0xDF, 0xBD));
    skin.setColorAt(0.7, QColor(0xEE, 0xB0, 0x80));
    skin.setColorAt(1, QColor(0xB8, 0x72, 0x4A));
    p.setBrush(skin);
    if (onBall) {
        p.setPen(QPen(QColor(0x57, 0x26, 0x5B), R * 0.1));
    }
    p.drawEllipse(c, R, R);
    p.setPen(Qt::NoPen);

    QPainterPath clip;
    clip.addEllipse(c, R, R);
    p.setClipPath(clip);

    // Stubble on the chin.
    p.setBrush(QColor(0x6B, 0x4A, 0x3A, 45));
    static const std::array<QPointF, 14> dots{QPointF(-0.5, 0.55), QPointF(-0.3, 0.72), QPointF(-0.1, 0.8),
                                              QPointF(0.12, 0.78), QPointF(0.33, 0.7), QPointF(0.52, 0.52),
                                              QPointF(-0.4, 0.4), QPointF(0.42, 0.42), QPointF(-0.2, 0.62),
                                              QPointF(0.22, 0.6), QPointF(0.0, 0.92), QPointF(-0.62, 0.34),
                                              QPointF(0.62, 0.32), QPointF(0.02, 0.68)};
    for (const QPointF &d : dots)
        p.drawEllipse(QPointF(c.x() + d.x() * R, c.y() + d.y() * R), R * 0.028, R * 0.028);

    // Cap pulled down over the brow.
    QPainterPath cap;
    cap.moveTo(c.x() - R * 1.1, c.y() - R * 0.56);
    cap.cubicTo(c.x() - R * 0.9, c.y() - R * 1.4, c.x() + R * 0.9, c.y() - R * 1.4, c.x() + R * 1.1,
                c.y() - R * 0.56);
    cap.cubicTo(c.x() + R * 0.4, c.y() - R * 0.72, c.x() - R * 0.4, c.y() - R * 0.72, c.x() - R * 1.1,
                c.y() - R * 0.56);
    QLinearGradient capG(c.x(), c.y() - R, c.x(), c.y() - R * 0.55);
    capG.setColorAt(0, QColor(0x55, 0x55, 0x66));
    capG.setColorAt(1, QColor(0x22, 0x22, 0x2C));
    p.setBrush(capG);
    p.drawPath(cap);
    p.setPen(QPen(QColor(0x0E, 0x0E, 0x14), R * 0.05));
    p.setBrush(Qt::NoBrush);
    QPainterPath brim;
    brim.moveTo(c.x() - R * 1.05, c.y() - R * 0.58);
    brim.cubicTo(c.x() - R * 0.4, c.y() - R * 0.74, c.x() + R * 0.4, c.y() - R * 0.74, c.x() + R * 1.05,
                 c.y() - R * 0.58);
    p.drawPath(brim);
    p.setPen(Qt::NoPen);

    // The bandit's mask with its two eye holes.
    QPainterPath mask;
    mask.moveTo(c.x() - R * 1.05, c.y() - R * 0.24);
    mask.cubicTo(c.x() - R * 0.5, c.y() - R * 0.34, c.x() + R * 0.5, c.y() - R * 0.34, c.x() + R * 1.05,
                 c.y() - R * 0.24);
    mask.lineTo(c.x() + R * 1.05, c.y() + R * 0.02);
    mask.cubicTo(c.x() + R * 0.5, c.y() + R * 0.12, c.x() + R * 0.2, c.y() + R * 0.02, c.x(), c.y() + R * 0.0);
    mask.cubicTo(c.x() - R * 0.2, c.y() + R * 0.02, c.x() - R * 0.5, c.y() + R * 0.12, c.x() - R * 1.05,
                 c.y() + R * 0.02);
    mask.closeSubpath();
    p.setBrush(QColor(0x16, 0x14, 0x1C));
    p.drawPath(mask);

    for (int side : {-1, 1}) {
        const QPointF eye(c.x() + side * R * 0.38, c.y() - R * 0.14);
        p.setBrush(QColor(0xFF, 0xFF, 0xF6));
        p.drawEllipse(eye, R * 0.19, R * 0.12);
        // Shifty eyes, both looking to the side.
        p.setBrush(QColor(0x1A, 0x12, 0x10));
        p.drawEllipse(QPointF(eye.x() + R * 0.07, eye.y() + R * 0.01), R * 0.075, R * 0.075);
        // Angry brow slanting down towards the nose.
        p.setPen(QPen(QColor(0x3A, 0x20, 0x14), R * 0.12, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c.x() + side * R * 0.66, c.y() - R * 0.52),
                   QPointF(c.x() + side * R * 0.16, c.y() - R * 0.36));
        p.setPen(Qt::NoPen);
    }

    // Nose.
    QRadialGradient nose(QPointF(c.x() - R * 0.04, c.y() + R * 0.16), R * 0.2);
    nose.setColorAt(0, QColor(0xF6, 0xA0, 0x80));
    nose.setColorAt(1, QColor(0xC8, 0x78, 0x58));
    p.setBrush(nose);
    p.drawEllipse(QPointF(c.x(), c.y() + R * 0.18), R * 0.16, R * 0.13);

    // The frown.
    QPainterPath mouth;
    mouth.moveTo(c.x() - R * 0.4, c.y() + R * 0.64);
    mouth.quadTo(c.x(), c.y() + R * 0.3, c.x() + R * 0.4, c.y() + R * 0.64);
    p.setPen(QPen(QColor(0x5A, 0x1E, 0x1A), R * 0.1, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mouth);

    p.setClipping(false);
    if (!onBall) {
        p.setPen(QPen(QColor(0x3A, 0x1A, 0x10, 160), R * 0.05));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, R, R);
    }
    p.restore();
}

void paintBallPicture(QPainter &p, int index)
{
    const QRectF cell(0, 0, 40, 40);
    paintBoardCell(p, cell);
    const QPointF c = cell.center();
    if (index == 76) {
        paintHiddenBall(p, c, 18.0);
    } else if (index == 77) {
        paintSilverBall(p, c, 18.6);
        paintThiefFace(p, c, 13.4, true);
        specular(p, c, 18.6, 90);
    } else if (index >= 1 && index <= 75) {
        paintNumberBall(p, cell, index);
    }
}

void paintMoxPicture(QPainter &p, int index)
{
    const QRectF r(0, 0, 132, 55);
    p.setRenderHint(QPainter::Antialiasing);
    purplePlate(p, r, 9, QColor(0x6E, 0x33, 0x74), QColor(0x35, 0x12, 0x39), QColor(0x24, 0x08, 0x28));
    p.save();
    p.setPen(QPen(QColor(0xF2, 0xC1, 0x4E, 170), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(2.5, 2.5, -2.5, -2.5), 7, 7);
    p.restore();
    if (index == 0) {
        QLinearGradient g(0, 12, 0, 44);
        g.setColorAt(0, QColor(0xFF, 0xEE, 0x9A));
        g.setColorAt(0.5, QColor(0xF6, 0xC2, 0x3A));
        g.setColorAt(1, QColor(0xD0, 0x82, 0x10));
        QFont f = font(29, QFont::Black, QStringLiteral("DejaVu Sans"));
        f.setStretch(QFont::SemiCondensed);
        f.setLetterSpacing(QFont::AbsoluteSpacing, -0.5);
        QPainterPath path;
        path.addText(0, 0, f, QStringLiteral("Bingo Mox"));
        const QRectF b = path.boundingRect();
        const qreal scale = qMin(1.0, 116.0 / b.width());
        QTransform t;
        t.translate(66 - b.center().x() * scale, 27.5 - b.center().y() * scale);
        t.scale(scale, scale);
        const QPainterPath placed = t.map(path);
        p.save();
        p.translate(1.2, 1.8);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 120));
        p.drawPath(placed);
        p.restore();
        p.setPen(QPen(QColor(0x2A, 0x08, 0x2E), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(placed);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(placed);
        return;
    }
    // One, two or three faces; the places still to come are faint outlines.
    for (int i = 0; i < 3; ++i) {
        const QPointF c(27 + i * 39, 28);
        if (i < index) {
            paintThiefFace(p, c, 17.5, false);
        } else {
            p.save();
            p.setPen(QPen(QColor(255, 255, 255, 60), 1.2, Qt::DashLine));
            p.setBrush(QColor(0, 0, 0, 40));
            p.drawEllipse(c, 16, 16);
            capsText(p, QRectF(c.x() - 16, c.y() - 16, 32, 32), QStringLiteral("?"), font(16),
                     QColor(255, 255, 255, 60));
            p.restore();
        }
    }
}

namespace {

// Where the number labels of a card sit, relative to the card picture.
constexpr std::array<qreal, 6> cardColumnEdges{4, 44, 85, 124, 165, 205};
constexpr std::array<qreal, 6> cardRowEdges{42, 81, 120, 159, 198, 237};

void cardFrame(QPainter &p, QSizeF size, const QString &header, const QFont &headerFont, bool letters)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size.width(), size.height());
    // Body.
    QLinearGradient body(0, 0, 0, r.height());
    body.setColorAt(0, QColor(0xFF, 0xFE, 0xF8));
    body.setColorAt(1, QColor(0xF1, 0xEC, 0xDA));
    p.setPen(QPen(darkPurple, 1.5));
    p.setBrush(body);
    p.drawRoundedRect(r.adjusted(0.75, 0.75, -0.75, -0.75), 10, 10);
    // Header band.
    QPainterPath band;
    band.addRoundedRect(QRectF(2, 2, r.width() - 4, 60), 8.5, 8.5);
    QPainterPath cut;
    cut.addRect(QRectF(0, 0, r.width(), 40));
    band = band.intersected(cut);
    QLinearGradient hg(0, 2, 0, 40);
    hg.setColorAt(0, QColor(0x7E, 0x3C, 0x85));
    hg.setColorAt(1, QColor(0x4C, 0x1E, 0x51));
    p.setPen(Qt::NoPen);
    p.setBrush(hg);
    p.drawPath(band);
    QLinearGradient gloss(0, 2, 0, 20);
    gloss.setColorAt(0, QColor(255, 255, 255, 80));
    gloss.setColorAt(1, QColor(255, 255, 255, 10));
    p.setBrush(gloss);
    p.drawPath(band.intersected([&] {
        QPainterPath h;
        h.addRect(QRectF(0, 0, r.width(), 20));
        return h;
    }()));
    p.fillRect(QRectF(2, 39.5, r.width() - 4, 2), gold);
    if (letters) {
        for (int col = 0; col < 5; ++col) {
            const QRectF cell(cardColumnEdges[col], 4, cardColumnEdges[col + 1] - cardColumnEdges[col], 34);
            // A coloured disc behind each letter, like the balls of that column.
            const QPointF c = cell.center();
            QRadialGradient g(c, 14, QPointF(c.x() - 4, c.y() - 5));
            g.setColorAt(0, columnColor(col).lighter(150));
            g.setColorAt(1, columnColor(col).darker(115));
            p.setBrush(g);
            p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
            p.drawEllipse(c, 14.5, 14.5);
            capsTextShadow(p, cell, QString(QLatin1Char("BINGO"[col])), headerFont, Qt::white,
                           QColor(0, 0, 0, 110), 1);
        }
    } else {
        capsTextShadow(p, QRectF(0, 4, r.width(), 34), header, headerFont, Qt::white, QColor(0, 0, 0, 120), 1);
    }
}

} // namespace

void paintCard(QPainter &p)
{
    cardFrame(p, QSizeF(209, 241), QString(), font(21, QFont::Black), true);
    // Grid: alternate soft tints per column, the free centre marked with a star.
    for (int col = 0; col < 5; ++col) {
        for (int row = 0; row < 5; ++row) {
            const QRectF cell(cardColumnEdges[col], cardRowEdges[row], cardColumnEdges[col + 1] - cardColumnEdges[col],
                              cardRowEdges[row + 1] - cardRowEdges[row]);
            const bool tint = (col + row) % 2 == 1;
            p.fillRect(cell, tint ? QColor(0xF3, 0xEC, 0xF5) : QColor(0xFF, 0xFE, 0xFA));
        }
    }
    // The free centre: a soft gold star under its X.
    {
        const QRectF cell(cardColumnEdges[2], cardRowEdges[2], cardColumnEdges[3] - cardColumnEdges[2],
                          cardRowEdges[3] - cardRowEdges[2]);
        p.fillRect(cell, QColor(0xFD, 0xF2, 0xC8));
        QPainterPath star;
        const QPointF c = cell.center();
        for (int i = 0; i < 10; ++i) {
            const qreal a = -M_PI / 2 + i * M_PI / 5;
            const qreal rr = (i % 2 == 0) ? 16.5 : 7.0;
            const QPointF pt(c.x() + rr * std::cos(a), c.y() + 1 + rr * std::sin(a));
            if (i == 0)
                star.moveTo(pt);
            else
                star.lineTo(pt);
        }
        star.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xF2, 0xC1, 0x4E, 110));
        p.drawPath(star);
    }
    p.setPen(QPen(QColor(0xB9, 0xA9, 0xC2), 1));
    for (qreal x : cardColumnEdges)
        p.drawLine(QPointF(x + 0.5, cardRowEdges.front()), QPointF(x + 0.5, cardRowEdges.back()));
    for (qreal y : cardRowEdges)
        p.drawLine(QPointF(cardColumnEdges.front(), y + 0.5), QPointF(cardColumnEdges.back(), y + 0.5));
}

void paintScoring(QPainter &p)
{
    cardFrame(p, QSizeF(110, 241), QStringLiteral("SCORING"), font(16, QFont::Black), false);
    struct Row {
        const char *name;
        int points;
    };
    static const std::array<Row, 10> rows{Row{"Lines", 10},  Row{"Corners", 15}, Row{"Cross", 20},
                                          Row{"X", 20},       Row{"Square", 25},  Row{"T", 25},
                                          Row{"A", 25},       Row{"M", 25},       Row{"KUVO", 50},
                                          Row{"Blackout", 100}};
    const qreal top = 44, h = 19.3;
    for (size_t i = 0; i < rows.size(); ++i) {
        const QRectF row(4, top + i * h, 102, h);
        if (i % 2 == 1)
            p.fillRect(row, QColor(0xF1, 0xE8, 0xF3));
        capsText(p, row.adjusted(5, 0, 0, 0), QString::fromLatin1(rows[i].name), font(12, QFont::Bold),
                 QColor(0x3A, 0x22, 0x3E), Qt::AlignLeft);
        capsText(p, row.adjusted(0, 0, -5, 0), QString::number(rows[i].points), font(12.5, QFont::Black), purple,
                 Qt::AlignRight);
    }
}

void paintBigBall(QPainter &p, bool thief)
{
    const QPointF c(65, 58.5);
    const qreal r = 56;
    paintSilverBall(p, c, r);
    if (thief) {
        paintThiefFace(p, QPointF(c.x(), c.y() + 2), 40, true);
        specular(p, c, r, 100);
    }
}

void paintButton(QPainter &p, QSizeF size, const QString &words)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size.width(), size.height());
    // Drop shadow, then the glossy body.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2A, 0x10, 0x2E, 70));
    p.drawRoundedRect(r.adjusted(2, 3, -1, 0), 11, 11);
    purplePlate(p, r.adjusted(1, 1, -2, -3), 10, QColor(0x86, 0x45, 0x8D), QColor(0x45, 0x17, 0x4A),
                QColor(0x2A, 0x08, 0x2E));
    p.save();
    p.setPen(QPen(QColor(0xF2, 0xC1, 0x4E, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(3.5, 3.5, -4.5, -5.5), 8, 8);
    p.restore();
    QFont f = font(15, QFont::Black);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    const QFontMetricsF fm(f);
    while (fm.horizontalAdvance(words) > size.width() - 20 && f.pixelSize() > 8) {
        f.setPixelSize(f.pixelSize() - 1);
        if (QFontMetricsF(f).horizontalAdvance(words) <= size.width() - 20)
            break;
    }
    capsTextShadow(p, r.adjusted(0, 0, -1, -2), words, f, QColor(0xFF, 0xF8, 0xE6), QColor(0x1A, 0x02, 0x1E, 170),
                   1.2);
}

} // namespace art
