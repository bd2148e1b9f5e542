#include "widgets/menustyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>

namespace ballwick {
namespace {

// Two chevrons pointing right (or down), in the text colour of the mode.
class ChevronEngine final : public QIconEngine
{
public:
    explicit ChevronEngine(bool horizontal) : m_horizontal(horizontal) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const QPalette palette = QApplication::palette();
        const QColor colour = palette.color(mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active,
                                            QPalette::ButtonText);
        const qreal side = qMin(rect.width(), rect.height());
        const QRectF box(rect.center().x() + 1 - side / 2, rect.center().y() + 1 - side / 2, side, side);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(box.center());
        if (!m_horizontal)
            painter->rotate(90);
        QPainterPath path;
        const qreal h = side * 0.28; // half height of a chevron
        for (const qreal x : {-side * 0.22, side * 0.08}) {
            path.moveTo(x - h / 2, -h);
            path.lineTo(x + h / 2, 0);
            path.lineTo(x - h / 2, h);
        }
        painter->setPen(QPen(colour, qMax<qreal>(1.0, side / 10), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawPath(path);
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pix(size);
        pix.fill(Qt::transparent);
        QPainter painter(&pix);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pix;
    }

    QIconEngine *clone() const override { return new ChevronEngine(m_horizontal); }
    QString key() const override { return QStringLiteral("ballwick-chevron"); }

private:
    bool m_horizontal;
};

QStyle *applicationStyle()
{
    // QApplication::style() is the style chosen by the platform or asked for by
    // the player; a fresh one of its kind goes under the proxy, since the
    // application deletes its old style when it is given a new one.
    return QStyleFactory::create(QApplication::style()->name());
}

} // namespace

MenuStyle::MenuStyle() : QProxyStyle(applicationStyle()) {}

QIcon MenuStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option, const QWidget *widget) const
{
    if (standardIcon == SP_ToolBarHorizontalExtensionButton || standardIcon == SP_ToolBarVerticalExtensionButton)
        return QIcon(new ChevronEngine(standardIcon == SP_ToolBarHorizontalExtensionButton));
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}

} // namespace ballwick
