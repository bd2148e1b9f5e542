#include "screens/tmultiplayer.h"

#include <QFile>
#include <QPixmap>

#include <ballwick_config.h>

#include "online/turl.h"
#include "screens/jpegpicture.h"
#include "screens/screencommon.h"
#include "widgets/picture.h"
#include "widgets/timagebutton.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"

using namespace ballwick::screens;

namespace {

QByteArray readPicture(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QByteArray embeddedPicture()
{
    return readPicture(QStringLiteral(":/screens/multiplayer.jpg"));
}

} // namespace

// A tool window: small caption bar, fixed size.
Tmultiplayer::Tmultiplayer(QWidget *mainWindow)
    : ScreenWindow(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                     | Qt::WindowCloseButtonHint)
{
    setObjectName("tmultiplayer");
    setWindowTitle(QStringLiteral("Ballwick Solo - Multiplayer"));
    setFixedSize(569, 431);

    m_url1 = new TURL(this);
    m_url1->setObjectName(QStringLiteral("URL1"));
    setAddress(m_url1, QStringLiteral(BALLWICK_MULTIPLAYER_URL));

    auto *label6 = new TImageButton(this);
    label6->setObjectName(QStringLiteral("Label6"));
    label6->setGeometry(0, 16, 563, 23);
    label6->setAlignment(Qt::AlignCenter);
    label6->setWordWrap(true);
    label6->setFont(pixelFont(QStringLiteral("Times New Roman"), 12, true));
    label6->setText(QStringLiteral("Enjoy Ballwick Solo? Try the multiplayer version at %1!")
                        .arg(displayAddress(QStringLiteral(BALLWICK_SITE_URL))));
    connect(label6, &TImageButton::clicked, this, &Tmultiplayer::Label6Click);

    auto *label1 = new TImageButton(this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(32, 48, 489, 41);
    label1->setAlignment(Qt::AlignCenter);
    label1->setWordWrap(true);
    label1->setFont(pixelFont(QStringLiteral("Times New Roman"), 14, true));
    label1->setText(QStringLiteral("Click here to learn how to play Dabfest against other players online!"));
    connect(label1, &TImageButton::clicked, this, &Tmultiplayer::Label6Click);

    m_image = new TImageButton(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setGeometry(80, 96, 400, 300);
    connect(m_image, &TImageButton::clicked, this, &Tmultiplayer::Label6Click);

    for (TImageButton *l : {label6, label1, m_image})
        l->setToolTip(m_url1->address());

    TSelButton *done = captionButton(this, QStringLiteral("button_done"), QStringLiteral("Done"),
                                     QRect(450, 404, 95, 20), buttonText, TSelButton::Center);
    connect(done, &TSelButton::clicked, this, &Tmultiplayer::button_doneClick);

    FormCreate();
}

Tmultiplayer::~Tmultiplayer() = default;

void Tmultiplayer::FormCreate()
{
    loadPicture(embeddedPicture());
}

QImage Tmultiplayer::defaultPicture()
{
    return ballwick::decodeJpeg(embeddedPicture());
}

bool Tmultiplayer::loadPicture(const QByteArray &jpeg)
{
    return showPicture(ballwick::decodeJpeg(jpeg));
}

bool Tmultiplayer::showPicture(QImage picture)
{
    m_picture = std::move(picture);
    if (m_picture.isNull()) {
        m_image->setPixmap(QPixmap());
        return false;
    }
    m_image->setPixmap(QPixmap::fromImage(m_picture));
    return true;
}

void Tmultiplayer::Label6Click()
{
    m_url1->OpenURL();
}

void Tmultiplayer::button_doneClick()
{
    hide();
}
