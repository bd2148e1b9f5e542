#include "net/thttpclidownload.h"

namespace ballwick {

bool THttpCliDownload::get(const QString &url, QIODevice *to, qint64 maxBytes)
{
    m_cli.URL = url;
    m_cli.MaxBodySize = maxBytes;
    m_cli.RcvdStream = to;
    bool done = false;
    try {
        m_cli.Get();
        done = true;
    } catch (const EHttpException &) {
        // a failed request: reported by the return value
    } catch (...) {
        m_cli.RcvdStream = nullptr;
        throw;
    }
    m_cli.RcvdStream = nullptr;
    return done;
}

} // namespace ballwick
