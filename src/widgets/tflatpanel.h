#pragma once
#include <QColor>
#include <QString>
#include <QWidget>

// A panel with a one-pixel two-colour frame and an optional one-line caption.
// A transparent panel shows what its parent draws under it (for the main window:
// the tiled background) instead of a fill. It paints into the window's
// off-screen backing store, which reaches the screen in one step.
//
// The fill colour (Color) and the caption colour (FontColor) live in the
// panel's palette (Window and WindowText roles), so a new panel takes them from
// its parent and the panel's children inherit them, like its font.
class TFlatPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor ColorHighLight READ colorHighLight WRITE setColorHighLight)
    Q_PROPERTY(QColor ColorShadow READ colorShadow WRITE setColorShadow)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(Alignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)

public:
    enum Alignment { Left = 0, Right = 1, Center = 2 };
    Q_ENUM(Alignment)

    static constexpr QRgb defaultFrameColor = 0xA09683;

    explicit TFlatPanel(QWidget *parent = nullptr);
    ~TFlatPanel() override;

    QColor colorHighLight() const { return m_highLight; }
    void setColorHighLight(const QColor &c);
    QColor colorShadow() const { return m_shadow; }
    void setColorShadow(const QColor &c);
    bool transparent() const { return m_transparent; }
    void setTransparent(bool on);
    QColor color() const;
    void setColor(const QColor &c);
    QColor fontColor() const;
    void setFontColor(const QColor &c);
    Alignment alignment() const { return m_alignment; }
    void setAlignment(Alignment a);
    QString caption() const { return m_caption; }
    void setCaption(const QString &text);

    // Both frame colours at once (the overlays use one colour for both).
    void setFrameColor(const QColor &c);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The panel's picture (background, frame, caption) for the exposed part.
    void paintPanel(QPainter &p, const QRect &exposed);
    void paintBackground(QPainter &p, const QRect &exposed);

    QColor m_highLight{QColor::fromRgb(defaultFrameColor)};
    QColor m_shadow{QColor::fromRgb(defaultFrameColor)};
    bool m_transparent = false;
    Alignment m_alignment = Center;
    QString m_caption;
};
