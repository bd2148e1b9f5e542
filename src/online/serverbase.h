#pragma once
#include <QString>

namespace ballwick {

// The score and update server: an address ending in "/", built in
// (BALLWICK_SERVER_BASE). Every online request appends a fixed path to it.
QString serverBase();
// Tests point the program at a local server; an empty string returns to the built-in one.
void setServerBaseOverride(const QString &base);

// The addresses of the game's online requests.
QString scorePostAddress(const QString &name, const QString &date, const QString &score);
QString scoreListAddress();
QString versionAddress();
QString installerAddress();

} // namespace ballwick
