#include "screens/tabout.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

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

// The game's logo fitted to the height of its place, with the game's name
// beside it, centred in the place; an empty picture when the logo is missing.
QPixmap logoPicture(QSize box)
{
    const QPixmap logo = ballwick::loadPicture(QStringLiteral(":/images/logo.png"));
    if (logo.isNull())
        return QPixmap();
    const QPixmap scaled = logo.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QString name = QStringLiteral("Ballwick");
    const QFont font = pixelFont(QStringLiteral("Arial"), 24, true);
    const int gap = 8;
    const int textWidth = QFontMetrics(font).horizontalAdvance(name);
    const int left = qMax(0, (box.width() - scaled.width() - gap - textWidth) / 2);

    QPixmap out(box);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.drawPixmap(left, (box.height() - scaled.height()) / 2, scaled);
    p.setFont(font);
    p.setPen(QColor::fromRgb(buttonColour));
    p.drawText(QRect(left + scaled.width() + gap, 0, box.width(), box.height()),
               Qt::AlignLeft | Qt::AlignVCenter, name);
    return out;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QFont &font,
              const QPoint &at)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(font);
    l->move(at);
    l->adjustSize();
    return l;
}

} // namespace

// A dialog frame: fixed size, no minimise or maximise.
Tabout::Tabout(QWidget *mainWindow)
    : ScreenWindow(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                     | Qt::WindowCloseButtonHint)
{
    setObjectName("tabout");
    setWindowTitle(QStringLiteral("Ballwick - About"));
    setFixedSize(304, 193);

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(42, 10, 211, 53);
    image->setAttribute(Qt::WA_TranslucentBackground);
    image->setPixmap(logoPicture(image->size()));

    m_url1 = new TURL(this);
    m_url1->setObjectName(QStringLiteral("URL1"));
    setAddress(m_url1, QStringLiteral(BALLWICK_SITE_URL));

    auto *link = new TImageButton(this);
    link->setObjectName(QStringLiteral("Label7"));
    link->setGeometry(8, 72, 289, 20);
    link->setAlignment(Qt::AlignCenter);
    QFont linkFont = pixelFont(QStringLiteral("Arial"), 12, true);
    linkFont.setUnderline(true);
    link->setFont(linkFont);
    link->setText(displayAddress(QStringLiteral(BALLWICK_SITE_URL)));
    link->setToolTip(m_url1->address());
    connect(link, &TImageButton::clicked, this, &Tabout::Label7Click);

    // Credit and copyright lines; the year range ends with label_year.
    const QFont small = pixelFont(QStringLiteral("Arial"), 8);
    label(this, QStringLiteral("Label2"), QStringLiteral("Ballwick Solo Bingo for the Linux desktop"),
          small, QPoint(4, 122));
    label(this, QStringLiteral("Label3"), QStringLiteral("made by the Ballwick developers"), small,
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
