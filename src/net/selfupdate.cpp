#include "net/selfupdate.h"

#include "net/httpdownload.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <stdexcept>
#include <unistd.h>

namespace ballwick {

QString RunningProgram::programFile() const
{
    return QCoreApplication::applicationFilePath();
}

// Marks nothing and waits for nothing: spawns file with args, detached.
bool RunningProgram::startInstaller(const QString &file, const QStringList &args)
{
    return QProcess::startDetached(file, args);
}

void RunningProgram::endProcess(int code)
{
    ::_exit(code);
}

SelfUpdate::SelfUpdate(HttpDownload *client, ProgramProcess &process, QString installDir)
    : m_cli(client), m_process(process), m_programFile(process.programFile()), m_installDir(std::move(installDir))
{
    if (!m_installDir.isEmpty() && !m_installDir.endsWith(QLatin1Char('/')))
        m_installDir += QLatin1Char('/');
}

QString SelfUpdate::backupName(const QString &programFile)
{
    const QFileInfo fi(programFile);
    const QString name = fi.fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? name.left(dot) : name;
    return programFile.left(programFile.size() - name.size()) + stem + QStringLiteral(".BAK");
}

QStringList SelfUpdate::installerArguments()
{
    return {QStringLiteral("/SP-"), QStringLiteral("/silent"), QStringLiteral("/noicons")};
}

void SelfUpdate::status(const QString &text)
{
    if (onStatus)
        onStatus(text);
}

void SelfUpdate::moveProgramAside()
{
    const QString bak = backupName(m_programFile);
    if (QFile::exists(bak))
        QFile::remove(bak);
    QFile::rename(m_programFile, bak);
}

bool SelfUpdate::restoreProgram()
{
    const QString bak = backupName(m_programFile);
    if (QFile::exists(m_programFile) || !QFile::exists(bak))
        return false;
    return QFile::rename(bak, m_programFile);
}

QString SelfUpdate::installerFile(const QString &url) const
{
    return m_installDir + url.section(QLatin1Char('/'), -1);
}

SelfUpdate::Outcome SelfUpdate::downloadAndStart(const QString &url)
{
    const QString file = installerFile(url);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        throw std::runtime_error(
            QStringLiteral("Cannot create \"%1\": %2").arg(file, out.errorString()).toStdString());

    std::unique_ptr<QIODevice> wrapped = wrapOutput ? wrapOutput(&out) : nullptr;
    QIODevice *sink = wrapped ? wrapped.get() : &out;
    bool received = false;
    try {
        received = m_cli && m_cli->get(url, sink, MaxInstallerBytes);
        if (received)
            status(QStringLiteral("Received %1 bytes").arg(out.size()));
    } catch (...) {
        out.cancelWriting();
        throw;
    }
    wrapped.reset();

    // Only a whole installer is kept and started: a success status, every byte
    // that the server announced (or all up to its orderly close), and all of it
    // on the disk.
    const qint64 got = received ? m_cli->receivedCount() : 0;
    const bool whole = received && m_cli->statusCode() >= 200 && m_cli->statusCode() < 300 && got > 0
                       && (m_cli->contentLength() < 0 || got == m_cli->contentLength()) && out.flush()
                       && out.error() == QFileDevice::NoError && out.size() == got;
    if (!whole || !out.commit()) {
        out.cancelWriting();
        status(QStringLiteral("Download Aborted"));
        return Outcome::DownloadAborted;
    }
    QFile::setPermissions(file, QFile::permissions(file) | QFileDevice::ExeOwner | QFileDevice::ExeUser
                                    | QFileDevice::ReadOwner | QFileDevice::ReadUser);

    // From here on the new version's installer puts the program in place.
    moveProgramAside();
    status(QStringLiteral("Installing"));
    if (m_process.startInstaller(file, installerArguments())) {
        m_process.endProcess(0);
        return Outcome::Started;
    }
    restoreProgram();
    return Outcome::StartFailed;
}

} // namespace ballwick
