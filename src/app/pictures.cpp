#include "app/pictures.h"

#include <QMouseEvent>
#include <QPainter>

namespace ballwick {

TImageButton *pictureButton(QWidget *parent, const char *name, QRect geometry, const QString &path)
{
    auto *b = new TImageButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setPixmap(picture(path, geometry.size()));
    return b;
}

} // namespace ballwick

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
