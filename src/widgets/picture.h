#pragma once
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

namespace ballwick {

// Loads a picture from the embedded resources. On a high-density screen the
// double-size twin "name@2x.png" is used when there is one, drawn at the same
// logical size. A missing picture gives a null pixmap.
QPixmap loadPicture(const QString &path);

// As loadPicture, but a missing picture gives a plain stand-in of the asked
// size, so the window still lays out and plays.
QPixmap picture(const QString &path, QSize fallbackSize, const QColor &fallbackColor = QColor(0x57, 0x26, 0x5B));

// Decodes a PNG file's bytes into the form the screen's pixmaps use
// (premultiplied ARGB32, or RGB32 without alpha); damaged data gives a null image.
QImage decodePng(const QByteArray &data);

// Decoding the pictures the other windows show at once, on another thread
// once the main window is drawn. promisePictures (any thread, before the
// decoding starts) names them;
// decodePromisedPictures (the other thread) decodes them in that order;
// loadPicture then takes a decoded one instead of decoding it again, waits for
// the one being decoded, and decodes one not yet reached itself. The decoded
// pictures are normal-density ones: a high-density screen reads its own.
// A picture in another format comes with its own decoder, and code that keeps
// the pixels takes it with takePromisedImage (false: never promised, or taken).
using PictureDecoder = QImage (*)(const QString &path);
void promisePictures(const QStringList &paths, PictureDecoder decoder = nullptr);
// stop, if given, is asked before each picture: true ends the decoding (the
// pictures left are decoded by whoever takes them).
void decodePromisedPictures(const std::function<bool()> &stop = {});
bool takePromisedImage(const QString &path, QImage &out);

} // namespace ballwick
