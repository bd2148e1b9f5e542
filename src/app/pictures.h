#pragma once
#include <QLabel>
#include <QWidget>

#include <array>
#include <functional>

#include "app/board.h"
#include "widgets/accessible.h"
#include "widgets/picture.h"
#include "widgets/timagebutton.h"

class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

namespace ballwick {

// A picture button of the main window at its place, showing the picture at
// path (or a plain stand-in of its size). Its accessible name is the word the
// picture shows (START GAME, SEND SCORE, HIGH SCORES, CANCEL, DONE, OK).
TImageButton *pictureButton(QWidget *parent, const char *name, QRect geometry, const QString &path);

// The word a button picture shows, or empty for another picture.
QString pictureWord(const QString &path);

} // namespace ballwick

// The ball board's paint surface: paints through a callback and reports where a
// press was released, in its own pixels, wherever the release happens.
//
// The keyboard reaches it with Tab (a click does not move the focus). A cursor
// stands on one of the 15 x 5 slots: the arrow keys move it, wrapping at the
// edges, and Space or Enter report a release at the centre of its slot, just as
// a click there. While the board has the focus and the keyboard is in use in
// the window, a ring is drawn around the cursor's slot.
//
// Screen readers see a list of 75 items, one per slot, named by slotName (set
// by the window); the cursor's slot is the focused item.
class Tpaintbox : public QWidget
{
    Q_OBJECT
public:
    // events: where its announcements to a screen reader go.
    explicit Tpaintbox(ballwick::AccessibleEvents &events, QWidget *parent = nullptr);

    int cursorSlot() const { return m_cursor; }
    void setCursorSlot(int slot);
    // The slot's rectangle on the board, clipped to the board.
    QRect slotRect(int slot) const;

    // What a screen reader says for a slot.
    using SlotName = std::function<QString(int slot)>;
    void setSlotName(SlotName name) { m_slotName = std::move(name); }
    QString slotName(int slot) const;
    // The slot's picture changed: its item is renamed for the reader.
    void slotChanged(int slot);
    // A release at the centre of the slot, as a click there.
    void activateSlot(int slot);

signals:
    void paint(QPainter &painter);
    void mouseUp(Qt::MouseButton button, int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void announceCursor();

    ballwick::AccessibleEvents &m_events;
    int m_cursor = 0;
    SlotName m_slotName;
};

// A card's picture, which the keyboard reaches with Tab (a click does not move
// the focus). A cursor stands on one of the card's 25 cells: the arrow keys
// move it, wrapping at the edges, and Space or Enter click that cell. While
// the card has the focus and the keyboard is in use in the window, the cell
// under the cursor shows the ring.
//
// Screen readers see the card as a group of its 25 cells, row by row; the
// cursor's cell is the focused one.
class Tcardbox : public QLabel
{
    Q_OBJECT
public:
    explicit Tcardbox(ballwick::AccessibleEvents &events, QWidget *parent = nullptr);

    // The card's cells, column 1..5, row 1..5; they are read as parts of the card.
    void setCell(int column, int row, TImageButton *cell);
    TImageButton *cell(int column, int row) const;
    int cursorColumn() const { return m_column; }
    int cursorRow() const { return m_row; }
    void setCursorCell(int column, int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showCursor(bool on);
    void announceCursor();

    ballwick::AccessibleEvents &m_events;
    std::array<TImageButton *, 25> m_cells{};
    int m_column = 1;
    int m_row = 1;
};
