// Loading the modules the program carries inside: a module's bytes go into an
// anonymous memory file, which the dynamic loader opens like any library.
#include "app/modules.h"

#include "app/appdirs.h"
#include "app/audiomodule.h"
#include "net/httpdownload.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QResource>
#include <dlfcn.h>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

// The modules are embedded by a library of their own: register it by name.
static void initModuleResources()
{
    Q_INIT_RESOURCE(ballwick_modules);
}

namespace ballwick {
namespace {

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

void *openFromMemory(const QByteArray &bytes)
{
    const int fd = memfd_create("ballwick-module", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    void *handle = nullptr;
    if (writeAll(fd, bytes))
        handle = dlopen(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), RTLD_NOW | RTLD_LOCAL);
    ::close(fd); // the loader keeps its own mapping
    return handle;
}

// Where memory files may not be run: a private temporary file, gone once
// open, in the first of these folders that lets it run (temporary folders are
// often mounted without that right; the game's own data folder rarely is).
void *openFromTemporaryFile(const QByteArray &bytes)
{
    QStringList folders{QDir::tempPath()};
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty())
        folders.prepend(runtime);
    folders.append(dataDir());
    for (const QString &folder : folders) {
        QByteArray name = QFile::encodeName(QDir(folder).filePath(QStringLiteral("ballwick-module-XXXXXX")));
        const int fd = mkstemp(name.data());
        if (fd < 0)
            continue;
        void *handle = nullptr;
        if (writeAll(fd, bytes))
            handle = dlopen(name.constData(), RTLD_NOW | RTLD_LOCAL);
        ::close(fd);
        ::unlink(name.constData());
        if (handle)
            return handle;
    }
    return nullptr;
}

void *openModule(const QString &resource)
{
    initModuleResources();
    const QByteArray bytes = QResource(resource).uncompressedData();
    if (bytes.isEmpty())
        return nullptr;
    if (void *handle = openFromMemory(bytes))
        return handle;
    return openFromTemporaryFile(bytes);
}

} // namespace

void *embeddedModuleFunction(const QString &resource, const char *function)
{
    static std::mutex lock;
    static QHash<QString, void *> handles; // stay loaded, like linked libraries
    const std::lock_guard<std::mutex> hold(lock);
    auto it = handles.find(resource);
    if (it == handles.end())
        it = handles.insert(resource, openModule(resource));
    return *it ? dlsym(*it, function) : nullptr;
}

BallwickMakeAudioOutput audioModule()
{
    return reinterpret_cast<BallwickMakeAudioOutput>(
        embeddedModuleFunction(QStringLiteral(":/modules/ballwick-audio.so"), BALLWICK_AUDIO_ENTRY));
}

BallwickMakeHttpDownload httpDownloadModule()
{
    return reinterpret_cast<BallwickMakeHttpDownload>(
        embeddedModuleFunction(QStringLiteral(":/modules/ballwick-net.so"), BALLWICK_HTTP_ENTRY));
}

} // namespace ballwick
