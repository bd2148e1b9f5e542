// The check before the high-score window renders a page, on untrusted bytes:
// the scan ends, its counts stay within what it promises, and every page it
// accepts is laid out by the HTML view's document without a crash (a page that
// takes long is reported by libFuzzer's -timeout).
#include "online/pagecheck.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <QUrl>
#include <cstdint>
#include <cstdlib>

namespace {

// A document that loads what the high-score view loads, nothing from files.
class PageDocument : public QTextDocument
{
protected:
    QVariant loadResource(int type, const QUrl &name) override { return ballwick::pageResource(type, name); }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray page(reinterpret_cast<const char *>(data), qsizetype(size));
    const ballwick::PageNesting depth = ballwick::pageNesting(page);
    if (depth.elements < 0 || depth.tables < 0 || depth.tables > depth.elements || depth.cells < 0
        || depth.widestSpan < 0)
        std::abort();
    // The scan stops once a count has passed its bound.
    if (depth.elements > ballwick::MaxPageNesting + 1 || depth.tables > ballwick::MaxTableNesting + 1
        || depth.cells > ballwick::MaxTableCells + 1)
        std::abort();
    const ballwick::PageVerdict verdict = ballwick::checkPage(page);
    if ((verdict == ballwick::PageVerdict::Ok) != (size <= size_t(ballwick::MaxPageBytes) && !depth.tooComplex()))
        std::abort();
    if (verdict != ballwick::PageVerdict::Ok)
        return 0;
    // The spacing check reads the page as the view will, and only a page it
    // lets through is laid out.
    const QString text = QString::fromUtf8(page);
    if (!ballwick::pageLayoutBounded(text))
        return 0;
    PageDocument doc;
    doc.setTextWidth(479);
    doc.setHtml(text);
    (void)doc.size();
    return 0;
}
