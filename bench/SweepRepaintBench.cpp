// Responsiveness of the Calibration page during a sweep: "Run 1st" on a real
// CPropertyCalibrate in a shown sheet, against SIM paced at a baud rate, with
// every paint event of the progress bar timed. The sweep blocks the one
// thread, so these paints are all the operator sees move; the figure is the
// longest gap between two of them (the sweep's start and end count as paints).
// Usage: bench_sweep_repaint [SAMPLES [BAUD [ROUNDS]]]   (default 1024 19200 3;
// QT_QPA_PLATFORM picks the screen)
#include "calibration/CPropertyCalibrate.h"
#include "device/AdcLink.h"
#include "platform/AppMessageBox.h"
#include "platform/CPropertySheet.h"
#include "platform/SettingsFile.h"
#include "sim/SimServer.h"

#include <QApplication>
#include <QEvent>
#include <QProgressBar>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

    SimOptions options;
    options.baud = baud;
    options.filterBands = {450};
    SimServer sim(options);
    std::string error;
    std::string mode = "baud=" + std::to_string(baud) + " parity=N data=8 stop=1";
    if (!sim.Start(error) || !AdcLink::OpenPort(sim.SlavePath(), mode, error)) {
        std::fprintf(stderr, "bench_sweep_repaint: %s\n", error.c_str());
        return 1;
    }
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
        std::vector<double> worst;
        for (int round = 0; round < rounds && status == 0; ++round) {
            QApplication::processEvents();
            clock.paints.clear();
            const auto start = Clock::now();
            page.OnRunFirst();
            const auto end = Clock::now();
            if (!messages.empty()) {
                std::fprintf(stderr, "bench_sweep_repaint: %s\n", messages.front().c_str());
                status = 1;
                break;
            }
            std::vector<Clock::time_point> marks{start};
            for (const auto& paint : clock.paints)
                if (paint <= end)
                    marks.push_back(paint);
            marks.push_back(end);
            double longest = 0;
            std::size_t where = 0; // the gap ends at marks[where]
            for (std::size_t i = 1; i < marks.size(); ++i)
                if (Milliseconds(marks[i] - marks[i - 1]) > longest) {
                    longest = Milliseconds(marks[i] - marks[i - 1]);
                    where = i;
                }
            worst.push_back(longest);
            const std::size_t paints = marks.size() - 2;
            std::printf("round %d: %d samples at %d baud on %s: sweep %.3f s, %zu bar paints, "
                        "longest gap %.1f ms (%s), counts %d\n",
                        round + 1, samples, baud, qPrintable(QGuiApplication::platformName()),
                        Milliseconds(end - start) / 1000, paints, longest,
                        where == 1                  ? "from the press to the first paint"
                        : where == marks.size() - 1 ? "from the last paint to the end"
                                                    : ("before paint " + std::to_string(where - 1) +
                                                       " of " + std::to_string(paints))
                                                          .c_str(),
                        page.lowCounts);
            std::fflush(stdout);
        }
        if (status == 0) {
            std::sort(worst.begin(), worst.end());
            std::printf("median longest gap %.1f ms over %d rounds\n", worst[worst.size() / 2],
                        rounds);
        }
    }
    AdcLink::ClosePort();
    sim.Stop();
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
    return status;
}
