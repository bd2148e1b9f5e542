#include "tally/gridfile.h"
#include "tallytest.h"

#include <gtest/gtest.h>

using ballwick::EInOutError;
using ballwick::StringGrid;
using namespace tallytest;

namespace {

StringGrid tallyTable()
{
    StringGrid g(14, 12);
    g.setCell(0, 0, "0");
    for (int c = 1; c <= 12; ++c)
        g.setCell(c, 0, std::to_string(c * 7));
    for (int r = 1; r <= 10; ++r) {
        g.setCell(0, r, std::to_string(r) + "/12/2026");
        g.setCell(1, r, std::to_string(500 - r * 13));
        g.setCell(2, r, r % 2 ? "Guest" : "Annie");
    }
    g.setCell(1, 11, "-1000");
    return g;
}

std::string loadError(StringGrid &g, const std::string &bytes)
{
    try {
        ballwick::parsegrid(g, bytes);
    } catch (const EInOutError &e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(GridFile, WritesColumnsInOrderWithCrLf)
{
    ScratchDir dir;
    StringGrid g(2, 3);
    g.setCell(0, 0, "A0");
    g.setCell(0, 1, "A1");
    g.setCell(0, 2, "A2");
    g.setCell(1, 0, "B0");
    g.setCell(1, 1, "B1");
    g.setCell(1, 2, "B2");
    ballwick::savegrid(g, dir.file("temp.txt"));
    EXPECT_EQ(readFile(dir.file("temp.txt")), "2\r\n3\r\nA0\r\nA1\r\nA2\r\nB0\r\nB1\r\nB2\r\n");

    // Loading sets the shape from the file, whatever the grid was before.
    StringGrid other(5, 1);
    other.setCell(4, 0, "old");
    ballwick::loadgrid(other, dir.file("temp.txt"));
    EXPECT_EQ(other, g);

    // Saving again overwrites rather than appends.
    ballwick::savegrid(StringGrid(1, 1), dir.file("temp.txt"));
    EXPECT_EQ(readFile(dir.file("temp.txt")), "1\r\n1\r\n\r\n");
}

TEST(GridFile, TallyTableRoundTripsWithItsEmptyCells)
{
    ScratchDir dir;
    const StringGrid table = tallyTable();
    ballwick::savegrid(table, dir.file("temp.txt"));
    const std::string text = readFile(dir.file("temp.txt"));
    std::size_t lines = 0;
    for (std::size_t i = 0; (i = text.find("\r\n", i)) != std::string::npos; i += 2)
        ++lines;
    EXPECT_EQ(lines, 170u);
    EXPECT_EQ(text.compare(0, 11, "14\r\n12\r\n0\r\n"), 0);
    // Counter 12, then its 11 empty rows and the 12 of column 13.
    std::string tail = "\r\n84\r\n";
    for (int i = 0; i < 23; ++i)
        tail += "\r\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);

    StringGrid back;
    ballwick::loadgrid(back, dir.file("temp.txt"));
    EXPECT_EQ(back, table);
}

TEST(GridFile, ShortFileLeavesTheMissingCellsEmpty)
{
    // Header 14 by 12, then 98 cells: 100 lines in all.
    std::string text = "14\r\n12\r\n";
    for (int i = 0; i < 98; ++i) {
        text += 'c';
        text += std::to_string(i);
        text += "\r\n";
    }
    StringGrid g(14, 12);
    for (int c = 0; c < 14; ++c)
        for (int r = 0; r < 12; ++r)
            g.setCell(c, r, "stale");
    ballwick::parsegrid(g, text);
    EXPECT_EQ(g.colCount(), 14);
    EXPECT_EQ(g.rowCount(), 12);
    EXPECT_EQ(g.cell(0, 0), "c0");
    EXPECT_EQ(g.cell(8, 1), "c97"); // 97 = 8 * 12 + 1
    int empty = 0;
    for (int c = 0; c < 14; ++c)
        for (int r = 0; r < 12; ++r)
            empty += g.cell(c, r).empty();
    EXPECT_EQ(empty, 70);
}

TEST(GridFile, LineEndsAndEndOfInput)
{
    StringGrid g;
    // 0x1A ends the input: the rest reads as empty lines.
    ballwick::parsegrid(g, "1\r\n3\r\nx\r\ny\x1Az\r\nw\r\n");
    EXPECT_EQ(g.cell(0, 0), "x");
    EXPECT_EQ(g.cell(0, 1), "y");
    EXPECT_EQ(g.cell(0, 2), "");

    // A CR alone ends a line, and only one LF after it is consumed; a bare LF
    // (a file edited on Linux) ends a line too.
    ballwick::parsegrid(g, "1\r\n4\r\na\rb\r\n\nc\n");
    EXPECT_EQ(g.cell(0, 0), "a");
    EXPECT_EQ(g.cell(0, 1), "b");
    EXPECT_EQ(g.cell(0, 2), "");
    EXPECT_EQ(g.cell(0, 3), "c");

    // Blanks before a count and text after it are allowed; cells keep theirs.
    ballwick::parsegrid(g, "  2 columns\r\n\t1\r\n  lead\r\ntrail  \r\n");
    EXPECT_EQ(g.colCount(), 2);
    EXPECT_EQ(g.rowCount(), 1);
    EXPECT_EQ(g.cell(0, 0), "  lead");
    EXPECT_EQ(g.cell(1, 0), "trail  ");
}

TEST(GridFile, BadHeadersFailAndKeepWhatWasSet)
{
    StringGrid g(3, 3);
    g.setCell(0, 0, "keep");
    EXPECT_EQ(loadError(g, "x\r\n3\r\n"), "Invalid numeric input");
    EXPECT_EQ(g.colCount(), 3);
    EXPECT_EQ(loadError(g, ""), "Invalid numeric input");
    EXPECT_EQ(loadError(g, "\x1A" "2\r\n2\r\n"), "Invalid numeric input");
    EXPECT_EQ(loadError(g, "99999999999\r\n1\r\n"), "Invalid numeric input");

    // The column count is set before the row count is read.
    EXPECT_EQ(loadError(g, "2\r\nrows\r\n"), "Invalid numeric input");
    EXPECT_EQ(g.colCount(), 2);
    EXPECT_EQ(g.rowCount(), 3);
    EXPECT_EQ(g.cell(0, 0), "keep");

    // Negative or huge shapes are damage, not a request for memory.
    EXPECT_EQ(loadError(g, "-1\r\n2\r\n"), "Invalid grid size");
    EXPECT_EQ(loadError(g, "1000\r\n1000\r\n"), "Invalid grid size");
    EXPECT_EQ(loadError(g, "0\r\n2000\r\n"), "Invalid grid size");
    StringGrid empty;
    ballwick::parsegrid(empty, "0\r\n0\r\n");
    EXPECT_EQ(empty.colCount(), 0);
}

TEST(GridFile, FileErrors)
{
    ScratchDir dir;
    StringGrid g;
    try {
        ballwick::loadgrid(g, dir.file("missing.txt"));
        FAIL() << "loaded a missing file";
    } catch (const EInOutError &e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_THROW(ballwick::loadgrid(g, dir.path().string()), EInOutError);
    EXPECT_THROW(ballwick::savegrid(StringGrid(1, 1), dir.file("no/such/dir/temp.txt")), EInOutError);
    // A full disk must not pass for a saved table.
    if (exists("/dev/full")) {
        EXPECT_THROW(ballwick::savegrid(tallyTable(), "/dev/full"), EInOutError);
    }
}
