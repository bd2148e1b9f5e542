#include "app/pictures.h"

#include <QMouseEvent>
#include <QPainter>

namespace ballwick {

QPixmap picture(const QString &path, QSize fallbackSize, const QColor &fallbackColor)
{
    QPixmap pix(path);
    if (!pix.isNull())
        return pix;
    QPixmap stand(fallbackSize);
    stand.fill(fallbackColor);
    return stand;
}

} // namespace ballwick

Timagebutton::Timagebutton(QWidget *parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void Timagebutton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    event->accept();
}

void Timagebutton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool fire = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (fire && isEnabled())
        emit clicked();
}

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
