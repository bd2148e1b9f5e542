#include "widgets/tlbbackground.h"

#include <QEvent>
#include <QPainter>

TLbBackground::TLbBackground(QWidget *window) : QObject(window), m_window(window)
{
    if (m_window)
        m_window->installEventFilter(this);
}

TLbBackground::~TLbBackground()
{
    if (m_window) {
        m_window->removeEventFilter(this);
        m_window->update();
    }
}

void TLbBackground::setImage(const QPixmap &tile)
{
    m_image = tile;
    if (m_window)
        m_window->update();
}

void TLbBackground::setEnabled(bool on)
{
    m_enabled = on;
    if (m_window)
        m_window->update();
}

void TLbBackground::paintTiles(QPainter &p, QSize surface) const
{
    if (!m_enabled || m_image.isNull())
        return;
    // Logical size of the tile: a 2x picture covers the same area as the 1x one.
    const QSizeF tileSize = m_image.deviceIndependentSize();
    const int tw = qMax(1, qRound(tileSize.width()));
    const int th = qMax(1, qRound(tileSize.height()));
    const int cols = surface.width() / tw + 2;
    const int rows = surface.height() / th + 2;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            p.drawPixmap(c * tw, r * th, m_image);
}

bool TLbBackground::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Paint && m_enabled && !m_image.isNull()) {
        QPainter p(m_window);
        paintTiles(p, m_window->size());
    }
    // The window's own painting runs after the tile.
    return false;
}
