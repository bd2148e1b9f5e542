#include "net/selfupdate.h"

#include "net/httpdownload.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <stdexcept>
#include <unistd.h>

namespace ballwick {

SelfUpdate::SelfUpdate(HttpDownload *client, QString programFile, QString installDir)
    : m_cli(client), m_programFile(std::move(programFile)), m_installDir(std::move(installDir))
{
    if (!m_installDir.isEmpty() && !m_installDir.endsWith(QLatin1Char('/')))
        m_installDir += QLatin1Char('/');
}

namespace {
SelfUpdate::Hooks &hookSlot()
{
    static SelfUpdate::Hooks h;
    return h;
}
} // namespace

void SelfUpdate::setHooks(Hooks hooks)
{
    hookSlot() = std::move(hooks);
}

const SelfUpdate::Hooks &SelfUpdate::hooks()
{
    return hookSlot();
}

void SelfUpdate::applyHooks()
{
    const Hooks &h = hookSlot();
    if (!h.programFile.isEmpty())
        m_programFile = h.programFile;
    if (h.startInstaller)
        startInstaller = h.startInstaller;
    if (h.endProcess)
        endProcess = h.endProcess;
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

bool SelfUpdate::startDetached(const QString &file, const QStringList &args)
{
    return QProcess::startDetached(file, args);
}

void SelfUpdate::quickExit(int code)
{
    ::_exit(code);
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
    if (startInstaller && startInstaller(file, installerArguments())) {
        endProcess(0);
        return Outcome::Started;
    }
    restoreProgram();
    return Outcome::StartFailed;
}

} // namespace ballwick
