// Time the high-score window's view spends on one list page, from the reply to a
// painted view: the check, the parse and the layout. Target: at most 100 ms for
// every page, accepted or refused (the view shows a note for a refused one).
//
//   QT_QPA_PLATFORM=offscreen bench_http_page [google benchmark flags]
#include "online/pagecheck.h"
#include "online/thighscore.h"
#include "online/turl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

QWidget *g_main = nullptr;
Thighscore *g_window = nullptr;

QByteArray nested(const char *open, const char *close, int n)
{
    return "<html><body>" + QByteArray(open).repeated(n) + "deep" + QByteArray(close).repeated(n) + "</body></html>";
}

QByteArray board(int rows)
{
    QByteArray b = "<table width=\"94%\" cellpadding=\"4\"><tr><th>Rank</th><th>Name</th><th>Score</th><th>Date</th></tr>";
    for (int i = 1; i <= rows; ++i)
        b += "<tr><td align=\"right\">" + QByteArray::number(i) + "</td><td><font color=\"#421D45\">Player "
             + QByteArray::number(i) + "</font></td><td align=\"right\"><b>" + QByteArray::number(1000 - i)
             + "</b></td><td>12/6/26</td></tr>";
    return b + "</table>";
}

// From the reply to the painted view. The view lays out what it shows first and
// the rest in later steps; "full_layout_ms" is the time with all of it laid out
// at once, the worst a page can cost in one go.
void showPage(benchmark::State &state, const QByteArray &page)
{
    auto *view = g_window->findChild<QTextBrowser *>(QStringLiteral("displayhtml"));
    for (auto _ : state) {
        g_window->getitDoneString(nullptr, page);
        view->viewport()->repaint();
    }
    QElapsedTimer full;
    full.start();
    g_window->getitDoneString(nullptr, page);
    view->document()->size();
    view->viewport()->repaint();
    state.counters["full_layout_ms"] = double(full.nsecsElapsed()) / 1e6;
    state.counters["page_bytes"] = double(page.size());
    state.counters["accepted"] = ballwick::checkPage(page) == ballwick::PageVerdict::Ok;
}

void BM_ThreeBoards(benchmark::State &state)
{
    showPage(state, "<html><body><h2>Ballwick High Scores</h2>" + board(25) + board(25) + board(25) + "</body></html>");
}
void BM_MostCellsAccepted(benchmark::State &state)
{
    showPage(state, "<html><body>" + board(ballwick::MaxTableCells / 4 - 1) + "</body></html>");
}
void BM_DeepestTablesAccepted(benchmark::State &state)
{
    showPage(state, nested("<table border=1><tr><td>x", "</td></tr></table>", ballwick::MaxTableNesting));
}
void BM_DeepestNestingAccepted(benchmark::State &state)
{
    showPage(state, nested("<div>", "</div>", ballwick::MaxPageNesting - 2));
}
void BM_LargestTextAccepted(benchmark::State &state)
{
    showPage(state, "<p>" + QByteArray("word ").repeated(ballwick::MaxPageBytes / 5 - 2) + "</p>");
}
void BM_ThirtyNestedTablesRefused(benchmark::State &state)
{
    showPage(state, nested("<table><tr><td>", "</td></tr></table>", 30));
}
void BM_FiveThousandLevelsRefused(benchmark::State &state)
{
    showPage(state, nested("<div>", "</div>", 5000));
}
void BM_ManyCellsRefused(benchmark::State &state)
{
    showPage(state, "<table>" + QByteArray("<tr><td>c").repeated(40000) + "</table>");
}

BENCHMARK(BM_ThreeBoards)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MostCellsAccepted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepestTablesAccepted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeepestNestingAccepted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargestTextAccepted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThirtyNestedTablesRefused)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveThousandLevelsRefused)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyCellsRefused)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget main;
    ballwick::DesktopLinks links;  // no link is clicked
    QTemporaryDir dataDir;         // nothing is posted
    Thighscore window(&main, links, ballwick::ServerAddresses(), dataDir.path() + QLatin1Char('/'));
    window.show();
    g_main = &main;
    g_window = &window;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
