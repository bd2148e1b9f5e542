#pragma once
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

// Tiles a picture over its window's surface. Created with the window it serves;
// from then on every paint of that window first draws the tile in a grid from
// 0, 0 (window width / tile width + 2 columns, the same for rows), then the
// window's own painting runs. Transparent TFlatPanels on the window show it.
// Destroying it gives the window its plain painting back.
class TLbBackground : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QPixmap Image READ image WRITE setImage)
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)

public:
    explicit TLbBackground(QWidget *window);
    ~TLbBackground() override;

    QWidget *window() const { return m_window; }
    QPixmap image() const { return m_image; }
    // Copies the picture and repaints the window.
    void setImage(const QPixmap &tile);
    bool enabled() const { return m_enabled; }
    // Repaints the window.
    void setEnabled(bool on);

    // Draws the tile grid for a surface of the given size (also used by the window
    // itself when it is rendered into a pixmap).
    void paintTiles(QPainter &p, QSize surface) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    QPixmap m_image;
    bool m_enabled = true;
};
