#include "widgets/timagebutton.h"

#include <QMouseEvent>
#include <QPainter>

TImageButton::TImageButton(QWidget *parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void TImageButton::setSinksWhenDown(bool sinks)
{
    m_sinks = sinks;
    update();
}

void TImageButton::setStandIn(const QString &text, const QColor &frame)
{
    m_standIn = text;
    m_frame = frame;
    update();
}

void TImageButton::click()
{
    if (isEnabled())
        emit clicked();
}

void TImageButton::setOver(bool over)
{
    if (over == m_over)
        return;
    m_over = over;
    if (m_sinks && m_pressed)
        update();
}

void TImageButton::mousePressEvent(QMouseEvent *event)
{
    // Only the left button counts; other buttons leave a held press alone.
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_over = rect().contains(event->position().toPoint());
        if (m_sinks)
            update();
    }
    event->accept();
}

void TImageButton::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressed)
        setOver(rect().contains(event->position().toPoint()));
    QLabel::mouseMoveEvent(event);
}

void TImageButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool fire = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        m_over = false;
        if (m_sinks)
            update();
    }
    event->accept();
    if (fire)
        click();
}

void TImageButton::paintEvent(QPaintEvent *event)
{
    const QPixmap pix = pixmap();
    const bool standIn = pix.isNull() && !m_standIn.isEmpty();
    if (!standIn && !(m_sinks && !pix.isNull())) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    const QPoint shift = m_sinks && isDown() ? QPoint(1, 1) : QPoint(0, 0);
    if (!pix.isNull()) {
        p.drawPixmap(QRect(shift, size()), pix);
        return;
    }
    p.setPen(m_frame);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.drawText(rect().translated(shift), Qt::AlignCenter, m_standIn);
}
