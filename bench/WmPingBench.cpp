// The window during a sweep, as a desktop sees it: the two calibration pages
// in a shown sheet on X (run under Xvfb), connected to `adc-sim --baud BAUD`;
// while "Run 1st" (Calibration) or "Run" (Triple Band Calibration) sweeps, a
// ping client plays the window manager and sends _NET_WM_PING to the sheet's
// window every INTERVAL ms, timing each answer. A desktop offers to end a
// program that leaves a ping unanswered for some seconds.
// Usage: xvfb-run -a build/bench/bench_wm_ping [ROUNDS [INTERVAL_MS [BAUD]]]
//        (default 3 25 19200; the pages' sample counts are their defaults,
//        1024 and 256)
#include "bench/Median.h"
#include "bench/WmPingClient.h"
#include "calibration/CPropertyCalibrate.h"
#include "calibration/CPropertyCalibrateTriple.h"
#include "device/AdcLink.h"
#include "templates/ControlIds.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/CPropertySheet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct PageRun {
    const char* name;
    int index;    // in the sheet
    int buttonId; // the button that starts its sweep
    const char* filter;
};

struct Figures {
    std::vector<double> medians, worsts, sweeps;
    int pings = 0, late = 0, unanswered = 0;
};

void Spin(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Command(const std::string& command) {
    std::string reply;
    return AdcLink::SendCommand(command) && AdcLink::ReadReply(reply);
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "xcb", 1); // the pings need a real window on X
    const auto config =
        std::filesystem::temp_directory_path() / ("bench_wm_ping_" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1); // default sample counts, nothing of the user's
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    const int interval = argc > 2 ? std::atoi(argv[2]) : 25;
    const int baud = argc > 3 ? std::atoi(argv[3]) : 19200;
    if (rounds < 1 || interval < 1 || baud <= 0) {
        std::fprintf(stderr, "usage: bench_wm_ping [ROUNDS [INTERVAL_MS [BAUD]]]\n");
        return 2;
    }
    std::vector<std::string> messages;
    SetMessageBoxHandler([&messages](const std::string& text) { messages.push_back(text); });

    QProcess sim;
    sim.start(QStringLiteral(ADC_SIM), {QStringLiteral("--baud"), QString::number(baud)});
    std::string error;
    if (!sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "bench_wm_ping: adc-sim did not start\n");
        return 1;
    }
    const std::string port = sim.readLine().trimmed().toStdString();
    std::string mode = "baud=" + std::to_string(baud) + " parity=N data=8 stop=1";
    if (!AdcLink::OpenPort(port, mode, error)) {
        std::fprintf(stderr, "bench_wm_ping: %s\n", error.c_str());
        return 1;
    }

    int status = 0;
    {
        CPropertyCalibrate calibrate;
        CPropertyCalibrateTriple triple;
        CPropertySheet sheet("VORN ADC Communication");
        sheet.AddPage(&calibrate);
        sheet.AddPage(&triple);
        sheet.show();
        for (int i = 0; i < 100 && !(sheet.windowHandle() && sheet.windowHandle()->isExposed());
             ++i)
            Spin(20);
        const auto window = static_cast<uint32_t>(sheet.winId());
        const PageRun pages[] = {
            {"Calibration \"Run 1st\"", 0, CalibrationControls::runFirstButton, "SF,450;\r\n"},
            {"Triple Band \"Run\"", 1, TripleControls::runButton, "SF,400,500,600;\r\n"}};
        Figures figures[2];
        for (int round = 0; round < rounds && status == 0; ++round) {
            for (int p = 0; p < 2; ++p) {
                const PageRun& page = pages[p];
                Figures& figure = figures[p];
                if (!sheet.SetActivePage(page.index) && sheet.GetActiveIndex() != page.index) {
                    std::fprintf(stderr, "bench_wm_ping: %s not shown\n", page.name);
                    status = 1;
                    break;
                }
                Command(page.filter);
                auto* button = sheet.GetPage(page.index)->ControlAs<QPushButton>(page.buttonId);
                Spin(200);
                WmPingClient pinger(window, std::chrono::milliseconds(interval));
                if (!pinger.Start(error)) {
                    std::fprintf(stderr, "bench_wm_ping: %s\n", error.c_str());
                    status = 1;
                    break;
                }
                QElapsedTimer sweep;
                sweep.start();
                button->click(); // holds the thread until the sweep ends
                const double seconds = sweep.nsecsElapsed() / 1e9;
                pinger.StopSending();
                Spin(300); // answers still queued are given now
                int unanswered = 0;
                const std::vector<double> waits = pinger.Finish(unanswered);
                if (!messages.empty() || waits.empty()) {
                    std::fprintf(stderr, "bench_wm_ping: %s\n",
                                 messages.empty() ? "no pings sent" : messages.front().c_str());
                    status = 1;
                    break;
                }
                const double worst = *std::max_element(waits.begin(), waits.end());
                const long late = std::count_if(waits.begin(), waits.end(),
                                                [](double wait) { return wait > 100; });
                figure.medians.push_back(Median(waits));
                figure.worsts.push_back(worst);
                figure.sweeps.push_back(seconds);
                figure.pings += static_cast<int>(waits.size());
                figure.late += static_cast<int>(late);
                figure.unanswered += unanswered;
                std::printf("round %d, %s: sweep %.2f s, %zu pings every %d ms, median %.1f ms, "
                            "worst %.1f ms, %ld over 100 ms, %d unanswered\n",
                            round + 1, page.name, seconds, waits.size(), interval,
                            figure.medians.back(), worst, late, unanswered);
                std::fflush(stdout);
            }
        }
        if (status == 0)
            for (int p = 0; p < 2; ++p) {
                const Figures& figure = figures[p];
                std::printf("%s at %d baud over %d rounds: sweep %.2f s, median of the medians "
                            "%.1f ms, worst %.1f ms; %d pings, %d over 100 ms, %d unanswered\n",
                            pages[p].name, baud, rounds, Median(figure.sweeps),
                            Median(figure.medians),
                            *std::max_element(figure.worsts.begin(), figure.worsts.end()),
                            figure.pings, figure.late, figure.unanswered);
            }
    }
    AdcLink::ClosePort();
    sim.terminate();
    sim.waitForFinished(3000);
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
    return status;
}
