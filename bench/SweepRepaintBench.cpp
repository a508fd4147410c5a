// The Calibration page during a sweep: "Run 1st" on a real CPropertyCalibrate
// in a shown sheet, against SIM paced at a baud rate, side by side with the
// same sweep through the link alone (SweepForPeak without bar or plot), in
// alternating order, each on a fresh SIM. Both are timed against the wire time
// of the bytes that crossed; the page's share is what showing the sweep costs.
// Every paint event of the progress bar is timed too: the sweep blocks the one
// thread, so these paints are all the operator sees move; the longest gap
// between two of them (the sweep's start and end count as paints) is reported.
// A third run in each round is the page's sweep with the plot's wavelength axis
// drawn (the page activated on the open link, so it holds SIM's own
// calibration) and the pointer resting over the plot, its readout shown
// before the sweep begins.
// Usage: bench_sweep_repaint [SAMPLES [BAUD [ROUNDS]]]   (default 1024 19200 3;
// QT_QPA_PLATFORM picks the screen)
#include "bench/PacedSweep.h"
#include "calibration/CPropertyCalibrate.h"
#include "calibration/core/PeakSweep.h"
#include "calibration/plot/SweepPlot.h"
#include "device/AdcLink.h"
#include "settings/SettingsFile.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/CPropertySheet.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QProgressBar>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Notes the time of every paint event of the object it watches.
class PaintClock : public QObject {
public:
    std::vector<Clock::time_point> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            paints.push_back(Clock::now());
        return QObject::eventFilter(watched, event);
    }
};

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The longest gap between the sweep's start, the paints and its end, and where it lies.
std::string LongestGap(Clock::time_point start, Clock::time_point end,
                       const std::vector<Clock::time_point>& paints, double& longest) {
    std::vector<Clock::time_point> marks{start};
    for (const auto& paint : paints)
        if (paint <= end)
            marks.push_back(paint);
    marks.push_back(end);
    longest = 0;
    std::size_t where = 0; // the gap ends at marks[where]
    for (std::size_t i = 1; i < marks.size(); ++i)
        if (Milliseconds(marks[i] - marks[i - 1]) > longest) {
            longest = Milliseconds(marks[i] - marks[i - 1]);
            where = i;
        }
    const std::size_t count = marks.size() - 2;
    const std::string place = where == 1 ? "from the press to the first paint"
                              : where == marks.size() - 1
                                  ? "from the last paint to the end"
                                  : "before paint " + std::to_string(where - 1);
    char text[160];
    std::snprintf(text, sizeof text, "%zu bar paints, longest gap %.1f ms (%s)", count, longest,
                  place.c_str());
    return text;
}

// The pointer comes to rest over the middle of the plotted area.
void RestPointerOn(SweepPlot& plot) {
    const QPointF at = plot.PlotRect().center();
    QMouseEvent move(QEvent::MouseMove, at, plot.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&plot, &move);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int samples = argc > 1 ? std::atoi(argv[1]) : 1024;
    const int baud = argc > 2 ? std::atoi(argv[2]) : 19200;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    if (samples < 16 || samples > 4096 || baud <= 0 || rounds < 1) {
        std::fprintf(stderr, "usage: bench_sweep_repaint [SAMPLES [BAUD [ROUNDS]]]\n");
        return 2;
    }
    // Fresh settings, so "Values" is ours and nothing of the user's is touched.
    const auto config = std::filesystem::temp_directory_path() /
                        ("bench_sweep_repaint_" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    SettingsFile::WriteProfileInt("Calibration", "Values", samples);
    std::vector<std::string> messages;
    SetMessageBoxHandler([&messages](const std::string& text) { messages.push_back(text); });

    int status = 0;
    {
        CPropertyCalibrate page;
        CPropertySheet sheet("VORN ADC Communication");
        sheet.AddPage(&page);
        sheet.show();
        QApplication::processEvents();
        if (!page.progressBar) {
            std::fprintf(stderr, "bench_sweep_repaint: the page shows no progress bar\n");
            return 1;
        }
        PaintClock clock;
        page.progressBar->installEventFilter(&clock);
        std::vector<double> pageRatios, linkRatios, shares, gaps, axisRatios, axisShares;
        for (int round = 0; round < rounds && status == 0; ++round) {
            PacedRun pageRun, linkRun, axisRun;
            std::string gap, axisGap, readout, error;
            double longest = 0, axisLongest = 0;
            bool axisTurn = false;
            const auto onPage = [&] {
                clock.paints.clear();
                const auto start = Clock::now();
                page.OnRunFirst();
                if (axisTurn)
                    axisGap = LongestGap(start, Clock::now(), clock.paints, axisLongest);
                else
                    gap = LongestGap(start, Clock::now(), clock.paints, longest);
                return messages.empty();
            };
            const auto linkOnly = [&] {
                std::vector<int32_t> readings;
                int32_t peak = 0;
                return CalibrationCore::SweepForPeak(samples, readings, peak,
                                                     AdcLink::ProbeAnalogChannel);
            };
            // the order turns round, so a change of load falls on all three alike
            for (int turn = 0; turn < 3 && status == 0; ++turn) {
                QApplication::processEvents();
                const int kind = (turn + round) % 3; // 0 page, 1 page with axis and pointer, 2 link
                axisTurn = kind == 1;
                // The axis shows the calibration the page read at its activation:
                // with the link closed, none.
                if (kind == 0)
                    page.OnSetActive();
                const auto withAxis = [&] {
                    page.OnSetActive();
                    RestPointerOn(*page.Plot());
                    readout = page.Plot()->Readout().text.toStdString();
                };
                if (!SweepOnPacedSim(baud, kind < 2 ? std::function<bool()>(onPage) : linkOnly,
                                     kind == 0   ? pageRun
                                     : kind == 1 ? axisRun
                                                 : linkRun,
                                     error,
                                     axisTurn ? std::function<void()>(withAxis)
                                              : std::function<void()>())) {
                    std::fprintf(stderr, "bench_sweep_repaint: %s\n",
                                 messages.empty() ? error.c_str() : messages.front().c_str());
                    status = 1;
                }
            }
            if (status != 0)
                break;
            pageRatios.push_back(pageRun.Ratio());
            linkRatios.push_back(linkRun.Ratio());
            shares.push_back(pageRun.Ratio() / linkRun.Ratio());
            gaps.push_back(longest);
            axisRatios.push_back(axisRun.Ratio());
            axisShares.push_back(axisRun.Ratio() / linkRun.Ratio());
            std::printf(
                "round %d: %d samples at %d baud on %s: page %.3f s (%.4f of the wire "
                "time, CPU %.3f s), link alone %.3f s (%.4f, CPU %.3f s), page / link %.4f; %s; "
                "counts %d\n",
                round + 1, samples, baud, qPrintable(QGuiApplication::platformName()),
                pageRun.seconds, pageRun.Ratio(), pageRun.cpuSeconds, linkRun.seconds,
                linkRun.Ratio(), linkRun.cpuSeconds, shares.back(), gap.c_str(), page.lowCounts);
            std::printf("  with the wavelength axis and the pointer on the plot (readout \"%s\" "
                        "before): %.3f s (%.4f, CPU %.3f s), page / link %.4f; %s\n",
                        readout.c_str(), axisRun.seconds, axisRun.Ratio(), axisRun.cpuSeconds,
                        axisShares.back(), axisGap.c_str());
            std::fflush(stdout);
        }
        if (status == 0)
            std::printf("median over %d rounds: page %.4f, with axis and pointer %.4f, link alone "
                        "%.4f of the wire time; page / link %.4f, with axis and pointer %.4f; "
                        "longest gap %.1f ms (worst %.1f ms)\n",
                        rounds, Median(pageRatios), Median(axisRatios), Median(linkRatios),
                        Median(shares), Median(axisShares), Median(gaps),
                        *std::max_element(gaps.begin(), gaps.end()));
    }
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
    return status;
}
