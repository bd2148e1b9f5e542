#include "widgets/picture.h"

#include <QGuiApplication>

namespace ballwick {

QPixmap loadPicture(const QString &path)
{
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        QString large = path;
        const qsizetype dot = large.lastIndexOf(QLatin1Char('.'));
        if (dot > 0) {
            large.insert(dot, QLatin1String("@2x"));
            QPixmap pix(large);
            if (!pix.isNull()) {
                pix.setDevicePixelRatio(2.0);
                return pix;
            }
        }
    }
    return QPixmap(path);
}

QPixmap picture(const QString &path, QSize fallbackSize, const QColor &fallbackColor)
{
    QPixmap pix = loadPicture(path);
    if (!pix.isNull())
        return pix;
    QPixmap stand(fallbackSize);
    stand.fill(fallbackColor);
    return stand;
}

} // namespace ballwick
