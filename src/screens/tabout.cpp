#include "screens/tabout.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QtMath>

#include <ballwick_config.h>

#include "online/turl.h"
#include "screens/screencommon.h"
#include "widgets/timagebutton.h"
#include "widgets/picture.h"
#include "widgets/tlbbackground.h"
#include "widgets/tselbutton.h"

using namespace ballwick::screens;

namespace {

// "1.0.2.2" -> "1.0.2" and ".2": the first three parts and the build part.
QString versionHead()
{
    const QString full = QStringLiteral(BALLWICK_VERSION_FULL);
    const qsizetype last = full.lastIndexOf(QLatin1Char('.'));
    return last > 0 && full.count(QLatin1Char('.')) == 3 ? full.left(last) : full;
}

QString versionTail()
{
    const QString full = QStringLiteral(BALLWICK_VERSION_FULL);
    return full.mid(versionHead().size());
}

} // namespace

// The game's logo fitted to the height of its place, with the game's name
// beside it, centred in the place; an empty picture when the logo is missing.
// Drawn at the screen's pixel density: box is in logical pixels.
QPixmap Tabout::logoPicture(QSize box, qreal devicePixelRatio)
{
    const QPixmap logo = ballwick::loadPicture(QStringLiteral(":/images/logo.png"));
    if (logo.isNull() || box.isEmpty())
        return QPixmap();
    // The logo's logical size, fitted into the box.
    const QSizeF logoSize = (QSizeF(logo.size()) / logo.devicePixelRatio())
                                .scaled(QSizeF(box), Qt::KeepAspectRatio);
    const QString name = QStringLiteral("Ballwick");
    const QFont font = pixelFont(QStringLiteral("Arial"), 24, true);
    const qreal gap = 8;
    const qreal textWidth = QFontMetricsF(font).horizontalAdvance(name);
    const qreal left = qMax<qreal>(0, (box.width() - logoSize.width() - gap - textWidth) / 2);

    const qreal ratio = qMax<qreal>(1, devicePixelRatio);
    QPixmap out(QSize(qCeil(box.width() * ratio), qCeil(box.height() * ratio)));
    out.setDevicePixelRatio(ratio);
    out.fill(Qt::transparent);
    QPainter p(&out); // in logical pixels from here on
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.drawPixmap(QRectF(QPointF(left, (box.height() - logoSize.height()) / 2), logoSize), logo,
                 QRectF(logo.rect()));
    p.setFont(font);
    p.setPen(QColor::fromRgb(buttonColour));
    p.drawText(QRectF(left + logoSize.width() + gap, 0, box.width(), box.height()),
               Qt::AlignLeft | Qt::AlignVCenter, name);
    return out;
}

namespace {

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QFont &font,
              const QPoint &at)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setFont(font);
    l->move(at);
    l->adjustSize();
    return l;
}

} // namespace

// A dialog frame: fixed size, no minimise or maximise.
Tabout::Tabout(QWidget *mainWindow, ballwick::LinkOpener &links)
    : ScreenWindow(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                     | Qt::WindowCloseButtonHint)
{
    setObjectName("tabout");
    setWindowTitle(QStringLiteral("Ballwick - About"));
    setFixedSize(304, 193);

    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setGeometry(42, 10, 211, 53);
    m_image->setAttribute(Qt::WA_TranslucentBackground);
    drawLogo();

    m_url1 = new TURL(links, this);
    m_url1->setObjectName(QStringLiteral("URL1"));
    setAddress(m_url1, QStringLiteral(BALLWICK_SITE_URL));

    auto *link = new TImageButton(this);
    link->setObjectName(QStringLiteral("Label7"));
    link->setGeometry(8, 72, 289, 20);
    link->setAlignment(Qt::AlignCenter);
    QFont linkFont = pixelFont(QStringLiteral("Arial"), 12, true);
    linkFont.setUnderline(true);
    link->setFont(linkFont);
    link->setTextFormat(Qt::PlainText);
    link->setText(displayAddress(QStringLiteral(BALLWICK_SITE_URL)));
    link->setToolTip(m_url1->address());
    connect(link, &TImageButton::clicked, this, &Tabout::Label7Click);

    // Credit and copyright lines; the year range ends with label_year.
    const QFont small = pixelFont(QStringLiteral("Arial"), 8);
    label(this, QStringLiteral("Label2"), QStringLiteral("Ballwick Solo Bingo for the Linux desktop"),
          small, QPoint(4, 122));
    label(this, QStringLiteral("Label3"), QStringLiteral("made by Quendra Software"), small,
          QPoint(4, 138));
    QLabel *copyright = label(this, QStringLiteral("Label4"), QStringLiteral("Copyright (c) 2011 -"),
                              small, QPoint(4, 154));
    label_year = label(this, QStringLiteral("label_year"), QStringLiteral("0000"), small,
                       QPoint(copyright->geometry().right() + 4, 154));

    // "Version 1.0.2.2" in three labels side by side.
    const QFont versionFont = pixelFont(QStringLiteral("Times New Roman"), 10, true);
    label(this, QStringLiteral("Label1"), QStringLiteral("Version"), versionFont, QPoint(48, 171));
    QPalette red = palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_version = label(this, QStringLiteral("version"), versionHead(), versionFont, QPoint(96, 171));
    m_version->setPalette(red);
    QLabel *build = label(this, QStringLiteral("Label9"), versionTail(), versionFont,
                          QPoint(qMax(123, m_version->x() + m_version->fontMetrics().horizontalAdvance(m_version->text())), 171));
    build->setPalette(red);

    TSelButton *done = captionButton(this, QStringLiteral("button_done"), QStringLiteral("Done"),
                                     QRect(202, 164, 95, 20), buttonText, TSelButton::Center);
    connect(done, &TSelButton::clicked, this, &Tabout::Button1Click);

    FormCreate();
}

Tabout::~Tabout() = default;

void Tabout::drawLogo()
{
    m_logoRatio = devicePixelRatioF();
    m_image->setPixmap(logoPicture(m_image->size(), m_logoRatio));
}

void Tabout::showEvent(QShowEvent *event)
{
    // The window may open on a screen of another density than it was made on.
    if (!qFuzzyCompare(devicePixelRatioF(), m_logoRatio))
        drawLogo();
    ScreenWindow::showEvent(event);
}

void Tabout::FormCreate()
{
    label_year->setText(currentYear());
    label_year->adjustSize();
}

QString Tabout::versionText() const
{
    return m_version->text();
}

void Tabout::Label7Click()
{
    m_url1->OpenURL();
}

void Tabout::Button1Click()
{
    hide();
}
