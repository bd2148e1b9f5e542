// ballwick-art: draws every picture of the game into a folder (by default the
// source tree's assets/images), each at 1x and, where it is shown in a window,
// at 2x as name@2x.png. The output is the same, byte for byte, on every run.
//
//   ballwick-art [output-folder]
#include "artwork.h"

#include <ballwick_config.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QTextStream>
#include <QUrl>

#include <cstdio>

static bool writePicture(const art::Picture &pic, const QString &folder, int scale)
{
    QImage img(pic.size * scale, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        p.scale(scale, scale);
        pic.paint(p);
    }
    const QString path = folder + QLatin1Char('/') + pic.name + (scale == 2 ? QStringLiteral("@2x") : QString())
                         + QStringLiteral(".png");
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImageWriter writer(path, "png");
    writer.setCompression(100); // 0..100: the strongest deflate level
    if (!writer.write(img.convertToFormat(QImage::Format_ARGB32))) {
        std::fprintf(stderr, "ballwick-art: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral(BALLWICK_SOURCE_DIR "/assets/images");
    // The banner names the maker's site as a player types it: host and port.
    const QString host = QUrl(QStringLiteral(BALLWICK_SITE_URL)).authority();
    int written = 0;
    for (const art::Picture &pic : art::allPictures(host)) {
        if (!writePicture(pic, folder, 1))
            return 1;
        ++written;
        if (pic.retina) {
            if (!writePicture(pic, folder, 2))
                return 1;
            ++written;
        }
    }
    std::printf("ballwick-art: %d pictures in %s\n", written, qPrintable(QDir(folder).absolutePath()));
    return 0;
}
