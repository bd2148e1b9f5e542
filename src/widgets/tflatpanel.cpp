#include "widgets/tflatpanel.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include "widgets/accessible.h"

TFlatPanel::TFlatPanel(QWidget *parent) : QWidget(parent)
{
    ballwick::installWidgetAccessibility();
    resize(185, 41);
    // We paint every pixel ourselves (fill or the parent's picture).
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TFlatPanel::~TFlatPanel() = default;

void TFlatPanel::setColorHighLight(const QColor &c)
{
    m_highLight = c;
    update();
}

void TFlatPanel::setColorShadow(const QColor &c)
{
    m_shadow = c;
    update();
}

void TFlatPanel::setFrameColor(const QColor &c)
{
    m_highLight = c;
    m_shadow = c;
    update();
}

void TFlatPanel::setTransparent(bool on)
{
    m_transparent = on;
    update();
}

QColor TFlatPanel::color() const
{
    return palette().color(QPalette::Window);
}

void TFlatPanel::setColor(const QColor &c)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, c);
    setPalette(pal);
    update();
}

QColor TFlatPanel::fontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TFlatPanel::setFontColor(const QColor &c)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, c);
    setPalette(pal);
    update();
}

void TFlatPanel::setAlignment(Alignment a)
{
    m_alignment = a;
    update();
}

void TFlatPanel::setCaption(const QString &text)
{
    m_caption = text;
    update();
}

void TFlatPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange
        || event->type() == QEvent::FontChange)
        update();
    QWidget::changeEvent(event);
}

void TFlatPanel::paintBackground(QPainter &p, const QRect &exposed)
{
    QWidget *parent = parentWidget();
    if (m_transparent && parent) {
        // What the parent draws under the part we cover and show: its
        // background and its own painting (its tile, if it has one), without
        // its children, us included. The parent's client area clips the copy.
        p.fillRect(exposed, parent->palette().color(QPalette::Window));
        const QRect area = exposed.translated(pos()).intersected(parent->rect());
        if (area.isEmpty())
            return;
        if (parent->metaObject() == &TFlatPanel::staticMetaObject) {
            // A panel on a panel: the outer one's picture is drawn straight in.
            p.save();
            p.translate(-pos());
            p.setClipRect(area, Qt::IntersectClip);
            static_cast<TFlatPanel *>(parent)->paintPanel(p, area);
            p.restore();
        } else {
            parent->render(&p, area.topLeft() - pos(), QRegion(area), QWidget::DrawWindowBackground);
        }
    } else {
        p.fillRect(exposed, color());
    }
}

void TFlatPanel::paintEvent(QPaintEvent *event)
{
    // The window's backing store is the off-screen picture the panel is drawn
    // into; the screen gets it whole. Only the part to be shown is drawn: a
    // transparent panel's copy of what is under it costs as much as its area.
    const QRect exposed = event->rect().intersected(rect());
    if (exposed.isEmpty())
        return;
    QPainter p(this);
    p.setClipRect(exposed);
    paintPanel(p, exposed);
}

void TFlatPanel::paintPanel(QPainter &p, const QRect &exposed)
{
    paintBackground(p, exposed);

    // One-pixel frame: light edges top and left, dark edges bottom and right.
    const int w = width(), h = height();
    p.fillRect(0, 0, w, 1, m_highLight);
    p.fillRect(0, 0, 1, h, m_highLight);
    p.fillRect(0, h - 1, w, 1, m_shadow);
    p.fillRect(w - 1, 0, 1, h, m_shadow);

    if (!m_caption.isEmpty()) {
        p.setFont(font());
        int flags = Qt::AlignVCenter | Qt::TextSingleLine;
        flags |= m_alignment == Left    ? Qt::AlignLeft
                 : m_alignment == Right ? Qt::AlignRight
                                        : Qt::AlignHCenter;
        const QRect inside = rect().adjusted(1, 1, -1, -1);
        if (isEnabled()) {
            p.setPen(fontColor());
            p.drawText(inside, flags, m_caption);
        } else {
            // Engraved: a light copy one pixel right and down, the dark one on top.
            p.setPen(palette().color(QPalette::Active, QPalette::Light));
            p.drawText(inside.translated(1, 1), flags, m_caption);
            p.setPen(palette().color(QPalette::Active, QPalette::Dark));
            p.drawText(inside, flags, m_caption);
        }
    }
}
