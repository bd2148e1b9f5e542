#pragma once
#include <QByteArray>
#include <QVariant>

class QUrl;

// What the high-score window agrees to render: the list page comes from the
// network, and a hostile page must neither eat the memory nor hold up the UI.
namespace ballwick {

// Larger pages are not rendered.
constexpr qsizetype MaxPageBytes = 256 * 1024;
// The deepest nesting of elements that hold others (tables, lists, blocks, inline
// formatting) that is rendered, and of tables alone, whose layout cost grows
// fastest with their nesting.
constexpr int MaxPageNesting = 16;
constexpr int MaxTableNesting = 4;
// Table cells of the whole page, and the rows or columns one cell may span: the
// layout of a table grows with its grid.
constexpr int MaxTableCells = 600;
constexpr int MaxCellSpan = 100;

enum class PageVerdict { Ok, TooLarge, TooComplex };

struct PageNesting {
    int elements = 0; // deepest nesting of container elements
    int tables = 0;   // deepest nesting of tables
    int cells = 0;    // td and th elements
    int widestSpan = 0; // largest colspan or rowspan
    bool tooComplex() const
    {
        return elements > MaxPageNesting || tables > MaxTableNesting || cells > MaxTableCells
               || widestSpan > MaxCellSpan;
    }
};

// One linear pass over the page's tags, without building anything. Comments
// are skipped; a closing tag closes the innermost open element of its name and
// everything opened inside it; a closing tag of no open element is ignored. The
// scan stops as soon as any count passes its bound above.
PageNesting pageNesting(const QByteArray &html);

PageVerdict checkPage(const QByteArray &html);

// The spacing, padding, border or margin of a table, a cell or a frame, in
// pixels, above which a page is not laid out: Qt's table layout does not
// finish in any time a player would wait for a cell padded by 10^8 pixels.
constexpr double MaxFrameSpacing = 1000;

// Reads the page as the view's document would (attributes, style sheets,
// character references and all) without laying it out, and tells whether every
// table, cell and frame keeps its spacing within MaxFrameSpacing. Asked only of
// a page checkPage() accepted.
bool pageLayoutBounded(const QString &html);

// What the list page's view loads for a picture, style sheet or document the page
// names: pictures embedded in the program ("qrc:/..." or ":/..."), and for
// everything else an empty value, never a local file or a network address. The
// value is never null: a document given a null value reads the file itself.
QVariant pageResource(int type, const QUrl &name);

} // namespace ballwick
