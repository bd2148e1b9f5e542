#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace ballwick {

class HttpDownload;

// The file steps of the self-update: move the running program aside, download the
// installer, start it and end the process. The installer is written under a
// temporary name and takes its own name only once it has arrived whole; only a
// whole installer is started; whenever the update stops short, the program file is
// moved back from its backup name so that the player keeps a working game.
class SelfUpdate
{
public:
    // programFile: the running program's file. installDir: where the installer is
    // stored, with a trailing '/'. Without a client (the network module could
    // not be loaded) every download is aborted.
    SelfUpdate(HttpDownload *client, QString programFile, QString installDir);

    // Receives the status texts ("Received 123 bytes", "Download Aborted", "Installing").
    std::function<void(const QString &)> onStatus;
    // Starts the installer without waiting for it; false when it could not be started.
    std::function<bool(const QString &file, const QStringList &args)> startInstaller = &SelfUpdate::startDetached;
    // Ends the process at once: nothing of the normal closing runs. Tests replace it
    // to watch the call.
    std::function<void(int)> endProcess = &SelfUpdate::quickExit;

    // Process-wide replacements that a test sets before the program's window
    // builds its SelfUpdate: the program file, the installer start, the process end.
    // Empty members keep the normal behaviour.
    struct Hooks {
        QString programFile;
        std::function<bool(const QString &file, const QStringList &args)> startInstaller;
        std::function<void(int)> endProcess;
    };
    static void setHooks(Hooks hooks);
    static const Hooks &hooks();
    // Applies the hooks that are set to this object.
    void applyHooks();

    // The program file's name with its extension replaced by ".BAK" (appended when
    // it has none).
    static QString backupName(const QString &programFile);
    static QStringList installerArguments();
    // Marks nothing and waits for nothing: spawns file with args, detached.
    static bool startDetached(const QString &file, const QStringList &args);
    [[noreturn]] static void quickExit(int code);

    // Deletes an earlier backup, then renames the program file to the backup name.
    void moveProgramAside();
    // Renames the backup to the program's own name again, if that name is free.
    bool restoreProgram();

    // The installer's local file: installDir + the last "/"-segment of url.
    QString installerFile(const QString &url) const;

    enum class Outcome {
        Started,         // the installer runs and endProcess was called (returns only when it returns)
        DownloadAborted, // "Download Aborted": the request failed or the file is incomplete
        StartFailed,     // the installer could not be started
    };
    // Downloads url with a synchronous GET, then starts the installer and ends the
    // process. Throws std::runtime_error when the local file cannot be created or
    // written; the program is back under its own name then too.
    Outcome downloadAndStart(const QString &url);

private:
    void status(const QString &text);

    HttpDownload *m_cli;
    QString m_programFile;
    QString m_installDir;
};

} // namespace ballwick
