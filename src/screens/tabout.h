#pragma once
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QWidget>

#include "screens/screencommon.h"

class QLabel;
class TURL;
namespace ballwick {
class LinkOpener;
}

// The "Ballwick - About" window: created once at start, hidden rather than
// destroyed. Shows the logo, the maker's web address as a link (Label7, opened
// through URL1) and the version, 1.0.2.2 on screen. The label named "version"
// holds the first three parts ("1.0.2"): that is the text the update check
// compares with the server's version.
class Tabout : public ballwick::screens::ScreenWindow
{
    Q_OBJECT
public:
    // links opens the window's addresses and must outlive it.
    Tabout(QWidget *mainWindow, ballwick::LinkOpener &links);
    ~Tabout() override;

    // The text of the "version" label.
    QString versionText() const;
    // The link opener that points at the maker's home page (the high-score
    // window opens it too).
    TURL *URL1() const { return m_url1; }

    // The logo with the game's name, box wide and high in logical pixels, drawn
    // for a screen of the given pixel density.
    static QPixmap logoPicture(QSize box, qreal devicePixelRatio);

public slots:
    void Label7Click();
    void Button1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void drawLogo();

    TURL *m_url1 = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_image = nullptr;
    qreal m_logoRatio = 1;
    QLabel *label_year = nullptr;
};
