#pragma once
#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>

// A flat caption button: a frame, a fill and a line of text that change with the
// pointer. Normal: Color and the font colour. Pointer over it: ColorOver and
// ColorOverCaption. Left button held on it: ColorDown with the text shifted by one
// pixel. It draws no background of its own outside its rectangle.
//
// Signals: mouseDown (left button pressed), clicked (left button released over
// the button after a press on it), mouseUp (left button released). A disabled
// button ignores the pointer and never emits them.
//
// The keyboard reaches it with Tab (a click does not move the focus); Space or
// Enter fire it as a click, and while it has the focus it shows the focus ring
// once the keyboard is in use in its window.
class TSelButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(QColor ColorOver READ colorOver WRITE setColorOver)
    Q_PROPERTY(QColor ColorOverCaption READ colorOverCaption WRITE setColorOverCaption)
    Q_PROPERTY(QColor ColorDown READ colorDown WRITE setColorDown)
    Q_PROPERTY(QColor ColorBorder READ colorBorder WRITE setColorBorder)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(int BorderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(Alignment Alignment READ alignment WRITE setAlignment)

public:
    enum Alignment { Left = 0, Right = 1, Center = 2 };
    Q_ENUM(Alignment)
    enum class State { Normal, Over, Pressed };

    explicit TSelButton(QWidget *parent = nullptr);
    ~TSelButton() override;

    // Until a caption is set, the button shows its object name.
    QString caption() const;
    void setCaption(const QString &text);
    QColor color() const { return m_color; }
    void setColor(const QColor &c);
    QColor colorOver() const { return m_colorOver; }
    void setColorOver(const QColor &c);
    QColor colorOverCaption() const { return m_colorOverCaption; }
    void setColorOverCaption(const QColor &c);
    QColor colorDown() const { return m_colorDown; }
    void setColorDown(const QColor &c);
    QColor colorBorder() const { return m_colorBorder; }
    void setColorBorder(const QColor &c);
    QColor fontColor() const { return m_fontColor; }
    void setFontColor(const QColor &c);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int w);
    Alignment alignment() const { return m_alignment; }
    void setAlignment(Alignment a);

    // Which look the button shows now, and the fill and text colour it paints.
    State state() const { return m_state; }
    QColor currentFill() const;
    QColor currentTextColor() const { return m_textColor; }

public slots:
    // The click without the pointer: the normal look, then clicked() when enabled.
    void click();

signals:
    void clicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showState(State s);

    QString m_caption;
    bool m_captionSet = false;
    QColor m_color;
    QColor m_colorOver{QColor::fromRgb(0x84B9A4)};
    QColor m_colorOverCaption{Qt::black};
    QColor m_colorDown{QColor::fromRgb(0x84B9A4)};
    QColor m_colorBorder{QColor::fromRgb(0x808080)};
    QColor m_fontColor{QColor::fromRgb(0x808080)};
    QColor m_textColor{QColor::fromRgb(0x808080)};
    int m_borderWidth = 1;
    Alignment m_alignment = Left;
    State m_state = State::Normal;
    bool m_pressed = false;
};
