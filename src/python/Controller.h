#pragma once

#include "python/IntArgument.h"

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// vornadc.Controller: the open link, one device operation a method. Every
// exchange runs without the GIL and under the module's one lock (LinkLock).
class Controller {
public:
    // Opens the port with the handshake, appending the conversation to log
    // when it is not empty (a log that cannot be opened is a RuntimeWarning).
    // PortError when another Controller holds the link, or with the open's
    // reason; with check, NoReplyError when nothing answered the handshake.
    // Whatever was opened is closed again on failure, so a retry can succeed.
    static std::unique_ptr<Controller> Connect(const std::string& port, std::string mode,
                                               bool check, const std::string& log);
    // vornadc.disconnect(): closes the link, whichever Controller holds it.
    static void Disconnect();

    // Registered with atexit: stops a sweep left running on a daemon thread,
    // waits for the exchange under way, and closes the link, all before the
    // interpreter ends those threads.
    static void CloseAtExit();

    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;
    ~Controller();

    const std::string& Port() const { return port; }
    const std::string& Mode() const { return mode; }
    bool Closed() const;
    void Close();
    // Ends a sweep of this Controller's that runs on another thread (or in
    // its progress callback) before its next probe; it raises SweepStopped.
    void Stop();

    pybind11::object Version();
    pybind11::tuple WavelengthRange();
    pybind11::object SetWavelength(const IntArgument& nm, bool check);
    pybind11::str Send(const pybind11::str& text);
    void Reactivate();
    pybind11::object ReadProtocol();
    pybind11::object DefineProtocol(double ct, double dt, double it1, double it2,
                                    const IntArgument& wl0, const IntArgument& wl1,
                                    const IntArgument& wl2, bool singleWavelength);
    pybind11::object ReadCalibration();
    void WriteCalibration(const IntArgument& lowWavelength, const IntArgument& lowCounts,
                          const IntArgument& highWavelength, const IntArgument& highCounts);
    int32_t Probe(const IntArgument& counts);
    pybind11::object Sweep(const IntArgument& samples, const pybind11::object& progress);
    pybind11::object SweepBands(const IntArgument& samples, const pybind11::sequence& wavelengths,
                                const pybind11::object& progress);

private:
    Controller(uint64_t owner, std::string port, std::string mode);

    // Runs exchange under LinkLock::Run once this Controller is known to hold
    // the link; PortError when it does not.
    template <typename Exchange> auto Run(Exchange exchange);
    // A sweep under Run with the hooks of progress, Ctrl+C and stop(); the
    // readings, or DeviceError("Error in calibration").
    template <typename SweepCall>
    std::vector<int32_t> RunSweep(int32_t samples, const pybind11::object& progress,
                                  SweepCall sweep);
    // With the lock held.
    void CloseLink();

    uint64_t owner = 0;
    std::string port;
    std::string mode; // as the link used it (the default filled in)
};
