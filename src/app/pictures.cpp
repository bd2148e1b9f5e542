#include "app/pictures.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QFileInfo>
#include <QFocusEvent>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <map>

#include "app/board.h"
#include "widgets/accessible.h"
#include "widgets/focusring.h"

namespace ballwick {

QString pictureWord(const QString &path)
{
    static const QHash<QString, QString> words{
        {QStringLiteral("button_start"), QStringLiteral("START GAME")},
        {QStringLiteral("button_sendscore"), QStringLiteral("SEND SCORE")},
        {QStringLiteral("button_highscores"), QStringLiteral("HIGH SCORES")},
        {QStringLiteral("button_cancel"), QStringLiteral("CANCEL")},
        {QStringLiteral("button_done"), QStringLiteral("DONE")},
        {QStringLiteral("button_ok"), QStringLiteral("OK")},
        {QStringLiteral("button_reset"), QStringLiteral("RESET")},
    };
    return words.value(QFileInfo(path).completeBaseName());
}

TImageButton *pictureButton(QWidget *parent, const char *name, QRect geometry, const QString &path)
{
    auto *b = new TImageButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setPixmap(picture(path, geometry.size()));
    b->setAccessibleName(pictureWord(path));
    return b;
}

} // namespace ballwick

namespace {

// Moves a cursor over a grid of columns x rows by an arrow key, wrapping at
// the edges; false for any other key.
bool arrowStep(int key, int columns, int rows, int &column, int &row)
{
    switch (key) {
    case Qt::Key_Left:
        column = (column + columns - 1) % columns;
        return true;
    case Qt::Key_Right:
        column = (column + 1) % columns;
        return true;
    case Qt::Key_Up:
        row = (row + rows - 1) % rows;
        return true;
    case Qt::Key_Down:
        row = (row + 1) % rows;
        return true;
    default:
        return false;
    }
}

bool isPressKey(const QKeyEvent *event)
{
    const int key = event->key();
    return (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)
           && !(event->modifiers() & ~Qt::KeypadModifier);
}

bool isPlainArrow(const QKeyEvent *event)
{
    return !(event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier));
}

// One slot of the board, as a list item the reader can press.
class SlotAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    SlotAccessible(Tpaintbox *board, int slot) : m_board(board), m_slot(slot) {}

    bool isValid() const override { return m_board; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_board ? m_board->window()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_board); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && m_board ? m_board->slotName(m_slot) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!m_board)
            return {};
        const QRect r = m_board->slotRect(m_slot);
        return QRect(m_board->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State st;
        if (!m_board)
            return st;
        st.focusable = true;
        st.focused = m_board->hasFocus() && m_board->cursorSlot() == m_slot;
        st.invisible = !m_board->isVisible();
        return st;
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (m_board && name == pressAction())
            m_board->activateSlot(m_slot);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<Tpaintbox> m_board;
    int m_slot;
};

// The board: a list of its 75 slots.
class BoardAccessible : public QAccessibleWidget
{
public:
    explicit BoardAccessible(Tpaintbox *board) : QAccessibleWidget(board, QAccessible::List) {}
    ~BoardAccessible() override
    {
        for (const auto &entry : m_ids)
            QAccessible::deleteAccessibleInterface(entry.second);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return QStringLiteral("Ball board");
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
            return board()->slotName(board()->cursorSlot());
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return ballwick::slotcount; }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= ballwick::slotcount)
            return nullptr;
        auto found = m_ids.find(index);
        if (found != m_ids.end())
            return QAccessible::accessibleInterface(found->second);
        auto *iface = new SlotAccessible(board(), index);
        m_ids[index] = QAccessible::registerAccessibleInterface(iface);
        return iface;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (const auto &entry : m_ids)
            if (QAccessible::accessibleInterface(entry.second) == child)
                return entry.first;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint p = board()->mapFromGlobal(QPoint(x, y));
        const int slot = ballwick::slotat(p.x(), p.y());
        return slot >= 0 ? child(slot) : nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        return board()->hasFocus() ? child(board()->cursorSlot()) : nullptr;
    }

private:
    Tpaintbox *board() const { return static_cast<Tpaintbox *>(widget()); }
    mutable std::map<int, QAccessible::Id> m_ids;
};

// A card: a group of its 25 cells, row by row.
class CardAccessible : public QAccessibleWidget
{
public:
    explicit CardAccessible(Tcardbox *card) : QAccessibleWidget(card, QAccessible::Grouping) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty()) {
            if (TImageButton *c = card()->cell(card()->cursorColumn(), card()->cursorRow()))
                return QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name);
            return QString();
        }
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 25; }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= 25)
            return nullptr;
        TImageButton *c = card()->cell(index % 5 + 1, index / 5 + 1);
        return c ? QAccessible::queryAccessibleInterface(c) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < 25; ++i)
            if (child && child->object() && child->object() == card()->cell(i % 5 + 1, i / 5 + 1))
                return i;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < 25; ++i)
            if (QAccessibleInterface *c = child(i); c && c->rect().contains(x, y))
                return c;
        return nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        if (!card()->hasFocus())
            return nullptr;
        TImageButton *c = card()->cell(card()->cursorColumn(), card()->cursorRow());
        return c ? QAccessible::queryAccessibleInterface(c) : nullptr;
    }

private:
    Tcardbox *card() const { return static_cast<Tcardbox *>(widget()); }
};

QAccessibleInterface *boardFactory(const QString &classname, QObject *object)
{
    if (classname == QLatin1String("Tpaintbox"))
        return new BoardAccessible(static_cast<Tpaintbox *>(object));
    if (classname == QLatin1String("Tcardbox"))
        return new CardAccessible(static_cast<Tcardbox *>(object));
    return nullptr;
}

void installBoardAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(boardFactory);
        return true;
    }();
    (void)installed;
}

// Tells the reader that the keyboard's attention moved to an item. Sent again
// once the focus change itself has been told, so that the item comes last.
void announceFocus(QWidget *owner, ballwick::AccessibleEvents &events,
                   const std::function<QAccessibleInterface *()> &item, bool deferred)
{
    auto send = [item, events = &events] {
        if (QAccessibleInterface *iface = item()) {
            QAccessibleEvent event(iface, QAccessible::Focus);
            events->notify(&event);
        }
    };
    if (deferred) {
        QPointer<QWidget> guard(owner);
        QTimer::singleShot(0, owner, [guard, send] {
            if (guard && guard->hasFocus())
                send();
        });
    } else {
        send();
    }
}

} // namespace

// ---------------------------------------------------------------------------
// The board

Tpaintbox::Tpaintbox(ballwick::AccessibleEvents &events, QWidget *parent) : QWidget(parent), m_events(events)
{
    installBoardAccessibility();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
}

QRect Tpaintbox::slotRect(int slot) const
{
    return QRect(ballwick::slotleft(slot), ballwick::slottop(slot), ballwick::slotsize, ballwick::slotsize)
        .intersected(rect());
}

QString Tpaintbox::slotName(int slot) const
{
    return m_slotName ? m_slotName(slot) : QStringLiteral("Ball slot %1").arg(slot + 1);
}

void Tpaintbox::setCursorSlot(int slot)
{
    if (slot < 0 || slot >= ballwick::slotcount || slot == m_cursor)
        return;
    update(slotRect(m_cursor));
    m_cursor = slot;
    update(slotRect(m_cursor));
    if (hasFocus())
        announceCursor();
}

void Tpaintbox::slotChanged(int slot)
{
    if (slot < 0 || slot >= ballwick::slotcount)
        return;
    QAccessibleInterface *board = QAccessible::queryAccessibleInterface(this);
    if (QAccessibleInterface *item = board ? board->child(slot) : nullptr) {
        QAccessibleEvent event(item, QAccessible::NameChanged);
        m_events.notify(&event);
    }
}

void Tpaintbox::activateSlot(int slot)
{
    if (slot < 0 || slot >= ballwick::slotcount)
        return;
    emit mouseUp(Qt::NoButton, ballwick::slotleft(slot) + ballwick::slotsize / 2,
                 ballwick::slottop(slot) + ballwick::slotsize / 2);
}

void Tpaintbox::announceCursor()
{
    QPointer<Tpaintbox> self(this);
    announceFocus(this, m_events, [self]() -> QAccessibleInterface * {
        QAccessibleInterface *board = self ? QAccessible::queryAccessibleInterface(self.data()) : nullptr;
        return board ? board->child(self->cursorSlot()) : nullptr;
    }, false);
}

void Tpaintbox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    emit paint(painter);
    if (hasFocus() && ballwick::keyboardFocusShown(this))
        ballwick::drawFocusRing(painter, slotRect(m_cursor));
}

void Tpaintbox::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    emit mouseUp(event->button(), p.x(), p.y());
}

void Tpaintbox::keyPressEvent(QKeyEvent *event)
{
    int column = m_cursor / 5, row = m_cursor % 5;
    if (isPlainArrow(event) && arrowStep(event->key(), ballwick::slotcount / 5, 5, column, row)) {
        event->accept();
        ballwick::markKeyboardUse(this);
        update(slotRect(m_cursor));
        setCursorSlot(column * 5 + row);
        return;
    }
    if (isPressKey(event)) {
        event->accept();
        ballwick::markKeyboardUse(this);
        update(slotRect(m_cursor));
        if (!event->isAutoRepeat())
            activateSlot(m_cursor);
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tpaintbox::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update(slotRect(m_cursor));
    QPointer<Tpaintbox> self(this);
    announceFocus(this, m_events, [self]() -> QAccessibleInterface * {
        QAccessibleInterface *board = self ? QAccessible::queryAccessibleInterface(self.data()) : nullptr;
        return board ? board->child(self->cursorSlot()) : nullptr;
    }, true);
}

void Tpaintbox::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update(slotRect(m_cursor));
}

// ---------------------------------------------------------------------------
// The cards

Tcardbox::Tcardbox(ballwick::AccessibleEvents &events, QWidget *parent) : QLabel(parent), m_events(events)
{
    installBoardAccessibility();
    setFocusPolicy(Qt::TabFocus);
}

void Tcardbox::setCell(int column, int row, TImageButton *cell)
{
    if (column < 1 || column > 5 || row < 1 || row > 5)
        return;
    m_cells[(column - 1) * 5 + (row - 1)] = cell;
    if (cell)
        ballwick::setAccessibleOwner(cell, this);
}

TImageButton *Tcardbox::cell(int column, int row) const
{
    if (column < 1 || column > 5 || row < 1 || row > 5)
        return nullptr;
    return m_cells[(column - 1) * 5 + (row - 1)];
}

void Tcardbox::showCursor(bool on)
{
    if (TImageButton *c = cell(m_column, m_row))
        c->setCursorRing(on);
}

void Tcardbox::setCursorCell(int column, int row)
{
    if (column < 1 || column > 5 || row < 1 || row > 5 || (column == m_column && row == m_row))
        return;
    showCursor(false);
    m_column = column;
    m_row = row;
    if (hasFocus()) {
        showCursor(true);
        announceCursor();
    }
}

void Tcardbox::announceCursor()
{
    QPointer<Tcardbox> self(this);
    announceFocus(this, m_events, [self]() -> QAccessibleInterface * {
        TImageButton *c = self ? self->cell(self->cursorColumn(), self->cursorRow()) : nullptr;
        return c ? QAccessible::queryAccessibleInterface(c) : nullptr;
    }, false);
}

void Tcardbox::keyPressEvent(QKeyEvent *event)
{
    int column = m_column - 1, row = m_row - 1;
    if (isPlainArrow(event) && arrowStep(event->key(), 5, 5, column, row)) {
        event->accept();
        ballwick::markKeyboardUse(this);
        if (TImageButton *c = cell(m_column, m_row))
            c->update();
        setCursorCell(column + 1, row + 1);
        return;
    }
    if (isPressKey(event)) {
        event->accept();
        ballwick::markKeyboardUse(this);
        TImageButton *c = cell(m_column, m_row);
        if (c)
            c->update();
        if (c && !event->isAutoRepeat())
            c->click();
        return;
    }
    QLabel::keyPressEvent(event);
}

void Tcardbox::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    showCursor(true);
    QPointer<Tcardbox> self(this);
    announceFocus(this, m_events, [self]() -> QAccessibleInterface * {
        TImageButton *c = self ? self->cell(self->cursorColumn(), self->cursorRow()) : nullptr;
        return c ? QAccessible::queryAccessibleInterface(c) : nullptr;
    }, true);
}

void Tcardbox::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    showCursor(false);
}
