#pragma once
#include <QString>

#include <ballwick_config.h>

namespace ballwick {

// The program's lower-case identifier: names the settings file and its section,
// the instance lock, the tally file and every path on the score server.
inline constexpr const char *appname = BALLWICK_APPNAME;

// Directory of the running executable, with a trailing '/'.
QString programDir();

// Where the program keeps its files. A portable copy (its executable in a
// writable folder that is not an installed bin/ folder, such as a build folder
// or an unpacked copy) keeps everything beside itself. An installed or
// read-only copy keeps the settings under $XDG_CONFIG_HOME/ballwick/ and the
// tally, update backup and installer under $XDG_DATA_HOME/ballwick/ (defaults
// ~/.config and ~/.local/share). Earlier versions kept the settings in the data
// folder too; such a file is moved to the config folder the first time.
struct FilePlaces {
    QString config; // settings (ballwick.ini), with a trailing '/'
    QString data;   // tally and the rest, with a trailing '/'
    bool portable = false;
};

// The rule above for a program directory and the configured bin/ folder of an
// installation (either may lack a trailing '/'). Creates the per-user folders
// and moves an older settings file; never touches the program directory.
FilePlaces filePlacesFor(const QString &programDirectory, const QString &installBinDir);

// Whether programDirectory is an installed bin/ folder: the configured one
// (compared as canonical paths), or any bin/ folder of a tree made by
// `cmake --install` (with --prefix or DESTDIR), recognised by its desktop entry
// in ../share/applications/.
bool isInstalledBinDir(const QString &programDirectory, const QString &installBinDir);

// The places of the running program (worked out once); main() hands them to
// the windows.
const FilePlaces &runningPlaces();

} // namespace ballwick
