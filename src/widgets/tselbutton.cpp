#include "widgets/tselbutton.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "widgets/accessible.h"
#include "widgets/focusring.h"

TSelButton::TSelButton(QWidget *parent) : QWidget(parent)
{
    ballwick::installWidgetAccessibility();
    setFocusPolicy(Qt::TabFocus);
    resize(105, 20);
    m_color = palette().color(QPalette::Button);
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(8);
    setFont(f);
    // Until a caption is given, the button shows its own name.
    connect(this, &QObject::objectNameChanged, this, [this] {
        if (!m_captionSet)
            update();
    });
}

TSelButton::~TSelButton() = default;

QString TSelButton::caption() const
{
    return m_captionSet ? m_caption : objectName();
}

void TSelButton::setCaption(const QString &text)
{
    m_caption = text;
    m_captionSet = true;
    update();
}

void TSelButton::setColor(const QColor &c)
{
    m_color = c;
    update();
}

void TSelButton::setColorOver(const QColor &c)
{
    m_colorOver = c;
}

void TSelButton::setColorOverCaption(const QColor &c)
{
    m_colorOverCaption = c;
}

void TSelButton::setColorDown(const QColor &c)
{
    m_colorDown = c;
}

void TSelButton::setColorBorder(const QColor &c)
{
    m_colorBorder = c;
    update();
}

void TSelButton::setFontColor(const QColor &c)
{
    m_fontColor = c;
    if (m_state == State::Normal)
        m_textColor = c;
    update();
}

void TSelButton::setBorderWidth(int w)
{
    m_borderWidth = qMax(0, w);
    update();
}

void TSelButton::setAlignment(Alignment a)
{
    m_alignment = a;
    update();
}

QColor TSelButton::currentFill() const
{
    switch (m_state) {
    case State::Over:
        return m_colorOver;
    case State::Pressed:
        return m_colorDown;
    case State::Normal:
        break;
    }
    return m_color;
}

void TSelButton::showState(State s)
{
    m_state = s;
    if (s == State::Normal)
        m_textColor = m_fontColor;
    else if (s == State::Over)
        m_textColor = m_colorOverCaption;
    // Pressed keeps the text colour it had.
    update();
}

void TSelButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int w = width(), h = height();
    p.fillRect(QRect(1, 1, w - 2, h - 2), currentFill());

    const QString text = caption();
    const QFontMetrics fm(font());
    const int tw = fm.horizontalAdvance(text);
    const int th = fm.height();
    int x = m_alignment == Left ? 5 : m_alignment == Right ? w - tw - 6 : w / 2 - tw / 2;
    int y = h / 2 - th / 2;
    if (m_state == State::Pressed) {
        x += m_alignment == Right ? -1 : 1;
        y += 1;
    }
    p.setFont(font());
    p.setPen(m_textColor);
    p.drawText(x, y + fm.ascent(), text);

    // Frames last, nested inwards from the edge.
    for (int i = 0; i < m_borderWidth && 2 * i < qMin(w, h); ++i) {
        const QRect r(i, i, w - 2 * i, h - 2 * i);
        p.fillRect(r.left(), r.top(), r.width(), 1, m_colorBorder);
        p.fillRect(r.left(), r.bottom(), r.width(), 1, m_colorBorder);
        p.fillRect(r.left(), r.top(), 1, r.height(), m_colorBorder);
        p.fillRect(r.right(), r.top(), 1, r.height(), m_colorBorder);
    }
    if (hasFocus() && ballwick::keyboardFocusShown(this))
        ballwick::drawFocusRing(p, rect());
}

void TSelButton::click()
{
    showState(State::Normal);
    if (isEnabled())
        emit clicked();
}

void TSelButton::keyPressEvent(QKeyEvent *event)
{
    if (ballwick::isActivationKeyName(event)) {
        event->accept();
        if (ballwick::isActivationKey(event))
            click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TSelButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void TSelButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void TSelButton::mousePressEvent(QMouseEvent *event)
{
    // Other buttons do nothing (and do not reach the widgets underneath).
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    m_pressed = true;
    QPointer<TSelButton> self(this);
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
    if (self)
        showState(State::Pressed);
}

void TSelButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    const bool wasPressed = m_pressed;
    m_pressed = false;
    const QPoint pos = event->position().toPoint();
    const bool inside = rect().contains(pos);
    QPointer<TSelButton> self(this);

    // The click: only for a press that began here and a release over the button.
    if (wasPressed && inside) {
        showState(State::Normal);
        emit clicked();
        if (!self)
            return;
    }
    if (isEnabled())
        emit mouseUp(event->button(), event->modifiers(), pos);
    if (!self)
        return;
    // Released while still over the button (and still shown there): the pointer-over
    // look. Released elsewhere: back to normal, never left looking pressed.
    if (inside && isVisible() && isEnabled())
        showState(State::Over);
    else
        showState(State::Normal);
}

void TSelButton::enterEvent(QEnterEvent *event)
{
    if (isEnabled())
        showState(State::Over);
    QWidget::enterEvent(event);
}

void TSelButton::leaveEvent(QEvent *event)
{
    showState(State::Normal);
    QWidget::leaveEvent(event);
}

void TSelButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        m_pressed = false;
        showState(State::Normal);
    }
    QWidget::changeEvent(event);
}
