#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QIODevice;

namespace ballwick {

class HttpDownload;

// The file steps of the self-update: download the installer, and only once it has
// arrived whole move the running program aside, start the installer and end the
// process. The installer is written under a temporary name and takes its own name
// only when it is complete (a success status, every announced byte or a clean
// close, every write and the flush done); until the installer has started the
// program keeps its own name, so an update stopped at any point (a dead server,
// a full disk, the process killed) leaves a working game.
class SelfUpdate
{
public:
    // The largest installer that is accepted.
    static constexpr qint64 MaxInstallerBytes = 256 * 1024 * 1024;

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
    // Tests put a device of their own (a full disk, say) between the download and
    // the installer's file; empty: the body goes straight into the file.
    std::function<std::unique_ptr<QIODevice>(QIODevice *file)> wrapOutput;

    // Process-wide replacements that a test sets before the program's window
    // builds its SelfUpdate: the program file, the installer start, the process end.
    // Empty members keep the normal behaviour.
    struct Hooks {
        QString programFile;
        std::function<bool(const QString &file, const QStringList &args)> startInstaller;
        std::function<void(int)> endProcess;
        // Shorter time limits for the download's HTTP client; 0 keeps its own.
        int stallTimeoutMs = 0;
        int deadlineMs = 0;
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
    // Downloads url with a synchronous GET, then moves the program aside, starts
    // the installer and ends the process. Throws std::runtime_error when the local
    // file cannot be created; the program keeps its own name then.
    Outcome downloadAndStart(const QString &url);

private:
    void status(const QString &text);

    HttpDownload *m_cli;
    QString m_programFile;
    QString m_installDir;
};

} // namespace ballwick
