#pragma once
#include <QString>

namespace ballwick {

// The score and update server: an address ending in "/", built in
// (BALLWICK_SERVER_BASE) unless another is given. Every online request appends a
// fixed path to it.
class ServerAddresses
{
public:
    // base: the server's address; a missing trailing "/" is added, an empty one
    // stands for the built-in server.
    explicit ServerAddresses(QString base = builtIn());
    static QString builtIn();
    QString base() const { return m_base; }

    // The addresses of the game's online requests.
    QString scorePost(const QString &name, const QString &date, const QString &score) const;
    QString scoreList() const;
    QString version() const;
    QString installer() const;

private:
    QString m_base;
};

} // namespace ballwick
