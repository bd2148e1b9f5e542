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
        File,        // the tally file itself is damaged: kept aside, replaced at exit
        Environment, // it could not be read (no permission, an I/O error, not a
                     // regular file): left as it is and not replaced at exit
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

// The largest tally accepted, as the container states its expanded size. A
// tally is about 500 bytes; a file claiming more is damaged and is refused
// before anything is expanded.
inline constexpr qint64 kMaxTallySize = 1 << 20;

// Reads the tally file (only a regular file, without blocking), expands it in
// memory and loads its grid text into grid. On failure grid keeps what it held
// or what was loaded so far, and ETallyLoad carries the compressor's or the
// grid reader's message. doit's ProcessMessages hook runs after every block.
void loadtallyfile(Tlzrw1 &doit, StringGrid &grid, const QString &fileName);

// Packs grid's text with LZRW1/KH in memory and replaces fileName with the
// result in one step (written completely and synced beside it, then renamed
// over it): a full disk, a failed write or a kill at any moment leaves either
// the previous file or the new one, never a mixture. Returns false on failure,
// with the reason in *error when given.
bool savetallyfile(Tlzrw1 &doit, const StringGrid &grid, const QString &fileName, QString *error = nullptr);

} // namespace ballwick
