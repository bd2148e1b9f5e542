#pragma once
// Reading and replacing the player's small files (the tally, the settings)
// so that nothing blocks and nothing is lost: a file is read only when it is a
// regular file, and replaced only by a copy that was written whole.

#include <QByteArray>
#include <QString>

namespace ballwick {

struct FileRead
{
    enum Status {
        Ok,
        Missing,    // no such file
        NotRegular, // a directory, FIFO, device or socket: not opened for reading
        Failed,     // it could not be opened or read
    };
    Status status = Failed;
    QByteArray data; // the file's bytes when Ok
    QString error;   // the system's reason otherwise
};

// Reads the file at path, at most maxBytes of it (all of it when maxBytes is
// negative). The open never blocks, whatever kind of file is there.
FileRead readregularfile(const QString &path, qint64 maxBytes = -1);

// Replaces the file at path with data: written into a new file beside it,
// every write checked, flushed and synced to the disk, then renamed over it.
// A full disk, an I/O error or a short write leaves the previous file as it
// was. A path that exists and is not a regular file is refused. Returns false
// on failure, with the reason in *error when given.
bool replacefile(const QString &path, const QByteArray &data, QString *error = nullptr);

} // namespace ballwick
