#pragma once
#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace ballwick {

// Loads a picture from the embedded resources. On a high-density screen the
// double-size twin "name@2x.png" is used when there is one, drawn at the same
// logical size. A missing picture gives a null pixmap.
QPixmap loadPicture(const QString &path);

// As loadPicture, but a missing picture gives a plain stand-in of the asked
// size, so the window still lays out and plays.
QPixmap picture(const QString &path, QSize fallbackSize, const QColor &fallbackColor = QColor(0x57, 0x26, 0x5B));

} // namespace ballwick
