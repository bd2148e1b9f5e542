#include "widgets/accessible.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QMenu>
#include <QPointer>
#include <QVariant>

#include "widgets/tflatpanel.h"
#include "widgets/timagebutton.h"
#include "widgets/tselbutton.h"

namespace ballwick {

namespace {

constexpr char ownerProperty[] = "ballwickAccessibleOwner";

// A button that the reader can press: both kinds fire exactly as a click.
class ButtonAccessible : public QAccessibleWidget
{
public:
    explicit ButtonAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        if (!widget()->accessibleName().isEmpty())
            return widget()->accessibleName();
        if (auto *b = qobject_cast<TSelButton *>(widget()))
            return b->caption();
        if (auto *b = qobject_cast<TImageButton *>(widget())) {
            if (!b->standInText().isEmpty())
                return b->standInText();
            if (!b->toolTip().isEmpty())
                return b->toolTip();
            return b->text();
        }
        return QString();
    }

    QAccessible::State state() const override
    {
        QAccessible::State st = QAccessibleWidget::state();
        st.focusable = widget()->focusPolicy() != Qt::NoFocus || accessibleOwner(widget());
        if (auto *b = qobject_cast<TImageButton *>(widget()); b && b->cursorRing())
            st.focused = true;
        return st;
    }

    QAccessibleInterface *parent() const override
    {
        if (QWidget *owner = accessibleOwner(widget()))
            return QAccessible::queryAccessibleInterface(owner);
        return QAccessibleWidget::parent();
    }

    QStringList actionNames() const override
    {
        return widget()->isEnabled() ? QStringList{QAccessibleActionInterface::pressAction()} : QStringList{};
    }

    void doAction(const QString &name) override
    {
        if (name != QAccessibleActionInterface::pressAction())
            return;
        if (auto *b = qobject_cast<TSelButton *>(widget()))
            b->click();
        else if (auto *b = qobject_cast<TImageButton *>(widget()))
            b->click();
    }
};

// A panel lists its child widgets, less the parts read under another widget.
class PanelAccessible : public QAccessibleWidget
{
public:
    explicit PanelAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Grouping) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<TFlatPanel *>(widget())->caption();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return int(parts().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> list = parts();
        return index >= 0 && index < list.size() ? QAccessible::queryAccessibleInterface(list.at(index)) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        return int(parts().indexOf(qobject_cast<QWidget *>(child->object())));
    }

private:
    QList<QWidget *> parts() const
    {
        QList<QWidget *> out;
        for (QObject *o : widget()->children()) {
            auto *w = qobject_cast<QWidget *>(o);
            if (w && !w->isWindow() && !qobject_cast<QMenu *>(w) && !accessibleOwner(w))
                out << w;
        }
        return out;
    }
};

QAccessibleInterface *factory(const QString &classname, QObject *object)
{
    auto *w = qobject_cast<QWidget *>(object);
    if (!w)
        return nullptr;
    if (classname == QLatin1String("TImageButton") || classname == QLatin1String("TSelButton"))
        return new ButtonAccessible(w);
    if (classname == QLatin1String("TFlatPanel"))
        return new PanelAccessible(w);
    return nullptr;
}

} // namespace

void installWidgetAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

void setAccessibleOwner(QWidget *part, QWidget *owner)
{
    part->setProperty(ownerProperty, QVariant::fromValue(QPointer<QWidget>(owner)));
}

QWidget *accessibleOwner(const QWidget *part)
{
    return part ? part->property(ownerProperty).value<QPointer<QWidget>>().data() : nullptr;
}

void QtAccessibleEvents::notify(QAccessibleEvent *event)
{
    QAccessible::updateAccessibility(event);
}

void announceChange(AccessibleEvents &events, QWidget *widget)
{
    QAccessibleEvent named(widget, QAccessible::NameChanged);
    events.notify(&named);
}

} // namespace ballwick
