#include "online/pagecheck.h"

#include <QImage>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

namespace ballwick {

namespace {

// Elements that are closed by a tag of their own and can hold other elements.
// Those whose end tag may be left out (p, li, td, tr, option ...) and the empty
// ones (br, img, hr ...) are not counted: a page that leaves their end tags out
// would seem to nest deeper with every one of them.
constexpr std::array<std::string_view, 44> containers = {
    "a",      "abbr",  "address", "b",      "big",    "blockquote", "body",  "center", "cite",   "code",   "del",
    "dfn",    "div",   "dl",      "em",     "font",   "form",       "h1",    "h2",     "h3",     "h4",     "h5",
    "h6",     "html",  "i",       "ins",    "kbd",    "nobr",       "ol",    "pre",    "q",      "s",      "samp",
    "small",  "span",  "strike",  "strong", "sub",    "sup",        "table", "tt",     "u",      "ul",     "var",
};

bool isContainer(std::string_view name)
{
    return std::find(containers.begin(), containers.end(), name) != containers.end();
}

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The largest number given to a colspan or rowspan attribute in the tag text.
int widestSpan(const char *tag, qsizetype n)
{
    int widest = 0;
    const QByteArray text = QByteArray(tag, n).toLower();
    qsizetype at = 0;
    while ((at = text.indexOf("span", at)) >= 0) {
        at += 4;
        qsizetype j = at;
        while (j < n && (text[j] == ' ' || text[j] == '\t' || text[j] == '\n' || text[j] == '\r'))
            ++j;
        if (j >= n || text[j] != '=')
            continue;
        ++j;
        while (j < n && (text[j] == ' ' || text[j] == '"' || text[j] == '\''))
            ++j;
        qint64 v = 0;
        while (j < n && text[j] >= '0' && text[j] <= '9' && v <= MaxCellSpan)
            v = v * 10 + (text[j++] - '0');
        widest = std::max(widest, int(v));
    }
    return widest;
}

} // namespace

PageNesting pageNesting(const QByteArray &html)
{
    PageNesting deepest;
    std::vector<std::string> open; // names of the open container elements
    int tables = 0;
    const char *p = html.constData();
    const qsizetype n = html.size();
    qsizetype i = 0;
    std::string name;
    while (i < n) {
        const char *lt = static_cast<const char *>(std::memchr(p + i, '<', size_t(n - i)));
        if (!lt)
            break;
        i = lt - p + 1;
        if (i + 2 < n && p[i] == '!' && p[i + 1] == '-' && p[i + 2] == '-') {
            // A comment: nothing in it counts.
            const QByteArray end("-->");
            const qsizetype close = html.indexOf(end, i + 3);
            i = close < 0 ? n : close + 3;
            continue;
        }
        const bool closing = i < n && p[i] == '/';
        if (closing)
            ++i;
        name.clear();
        while (i < n && isNameChar(p[i]) && name.size() < 16)
            name += char(p[i++] | 0x20); // lower case; digits are unchanged by the bit
        if (name.empty())
            continue;
        // The tag runs to its '>'; a self-closed "<div/>" opens nothing.
        const char *gt = static_cast<const char *>(std::memchr(p + i, '>', size_t(n - i)));
        const qsizetype tagEnd = gt ? gt - p : n;
        if (!closing && (name == "td" || name == "th")) {
            ++deepest.cells;
            deepest.widestSpan = std::max(deepest.widestSpan, widestSpan(p + i, tagEnd - i));
            if (deepest.tooComplex())
                return deepest;
        }
        if (!isContainer(name)) {
            i = tagEnd;
            continue;
        }
        const bool selfClosed = gt && gt > p + i && gt[-1] == '/';
        if (closing) {
            const auto it = std::find(open.rbegin(), open.rend(), name);
            if (it != open.rend()) {
                const auto first = it.base() - 1;
                tables -= int(std::count(first, open.end(), std::string("table")));
                open.erase(first, open.end());
            }
        } else if (!selfClosed) {
            open.push_back(name);
            if (name == "table")
                ++tables;
            deepest.elements = std::max(deepest.elements, int(open.size()));
            deepest.tables = std::max(deepest.tables, tables);
            if (deepest.tooComplex())
                return deepest; // the rest does not matter
        }
        i = gt ? gt - p + 1 : n;
    }
    return deepest;
}

PageVerdict checkPage(const QByteArray &html)
{
    if (html.size() > MaxPageBytes)
        return PageVerdict::TooLarge;
    if (pageNesting(html).tooComplex())
        return PageVerdict::TooComplex;
    return PageVerdict::Ok;
}

namespace {

bool within(double v)
{
    return std::abs(v) <= MaxFrameSpacing; // false for NaN too
}

bool frameBounded(const QTextFrameFormat &f)
{
    return within(f.border()) && within(f.padding()) && within(f.margin()) && within(f.topMargin())
           && within(f.bottomMargin()) && within(f.leftMargin()) && within(f.rightMargin());
}

bool framesBounded(QTextFrame *frame)
{
    if (!frameBounded(frame->frameFormat()))
        return false;
    if (auto *table = qobject_cast<QTextTable *>(frame)) {
        const QTextTableFormat f = table->format();
        if (!within(f.cellPadding()) || !within(f.cellSpacing()))
            return false;
        for (int r = 0; r < table->rows(); ++r)
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCellFormat cell = table->cellAt(r, c).format().toTableCellFormat();
                if (!within(cell.topPadding()) || !within(cell.bottomPadding()) || !within(cell.leftPadding())
                    || !within(cell.rightPadding()) || !within(cell.topBorder()) || !within(cell.bottomBorder())
                    || !within(cell.leftBorder()) || !within(cell.rightBorder()))
                    return false;
            }
    }
    const QList<QTextFrame *> children = frame->childFrames();
    return std::all_of(children.begin(), children.end(), framesBounded);
}

} // namespace

bool pageLayoutBounded(const QString &html)
{
    // Reading a page loads its style sheets: this document loads what the
    // view loads, nothing from files or the network. No layout is made for it.
    class PageDocument : public QTextDocument
    {
    protected:
        QVariant loadResource(int type, const QUrl &name) override { return pageResource(type, name); }
    } document;
    document.setHtml(html);
    return framesBounded(document.rootFrame());
}

QVariant pageResource(int type, const QUrl &name)
{
    if (type != QTextDocument::ImageResource)
        return QByteArray(" ");
    QString embedded;
    if (name.scheme() == QLatin1String("qrc"))
        embedded = QLatin1Char(':') + name.path();
    else if (name.scheme().isEmpty() && name.path().startsWith(QLatin1String(":/")))
        embedded = name.path();
    QImage picture;
    if (!embedded.isEmpty())
        picture.load(embedded);
    if (picture.isNull()) {
        picture = QImage(1, 1, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
    }
    return picture;
}

} // namespace ballwick
