#include "python/Controller.h"

#include "calibration/core/PeakSweep.h"
#include "device/AdcLink.h"
#include "device/FailureTexts.h"
#include "device/TerminalCommand.h"
#include "device/VersionQuery.h"
#include "device/WavelengthCommand.h"
#include "python/LinkSession.h"
#include "python/ModuleErrors.h"
#include "python/Records.h"
#include "python/SweepHooks.h"
#include "python/WithoutGil.h"

#include <cmath>
#include <stdexcept>

namespace py = pybind11;

namespace {

// Holds the lock for the calling thread and says so, so that a progress
// callback calling back into the Controller is refused instead of waiting
// for itself.
class HeldLock {
public:
    HeldLock() : lock(LinkSession::Mutex()) { LinkSession::MarkHeld(true); }
    ~HeldLock() { LinkSession::MarkHeld(false); }

private:
    std::lock_guard<std::mutex> lock;
};

void RefuseReentry() {
    if (LinkSession::HeldByThisThread())
        throw std::runtime_error("a Controller cannot be used from a sweep's progress callback");
}

void CheckProgress(const py::object& progress) {
    if (!progress.is_none() && !PyCallable_Check(progress.ptr()))
        throw py::type_error("progress must be None or callable as progress(done, total)");
}

// One byte a character, as replies are read; a character beyond that is
// refused (UnicodeEncodeError, a ValueError) before anything is sent.
std::string CommandBytes(const py::str& text) {
    PyObject* encoded = PyUnicode_AsLatin1String(text.ptr());
    if (!encoded)
        throw py::error_already_set();
    return py::reinterpret_steal<py::bytes>(encoded);
}

} // namespace

Controller::Controller(uint64_t ownerNumber, std::string portName, std::string modeString)
    : owner(ownerNumber), port(std::move(portName)), mode(std::move(modeString)) {}

std::unique_ptr<Controller> Controller::Connect(const std::string& port, std::string mode) {
    RefuseReentry();
    const uint64_t owner = WithoutGil([&] {
        HeldLock lock;
        if (LinkSession::IsOpen())
            throw PortFailure("Port " + LinkSession::OpenPortName() +
                              " is already open; close its Controller first");
        std::string errorText;
        if (!AdcLink::OpenPort(port, mode, errorText)) {
            // A port opened before the failure stays held otherwise.
            AdcLink::ClosePort();
            throw PortFailure(errorText);
        }
        return LinkSession::Open(port);
    });
    return std::unique_ptr<Controller>(new Controller(owner, port, mode));
}

void Controller::CloseAtExit() {
    LinkSession::SetEnding();
    WithoutGil([] {
        HeldLock lock;
        if (!LinkSession::IsOpen())
            return;
        AdcLink::ClosePort();
        LinkSession::Close();
    });
}

Controller::~Controller() {
    // Dropped without close(): the link goes with it, as a file would. No
    // other thread can be inside an exchange of a Controller being destroyed,
    // so the lock is free soon enough to be taken with the GIL held.
    if (!LinkSession::IsCurrent(owner))
        return;
    std::lock_guard<std::mutex> lock(LinkSession::Mutex());
    CloseLink();
}

template <typename Exchange> auto Controller::Run(Exchange exchange) {
    RefuseReentry();
    return WithoutGil([&] {
        HeldLock lock;
        if (!LinkSession::IsCurrent(owner))
            throw PortFailure("This Controller is closed");
        return exchange();
    });
}

bool Controller::Closed() const {
    return !LinkSession::IsCurrent(owner);
}

void Controller::Close() {
    RefuseReentry();
    // Another thread's sweep may hold the lock and wait for the GIL.
    WithoutGil([this] {
        HeldLock lock;
        CloseLink();
    });
}

void Controller::CloseLink() {
    if (!LinkSession::IsCurrent(owner))
        return;
    AdcLink::ClosePort();
    LinkSession::Close();
}

py::object Controller::Version() {
    std::string version;
    if (!Run([&] { return QueryVersion(version); }))
        return py::none();
    return Records::ReplyText(version);
}

py::tuple Controller::WavelengthRange() {
    const auto range =
        Run([] { return std::make_pair(AdcLink::MinWavelength(), AdcLink::MaxWavelength()); });
    return py::make_tuple(range.first, range.second);
}

py::object Controller::SetWavelength(int32_t nm) {
    WavelengthRequest request;
    const WavelengthOutcome outcome = Run([&] {
        request = PrepareWavelength(nm, AdcLink::MinWavelength(), AdcLink::MaxWavelength());
        return ::SetWavelength(request);
    });
    return Records::MakeWavelengthOutcome(request.wavelength, outcome.success, outcome.reply,
                                          outcome.statusText);
}

py::str Controller::Send(const py::str& text) {
    const std::string bytes = CommandBytes(text);
    if (bytes.empty())
        throw py::value_error("send needs a command text");
    const TerminalOutcome outcome =
        Run([&] { return ExchangeTerminalCommand(CompleteTerminalCommand(bytes)); });
    if (!outcome.replied)
        throw DeviceFailure(FailureTexts::noReply);
    return Records::ReplyText(outcome.reply);
}

void Controller::Reactivate() {
    Run([] { AdcLink::ReactivateProtocol(); });
}

py::object Controller::ReadProtocol() {
    ProtocolInMs protocol;
    std::string errorText;
    if (!Run([&] { return ReadProtocolInMs(protocol, errorText); }))
        throw DeviceFailure(errorText);
    return Records::MakeProtocol(protocol);
}

py::object Controller::DefineProtocol(double ct, double dt, double it1, double it2, int32_t wl0,
                                      int32_t wl1, int32_t wl2, bool singleWavelength) {
    for (const double time : {ct, dt, it1, it2})
        if (!std::isfinite(time))
            throw py::value_error("protocol times must be finite numbers of milliseconds");
    ProtocolInMs protocol{ct, dt, it1, it2, wl0, wl1, wl2, singleWavelength};
    std::string errorText;
    if (Run([&] { return ApplyProtocolInMs(protocol, errorText); }) != ProtocolApplied::Defined)
        throw DeviceFailure(errorText, protocol);
    return Records::MakeProtocol(protocol);
}

py::object Controller::ReadCalibration() {
    int32_t values[4] = {0, 0, 0, 0};
    if (!Run([&] { return AdcLink::ReadCalibration(values[0], values[1], values[2], values[3]); }))
        throw DeviceFailure(FailureTexts::noCalibration);
    return Records::MakeCalibration(values[0], values[1], values[2], values[3]);
}

void Controller::WriteCalibration(int32_t lowWavelength, int32_t lowCounts, int32_t highWavelength,
                                  int32_t highCounts) {
    std::string errorText;
    if (!Run([&] {
            return AdcLink::WriteCalibration(lowWavelength, lowCounts, highWavelength, highCounts,
                                             errorText);
        }))
        throw DeviceFailure(errorText);
}

int32_t Controller::Probe(int32_t counts) {
    if (counts < 0 || counts >= CalibrationCore::countsRange)
        throw py::value_error("counts must lie in 0..4095");
    int32_t value = counts;
    if (!Run([&] { return AdcLink::ProbeAnalogChannel(value); }))
        throw DeviceFailure(FailureTexts::noProbeReading);
    return value;
}

template <typename SweepCall>
std::vector<int32_t> Controller::RunSweep(int32_t samples, const py::object& progress,
                                          SweepCall sweep) {
    CheckProgress(progress);
    const int32_t n = CalibrationCore::NormaliseSampleCount(samples);
    SweepHooks hooks(progress, CalibrationCore::SweepSampleCount(n));
    std::vector<int32_t> readings;
    const bool swept = Run([&] { return sweep(n, readings, hooks); });
    hooks.Rethrow();
    if (!swept && LinkSession::Ending())
        throw PortFailure("The link closed as Python exits");
    if (!swept)
        throw DeviceFailure(FailureTexts::sweepFailed);
    return readings;
}

py::object Controller::Sweep(int32_t samples, const py::object& progress) {
    int32_t counts = 0;
    const std::vector<int32_t> readings =
        RunSweep(samples, progress, [&](int32_t n, std::vector<int32_t>& taken, SweepHooks& hooks) {
            return CalibrationCore::SweepForPeak(n, taken, counts, AdcLink::ProbeAnalogChannel,
                                                 hooks.Progress(), hooks.Stop());
        });
    return Records::MakePeakSweep(counts, readings);
}

py::object Controller::SweepBands(int32_t samples, const py::sequence& wavelengths,
                                  const py::object& progress) {
    if (py::len(wavelengths) != 3)
        throw py::value_error("wavelengths must be three values: low, middle, high (nm)");
    CalibrationCore::Bands bands;
    bands.low.wavelength = wavelengths[0].cast<int32_t>();
    bands.middle.wavelength = wavelengths[1].cast<int32_t>();
    bands.high.wavelength = wavelengths[2].cast<int32_t>();
    const std::vector<int32_t> readings =
        RunSweep(samples, progress, [&](int32_t n, std::vector<int32_t>& taken, SweepHooks& hooks) {
            return CalibrationCore::SweepForBands(n, taken, bands, AdcLink::ProbeAnalogChannel,
                                                  hooks.Progress(), hooks.Stop());
        });
    return Records::MakeBandSweep(bands, readings);
}
