#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QIODevice;

namespace ballwick {

class HttpDownload;

// What the self-update does to the running process; main() hands in the real one,
// tests a recorder.
class ProgramProcess
{
public:
    virtual ~ProgramProcess() = default;
    // The running program's file.
    virtual QString programFile() const = 0;
    // Starts the installer detached, without waiting for it; false when it could
    // not be started.
    virtual bool startInstaller(const QString &file, const QStringList &args) = 0;
    // Ends the process at once: nothing of the normal closing runs. The real one
    // never returns.
    virtual void endProcess(int code) = 0;
};

// The process this program runs in.
class RunningProgram : public ProgramProcess
{
public:
    QString programFile() const override;
    bool startInstaller(const QString &file, const QStringList &args) override;
    [[noreturn]] void endProcess(int code) override;
};

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

    // process: the running program (its file, the installer start, the process
    // end); it must outlive this object. installDir: where the installer is
    // stored, with a trailing '/'. Without a client (the network module could
    // not be loaded) every download is aborted.
    SelfUpdate(HttpDownload *client, ProgramProcess &process, QString installDir);

    // Receives the status texts ("Received 123 bytes", "Download Aborted", "Installing").
    std::function<void(const QString &)> onStatus;
    // Tests put a device of their own (a full disk, say) between the download and
    // the installer's file; empty: the body goes straight into the file.
    std::function<std::unique_ptr<QIODevice>(QIODevice *file)> wrapOutput;

    // The program file's name with its extension replaced by ".BAK" (appended when
    // it has none).
    static QString backupName(const QString &programFile);
    static QStringList installerArguments();

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
    ProgramProcess &m_process;
    QString m_programFile;
    QString m_installDir;
};

} // namespace ballwick
