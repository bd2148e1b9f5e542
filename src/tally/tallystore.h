#pragma once
// Reading and writing the tally file: the table as grid text, packed by the
// file compressor. Qt Core only, so that a plain process can use it too.

#include <QString>

#include <stdexcept>

#include "tally/gridfile.h"
#include "tally/tlzrw1.h"

namespace ballwick {

// A tally file that could not be loaded, with the message the player sees.
class ETallyLoad : public std::runtime_error
{
public:
    enum class Cause {
        File,        // the tally file itself is unreadable or damaged
        Environment, // no temporary file could be made; the tally file was not looked at
    };
    ETallyLoad(Cause cause, const std::string &message) : std::runtime_error(message), m_cause(cause) {}
    Cause cause() const { return m_cause; }

private:
    Cause m_cause;
};

// The bytes of the grid cells travel as UTF-8; a cell that is not valid UTF-8
// (a tally written under an 8-bit code page) reads as Latin-1.
QString celltext(const std::string &cell);
std::string cellbytes(const QString &text);

// Expands the tally file into a fresh, uniquely named temporary file and loads
// its grid text into grid; the temporary file is gone afterwards. On failure
// grid keeps what it held or what was loaded so far, and ETallyLoad carries the
// compressor's or the grid reader's message. doit's ProcessMessages hook runs
// after every block.
void loadtallyfile(Tlzrw1 &doit, StringGrid &grid, const QString &fileName);

// Writes grid as grid text into a fresh temporary file, packs it with LZRW1/KH
// and replaces fileName with the result in one step (written completely beside
// it, then renamed over it): a failure or a kill at any moment leaves either the
// previous file or the new one, never a mixture. Returns false on failure, with
// the reason in *error when given.
bool savetallyfile(Tlzrw1 &doit, const StringGrid &grid, const QString &fileName, QString *error = nullptr);

} // namespace ballwick
