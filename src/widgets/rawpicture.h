#pragma once
#include <QByteArray>
#include <QImage>

namespace ballwick {

// A picture stored as its pixels lie in memory, for the pictures the main
// window shows in its first frame: the program wraps them where they are
// embedded instead of decoding a PNG. The form: "BWPX", then width, height,
// QImage format and a byte-order mark (0x01020304), each a 32-bit number in
// the machine's own order, then the rows (4 bytes a pixel, no padding).

// An image in the form the screen's pixmaps use: premultiplied ARGB32, or
// RGB32 without alpha.
QImage screenForm(const QImage &image);

// The stored form of an image (premultiplied ARGB32 or, without alpha, RGB32).
QByteArray rawPicture(const QImage &image);

// An image over the pixels of stored data, which must outlive it (embedded
// resources do); a null image when the data is not such a picture or was
// written on a machine of the other byte order.
QImage wrapRawPicture(const uchar *data, qint64 size);

} // namespace ballwick
