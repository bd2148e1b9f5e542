#pragma once
#include <QColor>
#include <QPalette>
#include <QWidget>

namespace ballwick {

// The main window's colours.
inline const QColor windowColour(0xE8, 0xE3, 0xC5);
inline const QColor purple(0x57, 0x26, 0x5B);
inline const QColor darkPurple(0x42, 0x1D, 0x45);
inline const QColor boardFrame(0x91, 0x75, 0x9B);

// Sets a label's or a cell's font colour.
inline void setTextColour(QWidget *w, const QColor &c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    w->setPalette(pal);
}

} // namespace ballwick
