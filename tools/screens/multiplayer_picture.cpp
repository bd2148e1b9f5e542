// Draws the 400 x 300 picture of the multiplayer game shown in the multiplayer
// window and writes it as a JPEG, at twice the size for high-density screens
// when the scale 2 is given. Everything is fixed (no clock, no random source),
// so running it again gives the same picture:
//   ballwick-multiplayer-picture assets/screens/multiplayer.jpg
//   ballwick-multiplayer-picture assets/screens/multiplayer@2x.jpg 2
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <cstdlib>

#include "screens/jpegpicture.h"

namespace {

const QColor purple(0x57, 0x26, 0x5B);
const QColor cream(0xE8, 0xE3, 0xC5);
const QColor paper(0xF3, 0xEC, 0xCF);
const QColor daub(0xD2, 0x1E, 0x3C);

QFont font(int pixels, bool bold = true)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// A ball as on the solo board: a shaded disc with its letter and number.
void drawBall(QPainter &p, QPointF centre, qreal radius, const QColor &colour, const QString &text,
              int textPixels)
{
    QRadialGradient g(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    g.setColorAt(0, colour.lighter(170));
    g.setColorAt(0.5, colour);
    g.setColorAt(1, colour.darker(160));
    p.setPen(QPen(colour.darker(200), 1));
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, radius * 0.62, radius * 0.62);
    p.setPen(Qt::black);
    p.setFont(font(textPixels));
    p.drawText(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius),
               Qt::AlignCenter, text);
}

// One 5 x 5 card with its B I N G O heading; daubed cells carry a red disc.
void drawCard(QPainter &p, QRectF area, int firstOfColumn, quint32 daubMask, const QString &player)
{
    const qreal head = 16, cell = (area.height() - head - 14) / 5;
    const qreal width = cell * 5;
    const QRectF card(area.left(), area.top() + 14, width, head + cell * 5);
    p.setPen(QPen(purple.darker(130), 2));
    p.setBrush(paper);
    p.drawRoundedRect(card.adjusted(-2, -2, 2, 2), 4, 4);
    p.setPen(Qt::white);
    p.setFont(font(11));
    p.drawText(QRectF(area.left(), area.top(), width, 14), Qt::AlignCenter, player);
    p.fillRect(QRectF(card.left(), card.top(), width, head), purple);
    p.setFont(font(12));
    p.setPen(cream);
    static const char letters[] = "BINGO";
    for (int c = 0; c < 5; ++c)
        p.drawText(QRectF(card.left() + c * cell, card.top(), cell, head), Qt::AlignCenter,
                   QString(QLatin1Char(letters[c])));
    for (int c = 0; c < 5; ++c) {
        for (int r = 0; r < 5; ++r) {
            const QRectF box(card.left() + c * cell, card.top() + head + r * cell, cell, cell);
            p.setPen(QPen(QColor(0xA0, 0x96, 0x83), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(box);
            const bool free = c == 2 && r == 2;
            const int number = 15 * c + 1 + (firstOfColumn + 7 * r + 3 * c) % 15;
            const bool daubed = free || (daubMask >> (c * 5 + r)) & 1u;
            if (daubed) {
                p.setPen(Qt::NoPen);
                QColor d = daub;
                d.setAlpha(190);
                p.setBrush(d);
                p.drawEllipse(box.center(), cell * 0.38, cell * 0.38);
            }
            p.setPen(free ? Qt::white : QColor(0x30, 0x20, 0x30));
            p.setFont(font(free ? int(cell * 0.3) : int(cell * 0.45)));
            p.drawText(box, Qt::AlignCenter, free ? QStringLiteral("FREE") : QString::number(number));
        }
    }
}

QImage render(int scale)
{
    QImage img(400 * scale, 300 * scale, QImage::Format_RGB32);
    QPainter p(&img);
    p.scale(scale, scale); // drawn in the 400 x 300 picture's own pixels
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(0x3A, 0x14, 0x40));
    sky.setColorAt(1, QColor(0x7A, 0x3E, 0x80));
    p.fillRect(QRect(0, 0, 400, 300), sky);

    // Title bar.
    p.fillRect(QRect(0, 0, 400, 34), QColor(0x2A, 0x0C, 0x2E));
    p.setPen(QColor(0xFF, 0xD8, 0x4A));
    p.setFont(font(24));
    p.drawText(QRect(10, 0, 200, 34), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("DABFEST"));
    p.setPen(cream);
    p.setFont(font(12, false));
    p.drawText(QRect(150, 0, 240, 34), Qt::AlignVCenter | Qt::AlignRight,
               QStringLiteral("Multiplayer Bingo  -  Room 7  -  6 players"));

    // The caller: the ball just drawn and the ones before it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(QRectF(8, 42, 384, 54), 8, 8);
    drawBall(p, QPointF(40, 69), 23, QColor(0xE0, 0x40, 0x40), QStringLiteral("N 42"), 12);
    static const char *recent[] = {"G 51", "B 7", "O 68", "I 22", "N 38", "G 60", "B 12"};
    static const QColor shades[] = {QColor(0x40, 0x90, 0xE0), QColor(0x3A, 0xB0, 0x50),
                                    QColor(0xF0, 0xA0, 0x20), QColor(0x9A, 0x50, 0xD0)};
    for (int i = 0; i < 7; ++i)
        drawBall(p, QPointF(86 + i * 34, 69), 14, shades[i % 4], QString::fromLatin1(recent[i]), 9);
    p.setPen(cream);
    p.setFont(font(10, false));
    p.drawText(QRect(320, 48, 68, 42), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("Ball 23\nof 75"));

    // Three players' cards.
    drawCard(p, QRectF(10, 102, 120, 130), 3, 0x0108421u | 0x1000u, QStringLiteral("You"));
    drawCard(p, QRectF(140, 102, 120, 130), 9, 0x1F00000u | 0x42u, QStringLiteral("Marigold"));
    drawCard(p, QRectF(270, 102, 120, 130), 5, 0x0041041u | 0x100000u, QStringLiteral("Tobias"));

    // Scores and chat.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(QRectF(8, 240, 150, 54), 6, 6);
    p.drawRoundedRect(QRectF(166, 240, 226, 54), 6, 6);
    p.setFont(font(10));
    static const char *scores[] = {"Marigold  135", "You  120", "Tobias  95"};
    for (int i = 0; i < 3; ++i) {
        p.setPen(i == 1 ? QColor(0xFF, 0xD8, 0x4A) : cream);
        p.drawText(QRect(16, 244 + i * 16, 136, 16), Qt::AlignVCenter | Qt::AlignLeft,
                   QString::number(i + 1) + QStringLiteral(". ") + QString::fromLatin1(scores[i]));
    }
    p.setFont(font(10, false));
    static const char *chat[] = {"Marigold: one more for the cross!", "Tobias: watch out for Mox",
                                 "You: good luck, everyone"};
    for (int i = 0; i < 3; ++i) {
        p.setPen(i == 2 ? QColor(0xFF, 0xD8, 0x4A) : Qt::white);
        p.drawText(QRect(174, 244 + i * 16, 214, 16), Qt::AlignVCenter | Qt::AlignLeft,
                   QString::fromLatin1(chat[i]));
    }
    p.end();
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    // Drawing text needs a GUI application, but no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int scale = argc == 3 ? std::atoi(argv[2]) : 1;
    if ((argc != 2 && argc != 3) || scale < 1 || scale > 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg [1|2]\n", argv[0]);
        return 2;
    }
    QString error;
    const QByteArray jpeg = ballwick::encodeJpeg(render(scale), 88, &error);
    if (jpeg.isEmpty()) {
        std::fprintf(stderr, "encoding failed: %s\n", qPrintable(error));
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(jpeg) != jpeg.size() || !out.flush()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
