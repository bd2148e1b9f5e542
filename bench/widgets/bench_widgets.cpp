// How long a full repaint of the main window's panel layout takes: the window
// with its tile, the two transparent outer panels that show it, and opaque
// overlay panels inside; against the same layout with plain filled panels.
#include "widgets/tflatpanel.h"
#include "widgets/tlbbackground.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Layout {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    TFlatPanel *board = nullptr;
    TFlatPanel *area = nullptr;

    explicit Layout(bool transparent)
    {
        window->resize(780, 491);
        QPalette pal = window->palette();
        pal.setColor(QPalette::Window, QColor(0xE8, 0xE3, 0xC5));
        window->setPalette(pal);
        auto *bg = new TLbBackground(window.get());
        bg->setImage(QPixmap(QStringLiteral(":/images/tile.png")));
        board = new TFlatPanel(window.get());
        board->setGeometry(11, 1, 758, 488);
        board->setTransparent(transparent);
        board->setFrameColor(QColor(0xE8, 0xE3, 0xC5));
        area = new TFlatPanel(board);
        area->setGeometry(2, 29, 753, 457);
        area->setTransparent(transparent);
        area->setFrameColor(QColor(0x91, 0x75, 0x9B));
        for (int i = 0; i < 3; ++i) {
            auto *overlay = new TFlatPanel(area);
            overlay->setGeometry(8 + i * 211, 212, 209, 241);
            overlay->setColor(Qt::white);
            overlay->setFrameColor(Qt::black);
            overlay->setCaption(QStringLiteral("card %1").arg(i + 1));
        }
        window->show();
    }
};

void paintWindow(benchmark::State &state, bool transparent)
{
    Layout layout(transparent);
    QImage target(layout.window->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&target);
        layout.window->render(&p);
        p.end();
        benchmark::DoNotOptimize(target.bits());
    }
}

void BM_WindowWithTransparentPanels(benchmark::State &state)
{
    paintWindow(state, true);
}
BENCHMARK(BM_WindowWithTransparentPanels)->Unit(benchmark::kMillisecond);

void BM_WindowWithFilledPanels(benchmark::State &state)
{
    paintWindow(state, false);
}
BENCHMARK(BM_WindowWithFilledPanels)->Unit(benchmark::kMillisecond);

// One transparent panel alone (the play area), as when it alone is updated.
void BM_PlayAreaPanelOnly(benchmark::State &state)
{
    Layout layout(true);
    QImage target(layout.area->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter p(&target);
        layout.area->render(&p, QPoint(), QRegion(), QWidget::RenderFlags());
        p.end();
        benchmark::DoNotOptimize(target.bits());
    }
}
BENCHMARK(BM_PlayAreaPanelOnly)->Unit(benchmark::kMillisecond);

// One card cell of the play area repainted, as when a number is daubed: the
// transparent panel under the cell redraws that part only.
void BM_CardCellOfThePlayArea(benchmark::State &state)
{
    Layout layout(true);
    QImage target(layout.area->size(), QImage::Format_ARGB32_Premultiplied);
    const QRegion cell(QRect(15, 259, 34, 29));
    for (auto _ : state) {
        QPainter p(&target);
        layout.area->render(&p, QPoint(15, 259), cell, QWidget::RenderFlags());
        p.end();
        benchmark::DoNotOptimize(target.bits());
    }
}
BENCHMARK(BM_CardCellOfThePlayArea)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
