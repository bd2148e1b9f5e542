#include "tally/gridfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace ballwick {

namespace {

const std::string kEmpty;

struct FileCloser
{
    void operator()(std::FILE *f) const
    {
        if (f)
            std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string ioMessage(int err)
{
    switch (err) {
    case ENOENT:
        return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
        return "File access denied";
    case EISDIR:
        return "Is a directory";
    case ENOSPC:
        return "Disk full";
    default:
        return std::string("I/O error: ") + std::strerror(err);
    }
}

// Reading a line: the text runs to the next CR (or a bare LF); the CR and one
// LF right after it are consumed. The byte 0x1A ends the input like the end of
// the data; once ended, every line reads as empty.
class LineReader
{
public:
    explicit LineReader(std::string_view text)
    {
        const std::size_t eof = text.find('\x1A');
        m_text = eof == std::string_view::npos ? text : text.substr(0, eof);
    }

    bool atEnd() const { return m_pos >= m_text.size(); }

    std::string_view next()
    {
        if (atEnd())
            return {};
        const std::size_t start = m_pos;
        const std::size_t brk = m_text.find_first_of("\r\n", start);
        if (brk == std::string_view::npos) {
            m_pos = m_text.size();
            return m_text.substr(start);
        }
        m_pos = brk + 1;
        if (m_text[brk] == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n')
            ++m_pos;
        return m_text.substr(start, brk - start);
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// A decimal integer at the start of the line, after leading blanks; the rest
// of the line is ignored.
int parseCount(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    if (i >= line.size() || line[i] < '0' || line[i] > '9')
        throw EInOutError("Invalid numeric input");
    long long value = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        value = value * 10 + (line[i] - '0');
        if (value > 2147483648LL)
            throw EInOutError("Invalid numeric input");
        ++i;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        throw EInOutError("Invalid numeric input");
    return static_cast<int>(value);
}

} // namespace

void StringGrid::resize(int cols, int rows)
{
    cols = cols < 0 ? 0 : cols;
    rows = rows < 0 ? 0 : rows;
    if (cols == m_cols && rows == m_rows)
        return;
    std::vector<std::string> cells(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
    for (int c = 0; c < cols && c < m_cols; ++c)
        for (int r = 0; r < rows && r < m_rows; ++r)
            cells[static_cast<std::size_t>(c) * rows + r] = std::move(m_cells[static_cast<std::size_t>(c) * m_rows + r]);
    m_cells = std::move(cells);
    m_cols = cols;
    m_rows = rows;
}

const std::string &StringGrid::cell(int col, int row) const
{
    if (col < 0 || row < 0 || col >= m_cols || row >= m_rows)
        return kEmpty;
    return m_cells[static_cast<std::size_t>(col) * m_rows + row];
}

void StringGrid::setCell(int col, int row, std::string text)
{
    if (col < 0 || row < 0 || col >= m_cols || row >= m_rows)
        return;
    m_cells[static_cast<std::size_t>(col) * m_rows + row] = std::move(text);
}

std::string gridtext(const StringGrid &grid)
{
    std::string out;
    out += std::to_string(grid.colCount());
    out += "\r\n";
    out += std::to_string(grid.rowCount());
    out += "\r\n";
    for (int c = 0; c < grid.colCount(); ++c)
        for (int r = 0; r < grid.rowCount(); ++r) {
            out += grid.cell(c, r);
            out += "\r\n";
        }
    return out;
}

void savegrid(const StringGrid &grid, const std::string &fileName)
{
    std::FILE *f = std::fopen(fileName.c_str(), "wb");
    if (!f)
        throw EInOutError(ioMessage(errno));
    const std::string text = gridtext(grid);
    const std::size_t written = std::fwrite(text.data(), 1, text.size(), f);
    int err = written != text.size() ? (errno ? errno : EIO) : 0;
    if (std::fclose(f) != 0 && !err)
        err = errno ? errno : EIO;
    // A short write must not pass for success: the caller would otherwise pack
    // a truncated table over the good one.
    if (err)
        throw EInOutError(ioMessage(err));
}

void parsegrid(StringGrid &grid, std::string_view text)
{
    LineReader lines(text);
    if (lines.atEnd())
        throw EInOutError("Invalid numeric input");
    const int cols = parseCount(lines.next());
    if (cols < 0 || cols > kMaxGridColumns)
        throw EInOutError("Invalid grid size");
    grid.setColCount(cols);
    if (lines.atEnd())
        throw EInOutError("Invalid numeric input");
    const int rows = parseCount(lines.next());
    if (rows < 0 || rows > kMaxGridRows || static_cast<long long>(cols) * rows > kMaxGridCells)
        throw EInOutError("Invalid grid size");
    grid.setRowCount(rows);
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; ++r)
            grid.setCell(c, r, std::string(lines.next()));
}

void loadgrid(StringGrid &grid, const std::string &fileName)
{
    FilePtr f(std::fopen(fileName.c_str(), "rb"));
    if (!f)
        throw EInOutError(ioMessage(errno));
    std::string text;
    char buf[16384];
    for (;;) {
        const std::size_t n = std::fread(buf, 1, sizeof buf, f.get());
        text.append(buf, n);
        if (n < sizeof buf) {
            if (std::ferror(f.get()))
                throw EInOutError(ioMessage(errno ? errno : EIO));
            break;
        }
    }
    parsegrid(grid, text);
}

} // namespace ballwick
