#include "widgets/picture.h"

#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QResource>
#include <condition_variable>
#include <mutex>

#include <png.h>

#include "widgets/rawpicture.h"

namespace ballwick {

// The game's own PNG pictures are read with libpng straight away: Qt's picture
// reader first looks through every image-format plugin installed, which at
// start-up takes time and locks from the main thread.
QImage decodePng(const QByteArray &data)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data.constData(), size_t(data.size())))
        return {};
    const bool alpha = png.format & PNG_FORMAT_FLAG_ALPHA;
    // Blue, green, red, alpha in memory is QImage's 32-bit form on a
    // little-endian machine; on a big-endian one it is alpha, red, green, blue.
    // Without alpha in the file every alpha byte is 255, which is RGB32.
    png.format = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    constexpr png_uint_32 largest = 1u << 14; // no picture of ours comes near it
    QImage image;
    if (png.width <= largest && png.height <= largest)
        image = QImage(int(png.width), int(png.height), alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull() ||
        !png_image_finish_read(&png, nullptr, image.bits(), png_int_32(image.bytesPerLine()), nullptr)) {
        png_image_free(&png);
        return {};
    }
    // The form the screen's pixmaps use, so that the UI thread only wraps it.
    if (alpha)
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}

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
    if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) && path.startsWith(QLatin1Char(':'))) {
        // The first frame's pictures are embedded as their pixels too.
        const QResource raw(path.left(path.size() - 4) + QLatin1String(".bgra"));
        if (raw.isValid() && raw.compressionAlgorithm() == QResource::NoCompression) {
            QImage image = wrapRawPicture(raw.data(), raw.size());
            if (!image.isNull())
                return image;
        }
        const QResource resource(path);
        if (resource.isValid())
            return decodePng(resource.uncompressedData());
    }
    QImageReader reader(path);
    const QImage image = reader.read();
    // The form the screen's pixmaps use, so that the UI thread only wraps it.
    return image.isNull() ? image : screenForm(image);
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

void decodePromisedPictures(const std::function<bool()> &stop)
{
    Promised &p = promised();
    for (;;) {
        if (stop && stop())
            return;
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
            QPixmap pix = QPixmap::fromImage(decode(large, nullptr));
            if (!pix.isNull()) {
                pix.setDevicePixelRatio(2.0);
                return pix;
            }
        }
    }
    QPixmap pix;
    if (takePromised(path, pix))
        return pix;
    return QPixmap::fromImage(decode(path, nullptr));
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
