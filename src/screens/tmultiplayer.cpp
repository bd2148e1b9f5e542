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

// The same picture at twice the size, for high-density screens.
QByteArray embeddedLargePicture()
{
    return readPicture(QStringLiteral(":/screens/multiplayer@2x.jpg"));
}

constexpr QSize pictureSize(400, 300);

} // namespace

// A tool window: small caption bar, fixed size.
Tmultiplayer::Tmultiplayer(QWidget *mainWindow, ballwick::LinkOpener &links)
    : ScreenWindow(mainWindow, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                     | Qt::WindowCloseButtonHint)
{
    setObjectName("tmultiplayer");
    setWindowTitle(QStringLiteral("Ballwick Solo - Multiplayer"));
    setFixedSize(569, 431);

    m_url1 = new TURL(links, this);
    m_url1->setObjectName(QStringLiteral("URL1"));
    setAddress(m_url1, QStringLiteral(BALLWICK_MULTIPLAYER_URL));

    auto *label6 = new TImageButton(this);
    label6->setObjectName(QStringLiteral("Label6"));
    label6->setGeometry(0, 16, 563, 23);
    label6->setAlignment(Qt::AlignCenter);
    label6->setWordWrap(true);
    label6->setFont(pixelFont(QStringLiteral("Times New Roman"), 12, true));
    label6->setTextFormat(Qt::PlainText);
    label6->setText(QStringLiteral("Enjoy Ballwick Solo? Try the multiplayer version at %1!")
                        .arg(displayAddress(QStringLiteral(BALLWICK_SITE_URL))));
    connect(label6, &TImageButton::clicked, this, &Tmultiplayer::Label6Click);

    auto *label1 = new TImageButton(this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(32, 48, 489, 41);
    label1->setAlignment(Qt::AlignCenter);
    label1->setWordWrap(true);
    label1->setFont(pixelFont(QStringLiteral("Times New Roman"), 14, true));
    label1->setTextFormat(Qt::PlainText);
    label1->setText(QStringLiteral("Click here to learn how to play Dabfest against other players online!"));
    connect(label1, &TImageButton::clicked, this, &Tmultiplayer::Label6Click);

    m_image = new TImageButton(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setGeometry(QRect(QPoint(80, 96), pictureSize));
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
    showDefaultPicture();
}

// The 2x picture on a high-density screen (when it decodes), else the 1x one.
void Tmultiplayer::showDefaultPicture()
{
    m_ownPicture = false;
    m_pictureRatio = devicePixelRatioF();
    if (m_pictureRatio > 1 && showPicture(defaultLargePicture()))
        return;
    showPicture(defaultPicture());
}

void Tmultiplayer::showEvent(QShowEvent *event)
{
    // The window may open on a screen of another density than it was made on.
    if (!m_ownPicture && !qFuzzyCompare(devicePixelRatioF(), m_pictureRatio))
        showDefaultPicture();
    ScreenWindow::showEvent(event);
}

QImage Tmultiplayer::defaultPicture()
{
    return ballwick::decodeJpeg(embeddedPicture());
}

QImage Tmultiplayer::defaultLargePicture()
{
    return ballwick::decodeJpeg(embeddedLargePicture());
}

bool Tmultiplayer::loadPicture(const QByteArray &jpeg)
{
    m_ownPicture = true;
    return showPicture(ballwick::decodeJpeg(jpeg));
}

bool Tmultiplayer::showPicture(QImage picture)
{
    m_picture = std::move(picture);
    if (m_picture.isNull()) {
        m_image->setPixmap(QPixmap());
        return false;
    }
    // A picture larger than its place is a high-density one: drawn at the
    // place's logical size.
    QPixmap pix = QPixmap::fromImage(m_picture);
    pix.setDevicePixelRatio(qMax<qreal>(1, qreal(m_picture.width()) / pictureSize.width()));
    m_image->setPixmap(pix);
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
