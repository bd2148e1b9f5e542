// Loading the embedded audio module: its bytes go into an anonymous memory
// file, which the dynamic loader opens like any library.
#include "app/audiomodule.h"

#include "app/appdirs.h"

#include <QDir>
#include <QFile>
#include <QResource>
#include <dlfcn.h>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

// The module is embedded by a library of its own: register it by name.
static void initAudioModuleResource()
{
    Q_INIT_RESOURCE(ballwick_audio);
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
    const int fd = memfd_create("ballwick-audio", MFD_CLOEXEC);
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
        QByteArray name = QFile::encodeName(QDir(folder).filePath(QStringLiteral("ballwick-audio-XXXXXX")));
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

BallwickMakeAudioOutput openAudioModule()
{
    initAudioModuleResource();
    const QResource module(QStringLiteral(":/modules/ballwick-audio.so"));
    const QByteArray bytes = module.uncompressedData();
    if (bytes.isEmpty())
        return nullptr;
    void *handle = openFromMemory(bytes);
    if (!handle)
        handle = openFromTemporaryFile(bytes);
    if (!handle)
        return nullptr;
    // Stays loaded for the rest of the program, like a linked library.
    return reinterpret_cast<BallwickMakeAudioOutput>(dlsym(handle, BALLWICK_AUDIO_ENTRY));
}

} // namespace

BallwickMakeAudioOutput audioModule()
{
    static std::once_flag once;
    static BallwickMakeAudioOutput entry = nullptr;
    std::call_once(once, [] { entry = openAudioModule(); });
    return entry;
}

} // namespace ballwick
