#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

namespace ballwick {

// Decodes JPEG data with libjpeg-turbo. A damaged, truncated or otherwise
// unreadable picture gives a null QImage (and never ends the program); the
// reason goes to *error when given. Greyscale and colour pictures both come
// back as QImage::Format_RGB888.
QImage decodeJpeg(const QByteArray &data, QString *error = nullptr);

// Encodes a picture as a baseline JPEG of the given quality (1 to 100) with
// libjpeg-turbo; empty on failure.
QByteArray encodeJpeg(const QImage &image, int quality = 90, QString *error = nullptr);

} // namespace ballwick
