#pragma once
#include <QString>
#include <QtGlobal>

class QIODevice;

namespace ballwick {

// What the self-update needs of an HTTP client: one GET, waited for, into a
// device, and what the reply said.
class HttpDownload
{
public:
    virtual ~HttpDownload() = default;
    // Fetches url into `to`, at most maxBytes of body (-1: no limit). False when
    // the request failed (no connection, a reset, a broken or oversized reply, a
    // silent server, a failed write); a reply with an error status is not a
    // failure here.
    virtual bool get(const QString &url, QIODevice *to, qint64 maxBytes) = 0;
    virtual int statusCode() const = 0;
    // The announced length; -1 when none was.
    virtual qint64 contentLength() const = 0;
    virtual qint64 receivedCount() const = 0;
};

} // namespace ballwick
