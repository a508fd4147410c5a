// Cost per sample of showing a sweep: the progress bar advanced and the plot
// fed one reading, both repainted at once, as the calibration pages do. Compare
// with bench_probe's time per probe: showing a sample should cost less.
// Usage: bench_sweep_display [SAMPLES]   (QT_QPA_PLATFORM picks the screen)
#include "calibration/CalibrationPageParts.h"
#include "calibration/plot/SweepPlot.h"

#include <QApplication>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWidget>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int samples = argc > 1 ? std::atoi(argv[1]) : 4096;
    if (samples <= 0 || samples > 4096) {
        std::fprintf(stderr, "bench_sweep_display: SAMPLES must be 1..4096\n");
        return 1;
    }
    QWidget window;
    window.resize(440, 260);
    auto* layout = new QVBoxLayout(&window);
    auto* bar = new QProgressBar;
    auto* plot = new SweepPlot;
    plot->setMinimumHeight(130);
    layout->addWidget(bar);
    layout->addWidget(plot);
    window.show();
    application.processEvents();

    const int rounds = 5;
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        bar->setValue(0);
        CalibrationPageParts::SweepDisplay display(bar, plot, samples);
        const auto progress = display.Callback();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < samples; ++i) {
            // a band in the middle and a rising reading, so the scale grows during the sweep
            const double x = (i - samples / 2.0) / (samples / 40.0);
            progress(i, static_cast<int32_t>(10 + 3000 * std::exp(-x * x) + i / 4));
        }
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / samples);
    }
    std::printf("%d samples on %s: %.1f us per sample (best of %d)\n", samples,
                qPrintable(QGuiApplication::platformName()), best, rounds);
    return 0;
}
