#include "screens/screencommon.h"

#include <QDate>
#include <QGuiApplication>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QShortcut>
#include <QUrl>
#include <QWidget>

#include "online/turl.h"
#include "widgets/fonts.h"
#include "widgets/picture.h"
#include "widgets/tlbbackground.h"

// The windows' own resources (the multiplayer picture, the licence) live in a
// static library; referencing the initialiser keeps them in the program.
static void initScreensResources()
{
    Q_INIT_RESOURCE(screens);
}

namespace ballwick::screens {

QFont pixelFont(const QString &family, int points, bool bold)
{
    QFont f;
    f.setFamilies(familiesFor(family));
    f.setPixelSize((points * 96 + 36) / 72);
    f.setBold(bold);
    return f;
}

TLbBackground *setUpWindow(QWidget *window, QWidget *mainWindow)
{
    initScreensResources();
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(windowColour));
    pal.setColor(QPalette::WindowText, Qt::black);
    window->setPalette(pal);
    window->setAutoFillBackground(true);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setAttribute(Qt::WA_QuitOnClose, false);

    auto *background = new TLbBackground(window);
    background->setObjectName(QStringLiteral("LbBackground1"));
    QPixmap tile;
    if (mainWindow) {
        // The main window may keep it on its client area rather than itself.
        const auto *mainBackground =
            mainWindow->findChild<TLbBackground *>(QStringLiteral("LbBackground1"));
        if (mainBackground)
            tile = mainBackground->image();
    }
    if (tile.isNull())
        tile = ballwick::loadPicture(QStringLiteral(":/images/tile.png"));
    background->setImage(tile);
    background->setEnabled(true);
    return background;
}

TSelButton *captionButton(QWidget *parent, const QString &name, const QString &caption,
                          const QRect &geometry, QRgb textColour, TSelButton::Alignment alignment)
{
    auto *b = new TSelButton(parent);
    b->setObjectName(name);
    b->setCaption(caption);
    b->setGeometry(geometry);
    b->setColor(QColor::fromRgb(buttonColour));
    b->setColorOver(QColor::fromRgb(buttonColour));
    b->setColorDown(QColor::fromRgb(buttonColour));
    b->setColorBorder(QColor::fromRgb(windowColour));
    b->setColorOverCaption(QColor::fromRgb(windowColour));
    b->setFontColor(QColor::fromRgb(textColour));
    b->setBorderWidth(1);
    b->setAlignment(alignment);
    b->setFont(pixelFont(QStringLiteral("Arial"), 10, true));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

void centreOver(QWidget *window, const QWidget *mainWindow)
{
    QRect area;
    QPoint centre;
    if (mainWindow) {
        const QRect frame = mainWindow->frameGeometry();
        centre = frame.center();
        if (const QScreen *s = mainWindow->screen())
            area = s->availableGeometry();
    } else if (const QScreen *s = QGuiApplication::primaryScreen()) {
        area = s->availableGeometry();
        centre = area.center();
    }
    const QSize size = window->frameGeometry().size();
    QPoint topLeft(centre.x() - size.width() / 2, centre.y() - size.height() / 2);
    if (area.isValid()) {
        // Keep the caption bar reachable: never off the left or top edge, and
        // as far on the screen as the window's size allows.
        topLeft.setX(qMax(area.left(), qMin(topLeft.x(), area.right() + 1 - size.width())));
        topLeft.setY(qMax(area.top(), qMin(topLeft.y(), area.bottom() + 1 - size.height())));
    }
    window->move(topLeft);
}

void showModeless(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void setAddress(TURL *url, const QString &address)
{
    const QString lower = address.toLower();
    if (lower.startsWith(QLatin1String("http://"))) {
        url->setURLType(utHttp);
        url->setURL(address.mid(7));
    } else if (lower.startsWith(QLatin1String("https://"))) {
        url->setURLType(utHttps);
        url->setURL(address.mid(8));
    } else {
        url->setURLType(utnone);
        url->setURL(address);
    }
}

QString displayAddress(const QString &address)
{
    QString shown = address;
    const qsizetype scheme = shown.indexOf(QLatin1String("://"));
    if (scheme >= 0)
        shown = shown.mid(scheme + 3);
    while (shown.endsWith(QLatin1Char('/')))
        shown.chop(1);
    return shown;
}

QString currentYear()
{
    return QStringLiteral("%1").arg(QDate::currentDate().year(), 4, 10, QLatin1Char('0'));
}

ScreenWindow::ScreenWindow(QWidget *mainWindow, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), m_main(mainWindow)
{
    LbBackground1 = setUpWindow(this, mainWindow);
    // Escape closes the window as its Done button does.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
        if (auto *done = findChild<TSelButton *>(QStringLiteral("button_done")))
            done->click();
    });
}

void ScreenWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        centreOver(this, m_main);
    }
}

} // namespace ballwick::screens
