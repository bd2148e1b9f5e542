#pragma once
#include <QString>

namespace ballwick {

// The program's lower-case identifier: names the settings file and its section,
// the instance lock, the tally file and every path on the score server.
inline constexpr const char *appname = "ballwick";

// Directory of the running executable, with a trailing '/'.
QString programDir();

// Where the program keeps its files (settings, tally, update backup, installer):
// the program directory when it is writable (a portable copy, a build directory),
// otherwise $XDG_DATA_HOME/ballwick/ (default ~/.local/share/ballwick/), created
// on demand. With a trailing '/'.
QString dataDir();

// The rule behind dataDir() for a given program directory (no override):
// `programDirectory` itself when it is writable, otherwise the per-user data
// directory, created on demand.
QString dataDirFor(const QString &programDirectory);

// dataDir() + name.
QString dataFile(const QString &name);

// Tests point every file of the program at a directory of their own; an empty
// string returns to the normal rule.
void setDataDirOverride(const QString &dir);

} // namespace ballwick
