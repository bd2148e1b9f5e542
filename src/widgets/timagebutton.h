#pragma once
#include <QColor>
#include <QLabel>
#include <QString>

class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

// A picture (or text) that acts as a button: a left press released over it
// fires clicked(). It shows the pointing-hand cursor. A disabled button never
// fires.
//
// The keyboard reaches it with Tab (a click does not move the focus), Space or
// Enter fire it as a click, and while it has the focus it shows the focus
// ring once the keyboard is in use in its window. A widget that moves a cursor
// over buttons it owns (a card over its cells) puts the same ring on one of
// them with setCursorRing.
//
// Two looks for the tally list's buttons, off unless asked for:
// - sinksWhenDown: while the left button is held on it, the picture is drawn
//   one pixel down and right, filling the button;
// - a stand-in: when it has no picture, it draws a frame in the given colour
//   with the stand-in text centred, so it stays usable.
class TImageButton : public QLabel
{
    Q_OBJECT
public:
    explicit TImageButton(QWidget *parent = nullptr);

    bool sinksWhenDown() const { return m_sinks; }
    void setSinksWhenDown(bool sinks);
    QString standInText() const { return m_standIn; }
    void setStandIn(const QString &text, const QColor &frame);

    // The left button is held and the pointer is over the button.
    bool isDown() const { return m_pressed && m_over; }

    // The keyboard cursor of the widget owning this button stands on it.
    bool cursorRing() const { return m_ringed; }
    void setCursorRing(bool on);

public slots:
    // Fires clicked() as a click with the mouse would, when enabled.
    void click();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void setOver(bool over);
    void paintFace(QPaintEvent *event);

    bool m_pressed = false;
    bool m_over = false;
    bool m_sinks = false;
    bool m_ringed = false;
    QString m_standIn;
    QColor m_frame;
};
