#include "app/pictures.h"

#include <QMouseEvent>
#include <QPainter>

Tpaintbox::Tpaintbox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Tpaintbox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    emit paint(painter);
}

void Tpaintbox::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit mouseUp(event->button(), p.x(), p.y());
}
