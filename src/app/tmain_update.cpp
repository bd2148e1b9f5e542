// The update check started at the first showing, and panel_update.
#include "app/tmain.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <memory>
#include <stdexcept>

#include <ballwick_config.h>

#include "app/appdirs.h"
#include "app/pictures.h"
#include "net/selfupdate.h"
#include "net/thttpclidownload.h"
#include "online/serverbase.h"
#include "online/thighscore.h"
#include "online/thttpget.h"
#include "screens/tabout.h"
#include "widgets/fonts.h"
#include "widgets/tflatpanel.h"

struct UpdateParts {
};

void UpdatePartsDeleter::operator()(UpdateParts *parts) const
{
    delete parts;
}

namespace {

const QColor grey(0x80, 0x80, 0x80);

QLabel *panelLabel(QWidget *parent, const char *name, const QString &caption, QRect geometry, int pointSize,
                   bool bold)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignCenter);
    l->setFont(ballwick::uiFont(pointSize, bold));
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, grey);
    l->setPalette(p);
    return l;
}

// The program's own version when no about window is there to show it: the first
// three parts of the build's version.
QString builtVersion()
{
    const QString full = QStringLiteral(BALLWICK_VERSION_FULL);
    const qsizetype last = full.lastIndexOf(QLatin1Char('.'));
    return last > 0 && full.count(QLatin1Char('.')) == 3 ? full.left(last) : full;
}

// The running program's file, in the program directory.
QString programFile()
{
    return ballwick::programDir() + QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

} // namespace

void Tmain::createupdatepanel()
{
    Label15 = panelLabel(panel_update, "Label15", QStringLiteral("Update Available"), QRect(1, 16, 327, 26), 14, true);
    Label17 = panelLabel(panel_update, "Label17", QStringLiteral("Would you like to update now?"),
                         QRect(1, 50, 327, 22), 10, true);
    button_updateyes = ballwick::pictureButton(panel_update, "button_updateyes", QRect(27, 90, 126, 40),
                                               QStringLiteral(":/images/button_ok.png"));
    button_updatecancel = ballwick::pictureButton(panel_update, "button_updatecancel", QRect(171, 90, 126, 40),
                                                  QStringLiteral(":/images/button_cancel.png"));
    label_update = panelLabel(panel_update, "label_update", QString(), QRect(1, 138, 327, 20), 8, true);
    connect(button_updateyes, &TImageButton::clicked, this, &Tmain::button_updateyesClick);
    connect(button_updatecancel, &TImageButton::clicked, this, &Tmain::button_updatecancelClick);
#if !BALLWICK_SELF_UPDATE
    // A packaged game: the package manager owns the program file, so the offer
    // only tells the player where the new version comes from.
    Label17->setText(QStringLiteral("Please update through your package manager."));
    Label17->setWordWrap(true);
    Label17->setGeometry(1, 44, 327, 40);
    button_updateyes->hide();
    button_updatecancel->move(101, 90);
#endif

    checkupdate = new THTTPGet(this);
    checkupdate->setObjectName(QStringLiteral("checkupdate"));
    checkupdate->OnDoneString = [this](QObject *sender, const QByteArray &result) {
        checkupdateDoneString(sender, result);
    };
}

void Tmain::startupdatecheck()
{
    if (!updatecheck->isChecked())
        return;
    checkupdate->URL = ballwick::versionAddress();
    checkupdate->StartFetch();
}

void Tmain::checkupdateDoneString(QObject *, const QByteArray &Result)
{
    // Byte for byte: a line end after the version, or an error page, differs too.
    const QString own = about ? about->versionText() : builtVersion();
    if (Result == own.toLatin1())
        return;
    panel_update->show();
    panel_update->raise();
}

void Tmain::button_updatecancelClick()
{
    panel_update->hide();
}

void Tmain::button_updateyesClick()
{
    if (!BALLWICK_SELF_UPDATE)
        return; // a packaged game never moves or replaces itself
    // Hidden first, so that the offer cannot be accepted twice.
    button_updateyes->hide();
    button_updatecancel->hide();
    label_update->setText(QStringLiteral("Updating. Please Wait..."));
    // The program keeps its own name until the installer has arrived whole.
    downloadit();
}

void Tmain::downloadit()
{
    ballwick::THttpCliDownload getupdate;
    ballwick::SelfUpdate update(&getupdate, programFile(), ballwick::dataDir());
    update.applyHooks();
    if (const int ms = ballwick::SelfUpdate::hooks().stallTimeoutMs)
        getupdate.client().StallTimeoutMs = ms;
    if (const int ms = ballwick::SelfUpdate::hooks().deadlineMs)
        getupdate.client().DeadlineMs = ms;
    update.onStatus = [this](const QString &text) { label_update->setText(text); };
    ballwick::SelfUpdate::Outcome outcome;
    try {
        outcome = update.downloadAndStart(ballwick::installerAddress());
    } catch (const std::exception &e) {
        reporterror(QString::fromLocal8Bit(e.what()));
        return;
    }
    if (outcome != ballwick::SelfUpdate::Outcome::StartFailed)
        return;
    // The maker's site: the server base without its final "/".
    QString site = ballwick::serverBase();
    if (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    reporterror(QStringLiteral("There was an error in the update process. Please download ") + appname.toUpper()
                + QStringLiteral(" manually from ") + site + QLatin1Char('.'));
}
