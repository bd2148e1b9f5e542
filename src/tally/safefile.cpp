#include "tally/safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ballwick {

namespace {

QString systemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// Makes the rename itself durable; a directory that cannot be synced changes
// nothing about the file, so failures are ignored.
void syncdirectory(const QString &path)
{
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

FileRead readregularfile(const QString &path, qint64 maxBytes)
{
    FileRead r;
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK: a FIFO without a writer or a device would otherwise hold the
    // open (and the program) forever. It changes nothing for a regular file.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        r.status = err == ENOENT ? FileRead::Missing : FileRead::Failed;
        r.error = systemError(err);
        return r;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        r.status = FileRead::NotRegular;
        r.error = QStringLiteral("not a regular file");
        return r;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        r.error = file.errorString();
        return r;
    }
    r.data = maxBytes < 0 ? file.readAll() : file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        r.data.clear();
        r.error = file.errorString();
        return r;
    }
    r.status = FileRead::Ok;
    return r;
}

bool replacefile(const QString &path, const QByteArray &data, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };

    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        return fail(QStringLiteral("%1 is not a regular file").arg(QDir::toNativeSeparators(path)));

    QSaveFile out(path);
    // Unbuffered: every write reaches the file at once and reports its own
    // failure; a buffered one would fail only in the final flush, which
    // QSaveFile::commit does not count as a failure.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(out.errorString());
    const qint64 written = out.write(data);
    if (written != data.size() || !out.flush() || out.error() != QFileDevice::NoError) {
        const QString why = out.error() != QFileDevice::NoError ? out.errorString()
                                                                 : QStringLiteral("short write");
        out.cancelWriting();
        return fail(why);
    }
    if (::fsync(out.handle()) != 0) {
        const QString why = systemError(errno);
        out.cancelWriting();
        return fail(why);
    }
    if (!out.commit())
        return fail(out.errorString());
    syncdirectory(path);
    return true;
}

} // namespace ballwick
