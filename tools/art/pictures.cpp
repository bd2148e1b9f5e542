// The pictures beyond the board and cards: background tile, logo, icon, banner,
// picture buttons and the annotated quick-instructions picture; and the list of
// everything the generator writes.
#include "artwork.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>

namespace art {

using namespace colors;

namespace {

void paintTile(QPainter &p)
{
    const qreal n = 80;
    p.fillRect(QRectF(0, 0, n, n), cream);
    p.setRenderHint(QPainter::Antialiasing);
    // A faint diamond lattice that repeats seamlessly every 40 pixels.
    p.setPen(QPen(QColor(0xDD, 0xD6, 0xB4), 1));
    for (int k = -4; k <= 4; ++k) {
        p.drawLine(QPointF(k * 40 - n, -n), QPointF(k * 40 + 2 * n, 2 * n));
        p.drawLine(QPointF(k * 40 + 2 * n, -n), QPointF(k * 40 - n, 2 * n));
    }
    // Small lighter dots in the middle of every diamond.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF2, 0xEE, 0xD8));
    for (int x = -1; x <= 2; ++x)
        for (int y = -1; y <= 2; ++y)
            for (const QPointF &o : {QPointF(20, 0), QPointF(0, 20)})
                p.drawEllipse(QPointF(x * 40 + o.x(), y * 40 + o.y()), 2.2, 2.2);
}

void paintLogoBall(QPainter &p, qreal size)
{
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 100.0;
    const QPointF c(50 * s, 50 * s);
    const qreal r = 46 * s;
    p.setPen(Qt::NoPen);
    QRadialGradient shadow(QPointF(c.x() + 2 * s, c.y() + 4 * s), r + 3 * s);
    shadow.setColorAt(0.85, QColor(0, 0, 0, 80));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setBrush(shadow);
    p.drawEllipse(QPointF(c.x() + 2 * s, c.y() + 3 * s), r + 3 * s, r + 3 * s);
    QRadialGradient g(c, r, QPointF(c.x() - r * 0.35, c.y() - r * 0.45));
    g.setColorAt(0, QColor(0xC0, 0x7C, 0xC8));
    g.setColorAt(0.45, QColor(0x7A, 0x32, 0x82));
    g.setColorAt(0.92, QColor(0x3A, 0x10, 0x40));
    g.setColorAt(1, QColor(0x24, 0x06, 0x2A));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    // The white face with a gold ring.
    const qreal face = 28 * s;
    p.setPen(QPen(gold, 4 * s));
    QRadialGradient fg(c, face, QPointF(c.x() - face * 0.3, c.y() - face * 0.3));
    fg.setColorAt(0, Qt::white);
    fg.setColorAt(1, QColor(0xEE, 0xE8, 0xF0));
    p.setBrush(fg);
    p.drawEllipse(c, face, face);
    QFont f = font(40 * s, QFont::Black, QStringLiteral("DejaVu Sans"));
    capsText(p, QRectF(c.x() - face, c.y() - face + 1 * s, 2 * face, 2 * face), QStringLiteral("B"), f, purple);
    // Highlight.
    const QPointF h(c.x() - r * 0.42, c.y() - r * 0.55);
    QRadialGradient hg(h, r * 0.34);
    hg.setColorAt(0, QColor(255, 255, 255, 200));
    hg.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(hg);
    p.save();
    p.translate(h);
    p.rotate(-35);
    p.drawEllipse(QPointF(0, 0), r * 0.34, r * 0.2);
    p.restore();
    // A few sparkles.
    auto sparkle = [&](QPointF at, qreal len) {
        QPainterPath star;
        star.moveTo(at.x(), at.y() - len);
        star.quadTo(at, QPointF(at.x() + len, at.y()));
        star.quadTo(at, QPointF(at.x(), at.y() + len));
        star.quadTo(at, QPointF(at.x() - len, at.y()));
        star.quadTo(at, QPointF(at.x(), at.y() - len));
        p.setBrush(QColor(0xFF, 0xF4, 0xC0));
        p.drawPath(star);
    };
    sparkle(QPointF(80 * s, 20 * s), 8 * s);
    sparkle(QPointF(88 * s, 34 * s), 4 * s);
}

void paintBanner(QPainter &p, const QString &host)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, 230, 22);
    purplePlate(p, r, 6, QColor(0x7A, 0x3C, 0x81), QColor(0x45, 0x17, 0x4A), QColor(0x2A, 0x08, 0x2E));
    capsTextShadow(p, r.adjusted(8, 0, 0, 0), QStringLiteral("Quendra Software"), font(12.5, QFont::Black),
                   lightCream, QColor(0, 0, 0, 120), 1, Qt::AlignLeft);
    capsTextShadow(p, r.adjusted(0, 0, -8, 0), host, font(11, QFont::Bold), gold, QColor(0, 0, 0, 120), 1,
                   Qt::AlignRight);
}

// A yellow note with a word-wrapped hint and an arrow to what it is about.
void callout(QPainter &p, const QRectF &box, const QString &text, const std::vector<QPointF> &arrowTo)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (const QPointF &target : arrowTo) {
        // Leave the note from the edge nearest the target.
        QPointF from = box.center();
        if (target.y() < box.top())
            from.setY(box.top());
        else if (target.y() > box.bottom())
            from.setY(box.bottom());
        else if (target.x() < box.left())
            from.setX(box.left());
        else
            from.setX(box.right());
        if (target.y() < box.top() || target.y() > box.bottom())
            from.setX(qBound(box.left() + 12, target.x(), box.right() - 12));
        const QLineF line(from, target);
        QPen pen(QColor(0xB0, 0x2A, 0x5A), 2.2, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(QLineF(from, line.pointAt(1 - 7.0 / line.length())));
        const qreal a = std::atan2(target.y() - from.y(), target.x() - from.x());
        QPainterPath head;
        head.moveTo(target);
        head.lineTo(target.x() - 9 * std::cos(a - 0.45), target.y() - 9 * std::sin(a - 0.45));
        head.lineTo(target.x() - 9 * std::cos(a + 0.45), target.y() - 9 * std::sin(a + 0.45));
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xB0, 0x2A, 0x5A));
        p.drawPath(head);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(box.translated(1.5, 2), 6, 6);
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, QColor(0xFF, 0xF9, 0xD8));
    g.setColorAt(1, QColor(0xFF, 0xEC, 0xA0));
    p.setPen(QPen(QColor(0xC9, 0x96, 0x1A), 1));
    p.setBrush(g);
    p.drawRoundedRect(box, 6, 6);
    p.setFont(font(12.5, QFont::Bold));
    p.setPen(QColor(0x3A, 0x18, 0x3E));
    p.drawText(box.adjusted(6, 2, -6, -2), Qt::AlignCenter | Qt::TextWordWrap, text);
    p.restore();
}

void miniDesign(QPainter &p, QPointF at, const char *cells, const QString &name)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal c = 8.4;
    p.setPen(QPen(QColor(0xB9, 0xA9, 0xC2), 0.8));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(at.x() - 2, at.y() - 2, 5 * c + 4, 5 * c + 4), 3, 3);
    for (int i = 0; i < 25; ++i) {
        const QRectF cell(at.x() + (i % 5) * c, at.y() + (i / 5) * c, c - 1, c - 1);
        p.setPen(Qt::NoPen);
        p.setBrush(cells[i] == '#' ? QColor(0xD8, 0x35, 0x3A) : QColor(0xEE, 0xE6, 0xF0));
        p.drawRoundedRect(cell, 1.5, 1.5);
    }
    capsText(p, QRectF(at.x() - 10, at.y() + 5 * c + 4, 5 * c + 20, 12), name, font(10.5), purple);
    p.restore();
}

void paintInstructions(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, 530, 433);
    // Background: the light card stock with a purple frame and title band.
    QLinearGradient bg(0, 0, 0, r.height());
    bg.setColorAt(0, QColor(0xFB, 0xF9, 0xEF));
    bg.setColorAt(1, QColor(0xEC, 0xE6, 0xCC));
    p.setPen(QPen(darkPurple, 2));
    p.setBrush(bg);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 12, 12);
    QPainterPath band;
    band.addRoundedRect(QRectF(2, 2, r.width() - 4, 50), 11, 11);
    QPainterPath cut;
    cut.addRect(QRectF(0, 0, r.width(), 32));
    band = band.intersected(cut);
    QLinearGradient hg(0, 2, 0, 32);
    hg.setColorAt(0, QColor(0x7E, 0x3C, 0x85));
    hg.setColorAt(1, QColor(0x4C, 0x1E, 0x51));
    p.setPen(Qt::NoPen);
    p.setBrush(hg);
    p.drawPath(band);
    p.fillRect(QRectF(2, 31.5, r.width() - 4, 2), gold);
    QFont title = font(17, QFont::Black);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    capsTextShadow(p, QRectF(0, 2, r.width(), 30), QStringLiteral("HOW TO PLAY BALLWICK"), title, Qt::white,
                   QColor(0, 0, 0, 120), 1);

    // The board, at half size, with a few balls already out.
    const QPointF board(16, 48);
    const qreal bs = 0.5;
    p.setPen(QPen(lavender, 1.5));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(board.x() - 3, board.y() - 3, 15 * 40 * bs + 6, 5 * 40 * bs + 6));
    struct Shown {
        int slot;
        int picture;
    };
    static const std::array<Shown, 7> shown{Shown{6, 4},   Shown{21, 37}, Shown{38, 52}, Shown{51, 77},
                                            Shown{64, 68}, Shown{32, 21}, Shown{13, 11}};
    for (int s = 0; s < 75; ++s) {
        int picture = 76;
        for (const Shown &x : shown)
            if (x.slot == s)
                picture = x.picture;
        p.save();
        p.translate(board.x() + (s / 5) * 40 * bs, board.y() + (s % 5) * 40 * bs);
        p.scale(bs, bs);
        paintBallPicture(p, picture);
        p.restore();
    }
    // A glowing ring round the disc the pointer is on.
    const QPointF pick(board.x() + 3 * 20 + 10, board.y() + 3 * 20 + 10);
    p.setPen(QPen(gold, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(pick, 10.5, 10.5);
    const QPointF thief(board.x() + 10 * 20 + 10, board.y() + 1 * 20 + 10);
    p.setPen(QPen(QColor(0xD8, 0x35, 0x3A), 2));
    p.drawEllipse(thief, 10.5, 10.5);

    // The big ball with the last number, and the thief counter.
    p.save();
    p.translate(335, 44);
    p.scale(0.72, 0.72);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(-2, -2, 134, 121), 6, 6);
    paintBigBall(p, false);
    capsText(p, QRectF(0, 0, 130, 117), QStringLiteral("N37"), font(44, QFont::Bold, QStringLiteral("Liberation Sans")),
             Qt::black);
    p.restore();
    for (int i = 0; i < 2; ++i) {
        p.save();
        p.translate(436, 44 + i * 42);
        p.scale(0.68, 0.68);
        paintMoxPicture(p, i == 0 ? 0 : 2);
        p.restore();
    }

    // One card with some numbers daubed, and the scoring table.
    const QPointF card(16, 216);
    const qreal cs = 0.8;
    p.save();
    p.translate(card);
    p.scale(cs, cs);
    paintCard(p);
    static const std::array<std::array<int, 5>, 5> numbers{
        std::array<int, 5>{4, 19, 37, 52, 68}, std::array<int, 5>{11, 27, 33, 49, 71},
        std::array<int, 5>{2, 21, 0, 58, 62}, std::array<int, 5>{14, 16, 44, 47, 75},
        std::array<int, 5>{9, 30, 40, 55, 66}};
    static const std::array<int, 6> labelLeft{7, 48, 87, 128, 168, 0};
    static const std::array<int, 5> labelTop{47, 86, 125, 164, 203};
    const QFont numberFont = font(25, QFont::Bold, QStringLiteral("Liberation Sans"));
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 5; ++col) {
            const int n = numbers[row][col];
            const bool daubed = n == 0 || n == 4 || n == 52 || n == 21 || n == 68 || n == 11;
            const QRectF label(labelLeft[col], labelTop[row], 34, 29);
            if (daubed)
                capsText(p, label, QStringLiteral("X"), numberFont, QColor(255, 0, 0));
            else
                capsText(p, label, QString::number(n), numberFont, Qt::black);
        }
    }
    p.setPen(QPen(gold, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(labelLeft[2] - 2, labelTop[0] - 3, 38, 35), 6, 6);
    p.restore();
    const QPointF target37(card.x() + (87 + 17) * cs, card.y() + (47 + 14) * cs);

    p.save();
    p.translate(424, 216);
    p.scale(cs, cs);
    paintScoring(p);
    p.restore();

    // Designs worth points.
    miniDesign(p, QPointF(214, 340), "#####....................", QStringLiteral("Line"));
    miniDesign(p, QPointF(272, 340), "#...#.#.#...#...#.#.#...#", QStringLiteral("X"));
    miniDesign(p, QPointF(330, 340), "#####..#....#....#....#..", QStringLiteral("T"));

    // The hints.
    callout(p, QRectF(16, 162, 190, 38), QStringLiteral("Click the purple circles to reveal the balls."),
            {QPointF(pick.x() - 4, pick.y() + 10)});
    callout(p, QRectF(400, 138, 122, 24), QStringLiteral("Avoid Bingo Mox!"), {QPointF(466, 126)});
    callout(p, QRectF(232, 168, 180, 38), QStringLiteral("Revealing three of his balls ends the game."),
            {QPointF(thief.x() + 4, thief.y() + 11)});
    callout(p, QRectF(214, 230, 180, 38), QStringLiteral("Click the number that matches the ball."),
            {target37});
    callout(p, QRectF(214, 288, 180, 38), QStringLiteral("Create the designs to get points!"),
            {QPointF(422, 300)});
}

} // namespace

std::vector<Picture> allPictures(const QString &siteHost)
{
    std::vector<Picture> list;
    for (int i = 0; i <= 77; ++i)
        list.push_back({QStringLiteral("balls/%1").arg(i), QSize(40, 40), [i](QPainter &p) { paintBallPicture(p, i); }});
    for (int i = 0; i <= 3; ++i)
        list.push_back({QStringLiteral("mox/%1").arg(i), QSize(132, 55), [i](QPainter &p) { paintMoxPicture(p, i); }});
    list.push_back({QStringLiteral("bigball"), QSize(130, 117), [](QPainter &p) { paintBigBall(p, false); }});
    list.push_back({QStringLiteral("bigball_mox"), QSize(130, 117), [](QPainter &p) { paintBigBall(p, true); }});
    list.push_back({QStringLiteral("card"), QSize(209, 241), [](QPainter &p) { paintCard(p); }});
    list.push_back({QStringLiteral("scoring"), QSize(110, 241), [](QPainter &p) { paintScoring(p); }});
    const std::array<std::pair<const char *, const char *>, 7> buttons{
        std::pair{"button_start", "START GAME"},   std::pair{"button_sendscore", "SEND SCORE"},
        std::pair{"button_highscores", "HIGH SCORES"}, std::pair{"button_cancel", "CANCEL"},
        std::pair{"button_done", "DONE"},          std::pair{"button_ok", "OK"},
        std::pair{"button_reset", "RESET"}};
    for (const auto &[name, words] : buttons) {
        const QString w = QString::fromLatin1(words);
        list.push_back({QString::fromLatin1(name), QSize(126, 40), [w](QPainter &p) { paintButton(p, QSizeF(126, 40), w); }});
    }
    list.push_back({QStringLiteral("instructions"), QSize(530, 433), [](QPainter &p) { paintInstructions(p); }});
    list.push_back({QStringLiteral("tile"), QSize(80, 80), [](QPainter &p) { paintTile(p); }});
    list.push_back({QStringLiteral("logo"), QSize(100, 100), [](QPainter &p) { paintLogoBall(p, 100); }});
    list.push_back({QStringLiteral("banner"), QSize(230, 22), [siteHost](QPainter &p) { paintBanner(p, siteHost); }});
    list.push_back({QStringLiteral("icon"), QSize(256, 256), [](QPainter &p) { paintLogoBall(p, 256); }, false});
    for (int s : {48, 128})
        list.push_back({QStringLiteral("icon-%1").arg(s), QSize(s, s), [s](QPainter &p) { paintLogoBall(p, s); }, false});
    return list;
}

} // namespace art
