#include "app/pictures.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

namespace ballwick {

QPixmap picture(const QString &path, QSize fallbackSize, const QColor &fallbackColor)
{
    // On a high-density screen the double-size picture "name@2x.png" is used
    // when there is one, drawn at the same logical size.
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        QString large = path;
        const int dot = large.lastIndexOf(QLatin1Char('.'));
        if (dot > 0) {
            large.insert(dot, QLatin1String("@2x"));
            QPixmap pix(large);
            if (!pix.isNull()) {
                pix.setDevicePixelRatio(2.0);
                return pix;
            }
        }
    }
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
