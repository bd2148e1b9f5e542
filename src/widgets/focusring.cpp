#include "widgets/focusring.h"

#include <QKeyEvent>

#include <QPainter>
#include <QWidget>

namespace ballwick {

void drawFocusRing(QPainter &painter, const QRect &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect outer = rect.adjusted(0, 0, -1, -1);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ringEdge, 1));
    painter.drawRect(outer);
    painter.drawRect(outer.adjusted(3, 3, -3, -3));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ringColour);
    const QRect band = rect.adjusted(1, 1, -1, -1);
    painter.drawRect(band.left(), band.top(), band.width(), 2);
    painter.drawRect(band.left(), band.bottom() - 1, band.width(), 2);
    painter.drawRect(band.left(), band.top(), 2, band.height());
    painter.drawRect(band.right() - 1, band.top(), 2, band.height());
    painter.restore();
}

bool keyboardFocusShown(const QWidget *widget)
{
    return widget && widget->window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void markKeyboardUse(QWidget *widget)
{
    if (widget)
        widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
}

bool isActivationKeyName(const QKeyEvent *event)
{
    const int key = event->key();
    return (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) &&
           !(event->modifiers() & ~Qt::KeypadModifier);
}

bool isActivationKey(const QKeyEvent *event)
{
    return isActivationKeyName(event) && !event->isAutoRepeat();
}

} // namespace ballwick
