#pragma once
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include "widgets/tselbutton.h"

class QShowEvent;
class TLbBackground;
class TURL;

// What the help, about and multiplayer windows have in common: their colours,
// their caption buttons, the tile copied from the main window, and where they
// first appear.
namespace ballwick::screens {

inline constexpr QRgb windowColour = 0xE8E3C5;
inline constexpr QRgb buttonColour = 0x57265B;
inline constexpr QRgb helpButtonText = 0xF4F2E3;
inline constexpr QRgb buttonText = 0xF5F3E7;

// A font of the given size in points at 96 dots per inch, fixed in pixels so
// the windows look the same whatever the desktop's font scaling.
QFont pixelFont(const QString &family, int points, bool bold = false);

// Gives a secondary window its colour and its tiled background LbBackground1,
// whose picture is a copy of the main window's (its LbBackground1, or the
// game's tile when the main window has none). Closing such a window only hides
// it, and an open one does not keep the program running once the main window
// has closed.
TLbBackground *setUpWindow(QWidget *window, QWidget *mainWindow);

// A caption button in the windows' purple with light bold text.
TSelButton *captionButton(QWidget *parent, const QString &name, const QString &caption,
                          const QRect &geometry, QRgb textColour,
                          TSelButton::Alignment alignment);

// Moves a window so that it is centred over the main window (kept on the
// screen the main window is on).
void centreOver(QWidget *window, const QWidget *mainWindow);

// Shows a secondary window modeless and in front.
void showModeless(QWidget *window);

// Points a link opener at an address: an http or https address is stored
// without its scheme and with the matching type, anything else whole.
void setAddress(TURL *url, const QString &address);

// The address as a player reads it: no scheme, no trailing slash.
QString displayAddress(const QString &address);

// The current calendar year in four digits.
QString currentYear();

// The frame of the help, about and multiplayer windows: created once, hidden
// rather than destroyed. It has the windows' colour and the tiled background
// LbBackground1 (see setUpWindow); the first time it shows it stands centred
// over the main window, afterwards it reopens where the player left it.
class ScreenWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ScreenWindow(QWidget *mainWindow, Qt::WindowFlags flags = {});

protected:
    void showEvent(QShowEvent *event) override;

    QWidget *const m_main;
    TLbBackground *LbBackground1 = nullptr;

private:
    bool m_placed = false;
};

} // namespace ballwick::screens
