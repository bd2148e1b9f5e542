#include "app/updatecheck.h"

#include <QLabel>
#include <stdexcept>

#include <ballwick_config.h>

#include "app/pictures.h"
#include "net/selfupdate.h"
#include "net/thttpclidownload.h"
#include "online/serverbase.h"
#include "online/thttpget.h"
#include "screens/tabout.h"
#include "widgets/dialogs.h"
#include "widgets/fonts.h"
#include "widgets/tflatpanel.h"
#include "widgets/timagebutton.h"

namespace ballwick {

namespace {

const QColor grey(0x80, 0x80, 0x80);

QLabel *panelLabel(QWidget *parent, const char *name, const QString &caption, QRect geometry, int pointSize,
                   bool bold)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignCenter);
    l->setFont(uiFont(pointSize, bold));
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

} // namespace

UpdateCheck::UpdateCheck(TFlatPanel *panel, const MainServices &services, QString appname, QObject *parent)
    : QObject(parent), m_panel(panel), m_services(services), m_appname(std::move(appname))
{
    setObjectName(QStringLiteral("updatechecker"));
    m_title = panelLabel(panel, "Label15", QStringLiteral("Update Available"), QRect(1, 16, 327, 26), 14, true);
    m_question = panelLabel(panel, "Label17", QStringLiteral("Would you like to update now?"),
                            QRect(1, 50, 327, 22), 10, true);
    m_yes = pictureButton(panel, "button_updateyes", QRect(27, 90, 126, 40), QStringLiteral(":/images/button_ok.png"));
    m_cancel = pictureButton(panel, "button_updatecancel", QRect(171, 90, 126, 40),
                             QStringLiteral(":/images/button_cancel.png"));
    m_status = panelLabel(panel, "label_update", QString(), QRect(1, 138, 327, 20), 8, true);
#if !BALLWICK_SELF_UPDATE
    // A packaged game: the package manager owns the program file, so the offer
    // only tells the player where the new version comes from.
    m_question->setText(QStringLiteral("Please update through your package manager."));
    m_question->setWordWrap(true);
    m_question->setGeometry(1, 44, 327, 40);
    m_yes->hide();
    m_cancel->move(101, 90);
#endif

    m_fetch = new THTTPGet(this);
    m_fetch->setObjectName(QStringLiteral("checkupdate"));
    m_fetch->OnDoneString = [this](QObject *, const QByteArray &result) { versionArrived(result); };
}

void UpdateCheck::start()
{
    m_fetch->URL = m_services.server.version();
    m_fetch->StartFetch();
}

void UpdateCheck::versionArrived(const QByteArray &result)
{
    // Byte for byte: a line end after the version, or an error page, differs too.
    const QString own = m_about ? m_about->versionText() : builtVersion();
    if (result == own.toLatin1())
        return;
    m_panel->show();
    m_panel->raise();
}

void UpdateCheck::cancel()
{
    m_panel->hide();
}

void UpdateCheck::accept()
{
    if (!BALLWICK_SELF_UPDATE)
        return; // a packaged game never moves or replaces itself
    // Hidden first, so that the offer cannot be accepted twice.
    m_yes->hide();
    m_cancel->hide();
    m_status->setText(QStringLiteral("Updating. Please Wait..."));
    // The program keeps its own name until the installer has arrived whole.
    download();
}

void UpdateCheck::download()
{
    THttpCliDownload getupdate;
    SelfUpdate update(&getupdate, *m_services.program, m_services.places.data);
    if (m_services.downloadStallMs > 0)
        getupdate.client().StallTimeoutMs = m_services.downloadStallMs;
    if (m_services.downloadDeadlineMs > 0)
        getupdate.client().DeadlineMs = m_services.downloadDeadlineMs;
    update.onStatus = [this](const QString &text) { m_status->setText(text); };
    SelfUpdate::Outcome outcome;
    QWidget *window = m_panel->window();
    try {
        outcome = update.downloadAndStart(m_services.server.installer());
    } catch (const std::exception &e) {
        m_services.dialogs->error(window, QString::fromLocal8Bit(e.what()));
        return;
    }
    if (outcome != SelfUpdate::Outcome::StartFailed)
        return;
    // The maker's site: the server base without its final "/".
    QString site = m_services.server.base();
    if (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    m_services.dialogs->error(window, QStringLiteral("There was an error in the update process. Please download ")
                                          + m_appname.toUpper() + QStringLiteral(" manually from ") + site
                                          + QLatin1Char('.'));
}

} // namespace ballwick
