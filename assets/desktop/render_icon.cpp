// ballwick-iconpng SVG SIZE OUT.png: draws the scalable icon at one size. The
// small PNG icons in icons/ were made with it:
//   for s in 16 22 32 64; do build/assets/desktop/ballwick-iconpng \
//     assets/desktop/ballwick.svg $s assets/desktop/icons/ballwick-$s.png; done
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: ballwick-iconpng SVG SIZE OUT.png\n");
        return 2;
    }
    QSvgRenderer r(QString::fromLocal8Bit(argv[1]));
    const int s = std::atoi(argv[2]);
    if (!r.isValid() || s <= 0)
        return 1;
    QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    r.render(&p);
    p.end();
    return img.save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
}
