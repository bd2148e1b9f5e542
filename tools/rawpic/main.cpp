// ballwick-rawpic <picture.png> <picture.bgra> [<png> <bgra> ...]
// Writes each PNG as a ready-made picture (see widgets/rawpicture.h).
#include <QImage>
#include <QSaveFile>
#include <cstdio>

#include "widgets/rawpicture.h"

int main(int argc, char **argv)
{
    if (argc < 3 || argc % 2 != 1) {
        std::fprintf(stderr, "usage: %s <picture.png> <picture.bgra> [...]\n", argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; i += 2) {
        const QImage image(QString::fromLocal8Bit(argv[i]));
        if (image.isNull()) {
            std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[i]);
            return 1;
        }
        QSaveFile out(QString::fromLocal8Bit(argv[i + 1]));
        if (!out.open(QIODevice::WriteOnly) || out.write(ballwick::rawPicture(image)) < 0 || !out.commit()) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
