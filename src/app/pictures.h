#pragma once
#include <QLabel>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QMouseEvent;
class QPaintEvent;

namespace ballwick {

// Loads a picture from the embedded resources; a missing picture gives a plain
// stand-in of the asked size, so the window still lays out and plays.
QPixmap picture(const QString &path, QSize fallbackSize, const QColor &fallbackColor = QColor(0x57, 0x26, 0x5B));

} // namespace ballwick

// A picture that acts as a button: a left click released over it fires clicked().
class Timagebutton : public QLabel
{
    Q_OBJECT
public:
    explicit Timagebutton(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

// The ball board's paint surface: paints through a callback and reports where a
// press was released, in its own pixels, wherever the release happens.
class Tpaintbox : public QWidget
{
    Q_OBJECT
public:
    explicit Tpaintbox(QWidget *parent = nullptr);

signals:
    void paint(QPainter &painter);
    void mouseUp(Qt::MouseButton button, int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
