// The grid text on untrusted bytes: parsing either fails with an input/output
// error or yields a grid within the size limits; a grid whose cells hold no
// line breaks survives writing and reading back.
#include "tally/gridfile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    ballwick::StringGrid grid(3, 2);
    try {
        ballwick::parsegrid(grid, text);
    } catch (const ballwick::EInOutError &) {
        return 0;
    }
    if (grid.colCount() < 0 || grid.rowCount() < 0
        || static_cast<long long>(grid.colCount()) * grid.rowCount() > ballwick::kMaxGridCells)
        std::abort();
    ballwick::StringGrid again;
    ballwick::parsegrid(again, ballwick::gridtext(grid));
    if (!(again == grid))
        std::abort();
    return 0;
}
