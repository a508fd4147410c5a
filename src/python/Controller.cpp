#include "python/Controller.h"

#include "calibration/core/BandSweep.h"
#include "calibration/core/PeakSweep.h"
#include "device/AdcLink.h"
#include "device/FailureTexts.h"
#include "device/TerminalCommand.h"
#include "device/VersionQuery.h"
#include "device/WavelengthCommand.h"
#include "python/LinkLock.h"
#include "python/LinkSession.h"
#include "python/ModuleErrors.h"
#include "python/Records.h"
#include "python/SweepHooks.h"
#include "python/WithoutGil.h"

#include <algorithm>
#include <cmath>

namespace py = pybind11;

namespace {

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

// One operation under the lock: notes how many reads had met silence as it
// begins, so that its failure can tell a silent controller (NoReplyError)
// from one that refused or answered wrongly (DeviceError).
class Attempt {
public:
    Attempt() : before(AdcLink::CountReplies()) {}

    [[noreturn]] void Fail(const std::string& reason,
                           std::optional<ProtocolInMs> corrected = std::nullopt) const {
        if (AdcLink::CountReplies().timedOut > before.timedOut)
            throw NoReplyFailure(reason, corrected);
        throw DeviceFailure(reason, corrected);
    }

    bool Answered() const { return AdcLink::CountReplies().delivered > before.delivered; }

private:
    AdcLink::ReplyTally before;
};

// With the lock held.
void ClosePortAndLog() {
    AdcLink::ClosePort();
    std::string ignored;
    AdcLink::StartLog("", ignored);
}

// The sweep's turn as the one that stop() reaches, ended however it ends.
class SweepTurn {
public:
    explicit SweepTurn(SweepHooks& hooks) { hooks.Attach(LinkSession::BeginSweep()); }
    ~SweepTurn() { LinkSession::EndSweep(); }
    SweepTurn(const SweepTurn&) = delete;
    SweepTurn& operator=(const SweepTurn&) = delete;
};

} // namespace

Controller::Controller(uint64_t ownerNumber, std::string portName, std::string modeString)
    : owner(ownerNumber), port(std::move(portName)), mode(std::move(modeString)) {}

std::unique_ptr<Controller> Controller::Connect(const std::string& port, std::string mode,
                                                bool check, const std::string& log) {
    std::string logError;
    const uint64_t owner = LinkLock::Run([&] {
        if (LinkSession::IsOpen()) {
            const std::string& open = LinkSession::OpenPortName();
            throw PortFailure("Port " + open +
                                  " is already open; close its Controller or call "
                                  "vornadc.disconnect() first",
                              open);
        }
        if (!log.empty())
            AdcLink::StartLog(log, logError);
        const Attempt attempt;
        std::string errorText;
        if (!AdcLink::OpenPort(port, mode, errorText)) {
            const int errorNumber = AdcLink::OpenErrorNumber();
            ClosePortAndLog();
            std::replace(errorText.begin(), errorText.end(), '\n', ' ');
            throw PortFailure(port + ": " + errorText, port, errorNumber);
        }
        if (check && !attempt.Answered()) {
            ClosePortAndLog();
            throw NoReplyFailure(port + ": no answer to the connection handshake");
        }
        return LinkSession::Open(port);
    });
    std::unique_ptr<Controller> controller(new Controller(owner, port, mode));
    if (!logError.empty()) {
        try {
            py::module_::import("warnings")
                .attr("warn")(Records::ReplyText(logError), py::handle(PyExc_RuntimeWarning), 2);
        } catch (py::error_already_set&) {
            controller->Close(); // the warning was made an error
            throw;
        }
    }
    return controller;
}

void Controller::Disconnect() {
    LinkLock::Run([] {
        if (!LinkSession::IsOpen())
            return;
        ClosePortAndLog();
        LinkSession::Close();
    });
}

void Controller::CloseAtExit() {
    LinkSession::SetEnding();
    WithoutGil([] {
        const std::lock_guard<std::timed_mutex> lock(LinkSession::Mutex());
        if (!LinkSession::IsOpen())
            return;
        ClosePortAndLog();
        LinkSession::Close();
    });
}

Controller::~Controller() {
    // Dropped without close(): the link goes with it, as a file would. No
    // other thread can be inside an exchange of a Controller being destroyed,
    // so the lock is free soon enough to be taken with the GIL held.
    if (!LinkSession::IsCurrent(owner))
        return;
    const std::lock_guard<std::timed_mutex> lock(LinkSession::Mutex());
    CloseLink();
}

template <typename Exchange> auto Controller::Run(Exchange exchange) {
    return LinkLock::Run([&] {
        if (!LinkSession::IsCurrent(owner))
            throw PortFailure("The Controller of port " + port + " is closed", port);
        return exchange();
    });
}

bool Controller::Closed() const {
    return !LinkSession::IsCurrent(owner);
}

void Controller::Close() {
    LinkLock::Run([this] { CloseLink(); });
}

void Controller::Stop() {
    LinkSession::RequestStop(owner);
}

void Controller::CloseLink() {
    if (!LinkSession::IsCurrent(owner))
        return;
    ClosePortAndLog();
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

py::object Controller::SetWavelength(const IntArgument& nm, bool check) {
    const int32_t requested = ToInt32(nm, "nm");
    WavelengthRequest request;
    const WavelengthOutcome outcome = Run([&] {
        const Attempt attempt;
        request = PrepareWavelength(requested, AdcLink::MinWavelength(), AdcLink::MaxWavelength());
        WavelengthOutcome done = ::SetWavelength(request);
        if (check && !done.success)
            attempt.Fail(done.statusText);
        return done;
    });
    return Records::MakeWavelengthOutcome(request.wavelength, outcome.success, outcome.reply,
                                          outcome.statusText);
}

py::str Controller::Send(const py::str& text) {
    const std::string bytes = CommandBytes(text);
    if (bytes.empty())
        throw py::value_error("send needs a command text");
    const TerminalOutcome outcome = Run([&] {
        const Attempt attempt;
        TerminalOutcome done = ExchangeTerminalCommand(CompleteTerminalCommand(bytes));
        if (!done.replied && !done.refused)
            attempt.Fail(FailureTexts::noReply);
        return done;
    });
    if (outcome.refused) // a second line would put the link one reply behind
        throw py::value_error(lineEndRefusal);
    return Records::ReplyText(outcome.reply);
}

void Controller::Reactivate() {
    Run([] { AdcLink::ReactivateProtocol(); });
}

py::object Controller::ReadProtocol() {
    ProtocolInMs protocol;
    Run([&] {
        const Attempt attempt;
        std::string errorText;
        if (!ReadProtocolInMs(protocol, errorText))
            attempt.Fail(errorText);
    });
    return Records::MakeProtocol(protocol);
}

py::object Controller::DefineProtocol(double ct, double dt, double it1, double it2,
                                      const IntArgument& wl0, const IntArgument& wl1,
                                      const IntArgument& wl2, bool singleWavelength) {
    for (const double time : {ct, dt, it1, it2})
        if (!std::isfinite(time))
            throw py::value_error("protocol times must be finite numbers of milliseconds");
    ProtocolInMs protocol{ct,
                          dt,
                          it1,
                          it2,
                          ToInt32(wl0, "wl0"),
                          ToInt32(wl1, "wl1"),
                          ToInt32(wl2, "wl2"),
                          singleWavelength};
    Run([&] {
        const Attempt attempt;
        std::string errorText;
        if (ApplyProtocolInMs(protocol, errorText) != ProtocolApplied::Defined)
            attempt.Fail(errorText, protocol);
    });
    return Records::MakeProtocol(protocol);
}

py::object Controller::ReadCalibration() {
    int32_t values[4] = {0, 0, 0, 0};
    Run([&] {
        const Attempt attempt;
        if (!AdcLink::ReadCalibration(values[0], values[1], values[2], values[3]))
            attempt.Fail(FailureTexts::noCalibration);
    });
    return Records::MakeCalibration(values[0], values[1], values[2], values[3]);
}

void Controller::WriteCalibration(const IntArgument& lowWavelength, const IntArgument& lowCounts,
                                  const IntArgument& highWavelength,
                                  const IntArgument& highCounts) {
    const int32_t values[4] = {
        ToInt32(lowWavelength, "low_wavelength"), ToInt32(lowCounts, "low_counts"),
        ToInt32(highWavelength, "high_wavelength"), ToInt32(highCounts, "high_counts")};
    Run([&] {
        const Attempt attempt;
        std::string errorText;
        if (!AdcLink::WriteCalibration(values[0], values[1], values[2], values[3], errorText))
            attempt.Fail(errorText);
    });
}

int32_t Controller::Probe(const IntArgument& counts) {
    int32_t value = ToInt32(counts, "counts", 0, CalibrationCore::countsRange - 1);
    Run([&] {
        const Attempt attempt;
        if (!AdcLink::ProbeAnalogChannel(value))
            attempt.Fail(FailureTexts::noProbeReading);
    });
    return value;
}

template <typename SweepCall>
std::vector<int32_t> Controller::RunSweep(int32_t samples, const py::object& progress,
                                          SweepCall sweep) {
    CheckProgress(progress);
    const int32_t n = CalibrationCore::NormaliseSampleCount(samples);
    SweepHooks hooks(progress, CalibrationCore::SweepSampleCount(n));
    std::vector<int32_t> readings;
    bool stopped = false;
    const bool swept = Run([&] {
        const Attempt attempt;
        bool done = false;
        {
            const SweepTurn turn(hooks);
            done = sweep(n, readings, hooks);
        }
        stopped = LinkSession::SweepWasStopped();
        if (!done && !hooks.Raised() && !stopped)
            attempt.Fail(FailureTexts::sweepFailed);
        return done;
    });
    hooks.Rethrow();
    if (!swept)
        throw SweepStoppedFailure("The sweep was stopped by stop()");
    return readings;
}

py::object Controller::Sweep(const IntArgument& samples, const py::object& progress) {
    int32_t counts = 0;
    const std::vector<int32_t> readings = RunSweep(
        ToInt32(samples, "samples"), progress,
        [&](int32_t n, std::vector<int32_t>& taken, SweepHooks& hooks) {
            return CalibrationCore::SweepForPeak(n, taken, counts, AdcLink::ProbeAnalogChannel,
                                                 hooks.Progress(), hooks.Stop());
        });
    return Records::MakePeakSweep(counts, readings);
}

py::object Controller::SweepBands(const IntArgument& samples, const py::sequence& wavelengths,
                                  const py::object& progress) {
    if (py::len(wavelengths) != 3)
        throw py::value_error("wavelengths must be three values: low, middle, high (nm)");
    CalibrationCore::Bands bands;
    bands.low.wavelength = ToInt32(py::object(wavelengths[0]), "a wavelength");
    bands.middle.wavelength = ToInt32(py::object(wavelengths[1]), "a wavelength");
    bands.high.wavelength = ToInt32(py::object(wavelengths[2]), "a wavelength");
    const std::vector<int32_t> readings = RunSweep(
        ToInt32(samples, "samples"), progress,
        [&](int32_t n, std::vector<int32_t>& taken, SweepHooks& hooks) {
            return CalibrationCore::SweepForBands(n, taken, bands, AdcLink::ProbeAnalogChannel,
                                                  hooks.Progress(), hooks.Stop());
        });
    return Records::MakeBandSweep(bands, readings);
}
