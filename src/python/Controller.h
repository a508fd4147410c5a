#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// vornadc.Controller: the open link, one device operation a method. Every
// exchange runs without the GIL and under the module's one lock.
class Controller {
public:
    // Opens the port with the handshake. PortError when another Controller
    // holds the link, or with the open's reason (the port is then closed
    // again, so that a retry can succeed).
    static std::unique_ptr<Controller> Connect(const std::string& port, std::string mode);

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

    pybind11::object Version();
    pybind11::tuple WavelengthRange();
    pybind11::object SetWavelength(int32_t nm);
    pybind11::str Send(const pybind11::str& text);
    void Reactivate();
    pybind11::object ReadProtocol();
    pybind11::object DefineProtocol(double ct, double dt, double it1, double it2, int32_t wl0,
                                    int32_t wl1, int32_t wl2, bool singleWavelength);
    pybind11::object ReadCalibration();
    void WriteCalibration(int32_t lowWavelength, int32_t lowCounts, int32_t highWavelength,
                          int32_t highCounts);
    int32_t Probe(int32_t counts);
    pybind11::object Sweep(int32_t samples, const pybind11::object& progress);
    pybind11::object SweepBands(int32_t samples, const pybind11::sequence& wavelengths,
                                const pybind11::object& progress);

private:
    Controller(uint64_t owner, std::string port, std::string mode);

    // Runs exchange without the GIL, under the lock, once this Controller is
    // known to hold the link.
    template <typename Exchange> auto Run(Exchange exchange);
    // A sweep under Run with the hooks of progress and Ctrl+C; the readings,
    // or DeviceError("Error in calibration").
    template <typename SweepCall>
    std::vector<int32_t> RunSweep(int32_t samples, const pybind11::object& progress,
                                  SweepCall sweep);
    // With the lock held.
    void CloseLink();

    uint64_t owner = 0;
    std::string port;
    std::string mode; // as the link used it (the default filled in)
};
