#pragma once
#include <QWidget>

#include "widgets/picture.h"
#include "widgets/timagebutton.h"

class QMouseEvent;
class QPaintEvent;

namespace ballwick {

// A picture button of the main window at its place, showing the picture at
// path (or a plain stand-in of its size).
TImageButton *pictureButton(QWidget *parent, const char *name, QRect geometry, const QString &path);

} // namespace ballwick

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
