#pragma once
#include <QProxyStyle>

namespace ballwick {

// The platform's style, with the menu bar's overflow button ("»", shown when
// the menus do not fit) drawn by the program. The stock arrow is a picture
// that Qt reads through every installed image-format plugin, loading all of
// them (and the SVG library) while the main window is still being built;
// nothing else the game shows needs those plugins.
class MenuStyle final : public QProxyStyle
{
public:
    // Wraps the style the application would use (the platform's, or the one
    // asked for with -style or QT_STYLE_OVERRIDE).
    MenuStyle();
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace ballwick
