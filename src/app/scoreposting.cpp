#include "app/scoreposting.h"

#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QTimer>

#include "online/thighscore.h"
#include "widgets/dialogs.h"
#include "widgets/fonts.h"
#include "widgets/tflatpanel.h"

namespace ballwick {

namespace {

// The separator between the parts of a short date in the user's locale ("/" in
// most places, "." or "-" in others).
QChar localeDateSeparator()
{
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    for (QChar c : format) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('\'') && !c.isSpace())
            return c;
    }
    return QLatin1Char('/');
}

// The note under the wait text of panel_cleared after a post got no reply: the
// post waits in the queue. Made at its first showing.
QLabel *queuedNote(QWidget *panel, bool create)
{
    auto *note = panel->findChild<QLabel *>(QStringLiteral("label_queued"), Qt::FindDirectChildrenOnly);
    if (note || !create)
        return note;
    note = new QLabel(QStringLiteral("Your score will be sent when the server can be reached."), panel);
    note->setObjectName(QStringLiteral("label_queued"));
    note->setGeometry(304, 157, 130, 44);
    note->setWordWrap(true);
    note->setFont(uiFont(8, true));
    QPalette p = note->palette();
    p.setColor(QPalette::WindowText, QColor(0x42, 0x1D, 0x45));
    note->setPalette(p);
    return note;
}

} // namespace

ScorePosting::ScorePosting(TFlatPanel *panelCleared, TFlatPanel *panelWait, Dialogs &dialogs, QObject *parent)
    : QObject(parent), m_cleared(panelCleared), m_wait(panelWait), m_dialogs(dialogs), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("scoreposting"));
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
}

void ScorePosting::setHighscore(Thighscore *highscore)
{
    if (m_highscore)
        disconnect(m_highscore, nullptr, this, nullptr);
    m_highscore = highscore;
    if (m_highscore)
        connect(m_highscore, &Thighscore::scorePosted, this, &ScorePosting::answered);
}

void ScorePosting::answered()
{
    m_cleared->hide();
    m_timer->stop();
}

QString ScorePosting::postDate(const QDate &day)
{
    const QString sep(localeDateSeparator());
    return day.toString(QStringLiteral("M") + sep + QStringLiteral("d") + sep + QStringLiteral("yy"));
}

void ScorePosting::send(const QString &name, const QDate &day, int score)
{
    if (QLabel *note = queuedNote(m_cleared, false))
        note->hide();
    try {
        if (m_highscore)
            m_highscore->sendscore(name, postDate(day), QString::number(score));
    } catch (...) {
        // The countdown below reports a post that never got out.
    }
    m_countdown = 40;
    m_dots = 0;
    m_timer->start();
    m_wait->show();
    m_wait->raise();
}

void ScorePosting::step()
{
    --m_countdown;
    if (++m_dots > 5)
        m_dots = 1;
    m_wait->setCaption(QStringLiteral("Posting Score, Please Wait") + QString(m_dots, QLatin1Char('.')));
    if (m_countdown == 0) {
        if (m_highscore && m_highscore->hasQueuedPosts()) {
            QLabel *note = queuedNote(m_cleared, true);
            note->show();
            note->raise();
        }
        // The steps go on while the message is open (the countdown is then below
        // 0, so it comes once) and the dots keep cycling; the timer stops when
        // the message is closed.
        m_dialogs.errorLater(m_cleared->window(), QStringLiteral("Posting Failed."),
                             [timer = QPointer<QTimer>(m_timer)] {
                                 if (timer)
                                     timer->stop();
                             });
    }
}

void ScorePosting::showlist()
{
    if (m_highscore) {
        m_highscore->loadit();
        m_highscore->show();
        m_highscore->raise();
    }
}

} // namespace ballwick
