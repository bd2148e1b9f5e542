#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

#include "app/mainservices.h"

class QLabel;
class Tabout;
class TFlatPanel;
class THTTPGet;
class TImageButton;

namespace ballwick {

// The update check of the main window: at every showing (while "Automatically
// Check for Updates" is checked) the server's version text is fetched; a text
// other than the program's own version offers the update on panel_update. An
// accepted offer downloads the installer, and only once it has arrived whole
// moves the program aside, starts the installer and ends the process. Owned by
// the main window; builds panel_update's children.
class UpdateCheck : public QObject
{
    Q_OBJECT
public:
    UpdateCheck(TFlatPanel *panel, const MainServices &services, QString appname, QObject *parent = nullptr);

    // The About window, whose version text is the program's own (the built
    // version when there is none).
    void setAbout(Tabout *about) { m_about = about; }

    // Fetches the version text.
    void start();
    // The version text arrived: a different one offers the update.
    void versionArrived(const QByteArray &result);
    // The player accepts: download, then move aside and install.
    void accept();
    // The offer is put away.
    void cancel();
    // Downloads the installer, starts it and ends the process; on failure the
    // status line or an error box says so and the program goes on.
    void download();

    // The offer's buttons, for the window's focus order; CANCEL also answers Escape.
    TImageButton *yesButton() const { return m_yes; }
    TImageButton *cancelButton() const { return m_cancel; }

private:
    TFlatPanel *m_panel;
    MainServices m_services;
    QString m_appname;
    Tabout *m_about = nullptr;
    QLabel *m_title = nullptr;    // Label15 "Update Available"
    QLabel *m_question = nullptr; // Label17 "Would you like to update now?"
    TImageButton *m_yes = nullptr;
    TImageButton *m_cancel = nullptr;
    QLabel *m_status = nullptr;   // label_update
    THTTPGet *m_fetch = nullptr;  // checkupdate
};

} // namespace ballwick
