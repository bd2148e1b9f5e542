// Posting a score and showing the high-score list from the main window.
#include "app/tmain.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QTimer>

#include "online/thighscore.h"
#include "widgets/fonts.h"
#include "widgets/tflatpanel.h"

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

// Today as month/day/two-digit year, without leading zeros: 12/6/26.
QString postDate()
{
    const QString sep(localeDateSeparator());
    return QDate::currentDate().toString(QStringLiteral("M") + sep + QStringLiteral("d") + sep + QStringLiteral("yy"));
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
    note->setFont(ballwick::uiFont(8, true));
    QPalette p = note->palette();
    p.setColor(QPalette::WindowText, QColor(0x42, 0x1D, 0x45));
    note->setPalette(p);
    return note;
}

} // namespace

void Tmain::button_sendscoreClick()
{
    if (QLabel *note = queuedNote(panel_cleared, false))
        note->hide();
    if (edit_name->text().isEmpty())
        edit_name->setText(QStringLiteral("Guest"));
    try {
        if (highscore)
            highscore->sendscore(edit_name->text(), postDate(), QString::number(engine().state().score));
    } catch (...) {
        // The countdown below reports a post that never got out.
    }
    postcountdown = 40;
    postdots = 0;
    Timer1->start();
    panel_wait->show();
    panel_wait->raise();
}

void Tmain::Timer1Timer()
{
    --postcountdown;
    if (++postdots > 5)
        postdots = 1;
    panel_wait->setCaption(QStringLiteral("Posting Score, Please Wait") + QString(postdots, QLatin1Char('.')));
    if (postcountdown == 0) {
        if (highscore && highscore->hasQueuedPosts()) {
            QLabel *note = queuedNote(panel_cleared, true);
            note->show();
            note->raise();
        }
        // The steps go on while the message is open (the countdown is then below
        // 0, so it comes once) and the dots keep cycling; the timer stops when
        // the message is closed.
        reporterrorlater(QStringLiteral("Posting Failed."), [timer = QPointer<QTimer>(Timer1)] {
            if (timer)
                timer->stop();
        });
    }
}

void Tmain::button_highscoresClick()
{
    if (highscore) {
        highscore->loadit();
        highscore->show();
        highscore->raise();
    }
}

void Tmain::ViewHighScoreList1Click()
{
    button_highscoresClick();
}
