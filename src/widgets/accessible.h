#pragma once
#include <QAccessibleWidget>

#include <functional>

class QWidget;

namespace ballwick {

// How screen readers see the program's own widgets. Installed once, by the
// first of them to be made (installing again does nothing):
// - a picture button (TImageButton) is a button named by its word (its
//   accessible name, else its stand-in text, tool tip or text) that presses
//   with the reader's action;
// - a caption button (TSelButton) is a button named by its caption;
// - a flat panel (TFlatPanel) is a panel named by its accessible name or its
//   caption, listing its child widgets except those read as parts of another
//   widget (below).
void installWidgetAccessibility();

// A widget read as a part of another one (a card cell as a part of its card):
// the reader finds it under the owner, whose own interface lists it, and not
// under its parent widget.
void setAccessibleOwner(QWidget *part, QWidget *owner);
QWidget *accessibleOwner(const QWidget *part);

// Where the accessibility events that the program's own code sends (a slot's
// new name, a cursor's focus, a changed value) go. main() hands Qt's route to
// the main window; tests hand in a recorder, since Qt drops the events while
// no screen reader is active.
class AccessibleEvents
{
public:
    virtual ~AccessibleEvents() = default;
    virtual void notify(QAccessibleEvent *event) = 0;
};

// Qt's route: the event reaches a screen reader while one listens.
class QtAccessibleEvents : public AccessibleEvents
{
public:
    void notify(QAccessibleEvent *event) override;
};

// Tells a screen reader that a shown value changed (the big ball, the score
// line): a name change of the widget, whose name is the new text. (A value
// change would be dropped by the desktop's bridge for a label, which has no
// numeric value.)
void announceChange(AccessibleEvents &events, QWidget *widget);

} // namespace ballwick
