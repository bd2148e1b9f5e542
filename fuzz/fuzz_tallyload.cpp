// The tally file as the game loads it at start, on untrusted bytes: read from
// the file, expanded in memory, parsed as grid text and taken into the table.
// Loading either fails with a tally-load message or gives a table within the
// grid limits, never with more expanded than the tally limit allows.
#include "tally/tallystore.h"

#include "scratchfile.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static ScratchFile scratch("ballwicktally.tld");
    static ballwick::Tlzrw1 doit;
    {
        QFile f(scratch.path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    ballwick::StringGrid grid(14, 12);
    try {
        ballwick::loadtallyfile(doit, grid, scratch.path);
    } catch (const ballwick::ETallyLoad &e) {
        if (std::string(e.what()).empty())
            std::abort();
        return 0;
    }
    if (static_cast<long long>(grid.colCount()) * grid.rowCount() > ballwick::kMaxGridCells)
        std::abort();
    // The table as the window shows it: every cell becomes text.
    qsizetype total = 0;
    for (int c = 0; c < grid.colCount(); ++c)
        for (int r = 0; r < grid.rowCount(); ++r)
            total += ballwick::celltext(grid.cell(c, r)).size();
    if (total > ballwick::kMaxTallySize)
        std::abort();
    return 0;
}
