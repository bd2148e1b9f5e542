#pragma once
#include <QByteArray>
#include <QImage>
#include <QWidget>

#include "screens/screencommon.h"

class TImageButton;
class TURL;
namespace ballwick {
class LinkOpener;
}

// The "Ballwick Solo - Multiplayer" window: created once at start, hidden
// rather than destroyed. Two invitation sentences and a picture of the
// multiplayer game; a click on any of the three opens the game's page (URL1).
class Tmultiplayer : public ballwick::screens::ScreenWindow
{
    Q_OBJECT
public:
    // links opens the window's addresses and must outlive it.
    Tmultiplayer(QWidget *mainWindow, ballwick::LinkOpener &links);
    ~Tmultiplayer() override;

    // Decodes a JPEG picture and shows it as Image1. A damaged picture leaves
    // Image1 empty (the rest of the window works as before); returns whether
    // the picture could be shown.
    bool loadPicture(const QByteArray &jpeg);
    // The picture Image1 shows (null when there is none).
    QImage picture() const { return m_picture; }

    TURL *URL1() const { return m_url1; }

    // The embedded picture of the multiplayer game, decoded; null if damaged.
    static QImage defaultPicture();
    // Its twin at twice the size (800 x 600), shown on high-density screens.
    static QImage defaultLargePicture();

public slots:
    // Bound to Label6, Label1 and Image1.
    void Label6Click();
    void button_doneClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void showDefaultPicture();
    bool showPicture(QImage picture);

    TURL *m_url1 = nullptr;
    TImageButton *m_image = nullptr;
    QImage m_picture;
    qreal m_pictureRatio = 1;
    bool m_ownPicture = false; // loadPicture was given another picture
};
