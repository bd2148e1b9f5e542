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

// The network module's one entry point: a new client over THttpCli, owned by
// the caller. The module carries the socket and HTTP client with Qt Network,
// which the program only loads when it downloads an update.
extern "C" {
using BallwickMakeHttpDownload = ballwick::HttpDownload *(*)();
}
#define BALLWICK_HTTP_ENTRY "ballwick_make_http_download"
