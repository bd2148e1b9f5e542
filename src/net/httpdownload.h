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
    // Fetches url into `to`. False when the request failed (no connection, a
    // broken reply); a reply with an error status is not a failure here.
    virtual bool get(const QString &url, QIODevice *to) = 0;
    virtual int statusCode() const = 0;
    // The announced length; -1 when none was.
    virtual qint64 contentLength() const = 0;
    virtual qint64 receivedCount() const = 0;
};

} // namespace ballwick
