#pragma once
#include "net/httpdownload.h"
#include "net/thttpcli.h"

namespace ballwick {

// THttpCli as the self-update's client.
class THttpCliDownload final : public HttpDownload
{
public:
    bool get(const QString &url, QIODevice *to, qint64 maxBytes) override;
    int statusCode() const override { return m_cli.StatusCode(); }
    qint64 contentLength() const override { return m_cli.ContentLength(); }
    qint64 receivedCount() const override { return m_cli.RcvdCount(); }

    THttpCli &client() { return m_cli; }

private:
    THttpCli m_cli;
};

} // namespace ballwick
