// Cost of one step of the show's time bar, the one thing a running show
// paints ten times a second, flush to the display included.
// Run: build/bench/bench_forms (Qt's offscreen platform unless
// QT_QPA_PLATFORM names another; under Xvfb, QT_QPA_PLATFORM=xcb)

#include "frmmain.h"
#include "twips.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

namespace {

montera::frmMain* g_window = nullptr;

void BM_TimeBarStep(benchmark::State& state)
{
    montera::TimeBarShape& bar = *g_window->shpTimeBar;
    const double full = montera::pixelsToTwips(bar.width());
    double twips = full;
    for (auto _ : state) {
        // One pixel a step, as the bar runs down.
        twips = twips > 15 ? twips - 15 : full;
        bar.setWidthTwips(twips);
    }
}
BENCHMARK(BM_TimeBarStep);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    montera::frmMain window;
    window.showFullScreen();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    window.repaint();
    g_window = &window;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
