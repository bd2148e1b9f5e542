#pragma once
// The grid text file: a table of text cells written as plain CR LF lines,
// column count, row count, then every cell column by column.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace ballwick {

// An input/output failure of the grid file routines ("File not found",
// "Invalid numeric input", ...).
class EInOutError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A plain table of text cells addressed as (column, row). Resizing keeps the
// texts of the cells that stay inside the table; new cells are empty.
class StringGrid
{
public:
    StringGrid() = default;
    StringGrid(int colCount, int rowCount) { resize(colCount, rowCount); }

    int colCount() const { return m_cols; }
    int rowCount() const { return m_rows; }
    void setColCount(int cols) { resize(cols, m_rows); }
    void setRowCount(int rows) { resize(m_cols, rows); }
    void resize(int cols, int rows);

    // Cells outside the table read as empty; setting one outside is ignored.
    const std::string &cell(int col, int row) const;
    void setCell(int col, int row, std::string text);

    bool operator==(const StringGrid &other) const = default;

private:
    int m_cols = 0;
    int m_rows = 0;
    std::vector<std::string> m_cells; // column-major
};

// The largest table loadgrid accepts. The tally table is 14 by 12; a header
// beyond these is treated as damage rather than a request for gigabytes.
constexpr int kMaxGridColumns = 1024;
constexpr int kMaxGridRows = 1024;
constexpr long long kMaxGridCells = 1 << 16;

// The grid in the file format, as bytes.
std::string gridtext(const StringGrid &grid);

// Creates or overwrites fileName with the grid's text. Throws EInOutError when
// the file cannot be created or written completely.
void savegrid(const StringGrid &grid, const std::string &fileName);

// Reads the grid's text from bytes: sets the column and row counts from the
// first two lines, then fills every cell from the following lines (missing
// lines read as empty). Throws EInOutError("Invalid numeric input") for a header
// line that does not start with a decimal integer, and EInOutError("Invalid grid
// size") for negative or oversized counts; the grid keeps what was set so far.
void parsegrid(StringGrid &grid, std::string_view text);

// Reads fileName into the grid as parsegrid does. Throws EInOutError("File not
// found") when the file does not exist, and another EInOutError when it cannot
// be opened or read.
void loadgrid(StringGrid &grid, const std::string &fileName);

} // namespace ballwick
