#include "widgets/timagebutton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/accessible.h"
#include "widgets/focusring.h"

TImageButton::TImageButton(QWidget *parent) : QLabel(parent)
{
    ballwick::installWidgetAccessibility();
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void TImageButton::setCursorRing(bool on)
{
    if (on == m_ringed)
        return;
    m_ringed = on;
    update();
}

void TImageButton::keyPressEvent(QKeyEvent *event)
{
    if (ballwick::isActivationKeyName(event)) {
        event->accept();
        if (ballwick::isActivationKey(event))
            click();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TImageButton::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    update();
}

void TImageButton::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    update();
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
    paintFace(event);
    if ((hasFocus() || m_ringed) && ballwick::keyboardFocusShown(this)) {
        QPainter p(this);
        ballwick::drawFocusRing(p, rect());
    }
}

void TImageButton::paintFace(QPaintEvent *event)
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
