#include "widgets/picture.h"

#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <condition_variable>
#include <mutex>

namespace ballwick {
namespace {

// Pictures decoded ahead by the start-up thread, taken by the UI thread.
struct Promised
{
    enum State { waiting, decoding, ready };
    std::mutex lock;
    std::condition_variable done;
    QStringList order;
    QHash<QString, State> state;
    QHash<QString, PictureDecoder> decoders;
    QHash<QString, QImage> images;
};

Promised &promised()
{
    static Promised p;
    return p;
}

QImage decode(const QString &path, PictureDecoder decoder)
{
    if (decoder)
        return decoder(path);
    QImageReader reader(path);
    QImage image = reader.read();
    // The form the screen's pixmaps use, so that the UI thread only wraps it.
    if (!image.isNull())
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    return image;
}

} // namespace

// The decoded picture when it was promised (waiting for it if it is being
// decoded), else nothing; each promised picture is handed out once.
bool takePromisedImage(const QString &path, QImage &out)
{
    Promised &p = promised();
    std::unique_lock<std::mutex> hold(p.lock);
    const auto it = p.state.constFind(path);
    if (it == p.state.constEnd())
        return false;
    const PictureDecoder decoder = p.decoders.take(path);
    if (*it == Promised::waiting) {
        // Not reached yet: decoding it here is quicker than waiting.
        p.state.remove(path);
        p.order.removeAll(path);
        hold.unlock();
        out = decode(path, decoder);
    } else {
        p.done.wait(hold, [&] { return p.state.value(path) == Promised::ready; });
        out = p.images.take(path);
        p.state.remove(path);
    }
    return true;
}

namespace {

// The UI thread's side of the pictures: a promised one is kept as a pixmap
// once taken.
bool takePromised(const QString &path, QPixmap &out)
{
    static QHash<QString, QPixmap> taken; // UI thread only
    if (const auto it = taken.constFind(path); it != taken.constEnd()) {
        out = *it;
        return true;
    }
    QImage image;
    if (!takePromisedImage(path, image))
        return false;
    out = QPixmap::fromImage(std::move(image), Qt::NoFormatConversion);
    taken.insert(path, out);
    return true;
}

} // namespace

void promisePictures(const QStringList &paths, PictureDecoder decoder)
{
    Promised &p = promised();
    const std::lock_guard<std::mutex> hold(p.lock);
    for (const QString &path : paths)
        if (!p.state.contains(path)) {
            p.state.insert(path, Promised::waiting);
            p.order.append(path);
            if (decoder)
                p.decoders.insert(path, decoder);
        }
}

void decodePromisedPictures()
{
    Promised &p = promised();
    for (;;) {
        QString path;
        PictureDecoder decoder = nullptr;
        {
            const std::lock_guard<std::mutex> hold(p.lock);
            if (p.order.isEmpty())
                return;
            path = p.order.takeFirst();
            p.state.insert(path, Promised::decoding);
            decoder = p.decoders.value(path);
        }
        QImage image = decode(path, decoder);
        {
            const std::lock_guard<std::mutex> hold(p.lock);
            p.images.insert(path, std::move(image));
            p.state.insert(path, Promised::ready);
        }
        p.done.notify_all();
    }
}

QPixmap loadPicture(const QString &path)
{
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        QString large = path;
        const int dot = large.lastIndexOf(QLatin1Char('.'));
        if (dot > 0) {
            large.insert(dot, QLatin1String("@2x"));
            QPixmap pix(large);
            if (!pix.isNull()) {
                pix.setDevicePixelRatio(2.0);
                return pix;
            }
        }
    }
    QPixmap pix;
    if (takePromised(path, pix))
        return pix;
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
