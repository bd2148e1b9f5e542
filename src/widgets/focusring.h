#pragma once
#include <QColor>
#include <QRect>

class QKeyEvent;
class QPainter;
class QWidget;

namespace ballwick {

// The keyboard cursor and focus ring: a yellow band two pixels wide inside a
// one-pixel black edge, drawn just inside the rectangle, so that it reads on the
// dark board and on the light cards alike (and stays two device pixels or more
// at any scale).
inline const QColor ringColour{0xFF, 0xD8, 0x00};
inline const QColor ringEdge{Qt::black};
void drawFocusRing(QPainter &painter, const QRect &rect);

// Whether a widget that has the keyboard's attention shows its ring: only once
// the keyboard has moved the focus in its window (Tab, a shortcut, an arrow on
// the board), so that a game played with the mouse looks as it always did.
bool keyboardFocusShown(const QWidget *widget);
// Marks the widget's window as driven by the keyboard (its rings show).
void markKeyboardUse(QWidget *widget);

// Space, Return or the keypad's Enter with no other modifier, not repeated
// by a held key: what fires a focused button.
bool isActivationKey(const QKeyEvent *event);
// Space, Return or Enter at all (a held or modified one is taken but fires nothing).
bool isActivationKeyName(const QKeyEvent *event);

} // namespace ballwick
