#pragma once
#include <QObject>
#include <QString>
#include <QUrl>

namespace ballwick {

// What hands an address to the desktop; main() hands in DesktopLinks, tests a
// recorder.
class LinkOpener
{
public:
    virtual ~LinkOpener() = default;
    // False when the desktop refused the address.
    virtual bool open(const QUrl &url) = 0;
};

// The user's default handlers (QDesktopServices::openUrl).
class DesktopLinks : public LinkOpener
{
public:
    bool open(const QUrl &url) override;
};

} // namespace ballwick

// Scheme put in front of TURL::URL when the address is opened.
enum TURLType {
    utFile,   // "file://"
    utFtp,    // "ftp://"
    utGopher, // "gopher://"
    utHttp,   // "http://"
    utHttps,  // "https://"
    utMailto, // "mailto:"
    utNews,   // "news:"
    utTelnet, // "telnet:"
    utWais,   // "wais:"
    utnone    // nothing
};

// Opens an address in the user's default handler (the browser for web pages, the
// mail program for mailto: and so on). Non-visual; each window that needs it owns one.
class TURL : public QObject
{
    Q_OBJECT
public:
    // links: what opens the address; it must outlive this object.
    explicit TURL(ballwick::LinkOpener &links, QObject *parent = nullptr);

    QString URL() const { return m_url; }
    void setURL(const QString &url);
    TURLType URLType() const { return m_type; }
    void setURLType(TURLType type);

    // The text put in front of URL for a given type ("" for utnone).
    static QString prefix(TURLType type);
    // The address OpenURL hands over: prefix(URLType()) + URL(), unchanged.
    QString address() const;

    // Opens the address; false when URL is empty or the desktop refused it.
    // Any length is passed whole.
    bool OpenURL();

private:
    ballwick::LinkOpener &m_links;
    QString m_url;
    TURLType m_type = utHttp;
};
