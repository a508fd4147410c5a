// The vornadc module: the names Python sees and their documentation.
#include "device/DevicePorts.h"
#include "python/Controller.h"
#include "python/LinkLock.h"
#include "python/LinkSession.h"
#include "python/ModuleErrors.h"
#include "python/Records.h"
#include "python/WithoutGil.h"
#include "serial/NamedPort.h"
#include "sim/InProcessSim.h"

#include <pybind11/stl.h>

namespace py = pybind11;

namespace {

const char* const moduleDoc = R"(The ADC light-source controller from Python.

The same device link as the VORNadcC window and vornadc-cli: the same bytes,
time-outs, checks and corrections. One link per process:

    import vornadc
    with vornadc.connect("SIM") as adc:
        print(adc.version(), adc.wavelength_range())
        print(adc.set_wavelength(450))

Times are in milliseconds, wavelengths in nm, DA counts 0..4095. Every call
that talks to the controller blocks until its exchange is over (about half a
second more for each reply that does not come), releases the GIL meanwhile,
and waits for any other thread's exchange to finish first.

Device failures raise DeviceError with the reason vornadc-cli gives: NoReplyError
(a TimeoutError too) when the controller sent nothing in time, PortError (an
OSError too) for the port, SweepStopped when Controller.stop() ended a sweep.
Bad arguments raise TypeError (not an integer, say) or ValueError (out of
range) before anything is sent.)";

// The package's version, as the build gave it.
#ifndef VORNADC_VERSION
#define VORNADC_VERSION "0"
#endif

std::unique_ptr<Controller> Connect(const std::string& port, std::string mode, bool check,
                                    const py::object& log) {
    const std::string path =
        log.is_none() ? std::string()
                      : py::module_::import("os").attr("fspath")(log).cast<std::string>();
    return Controller::Connect(port, std::move(mode), check, path);
}

py::list Ports(bool detailed) {
    if (!detailed)
        return py::cast(WithoutGil(DevicePorts::List));
    py::list ports;
    for (const PortRecord& record : WithoutGil(DevicePorts::ListDetailed))
        ports.append(Records::MakePortInfo(record));
    return ports;
}

void DefineController(py::module_& m) {
    py::class_<Controller> controller(m, "Controller",
                                      R"(An open link to the controller, made by connect().

A context manager: leaving the with block closes the port, as close() does.
Dropping the last reference closes it too.)");
    // A Controller comes only from connect(): one made by Controller.__new__
    // would hold no link and crash at its first call.
    controller.attr("__new__") = py::cpp_function(
        [](const py::args&, const py::kwargs&) -> py::object {
            throw py::type_error("a Controller is made by vornadc.connect()");
        },
        py::name("__new__"));
    controller.def_property_readonly("port", &Controller::Port, "The port name given to connect().")
        .def_property_readonly("mode", &Controller::Mode,
                               "The mode string the port was opened with.")
        .def_property_readonly("closed", &Controller::Closed,
                               "True once close() or vornadc.disconnect() has closed its link (any "
                               "call but close() and stop() then raises PortError).")
        .def("close", &Controller::Close,
             "Closes the port. Calling it again does nothing; connect() may follow.")
        .def("stop", &Controller::Stop,
             R"(Stops this Controller's sweep or sweep_bands that runs on another thread
(or calls this from its progress callback): the sweep ends before its next
probe, so the link stays in step, and raises SweepStopped. Does nothing when
no sweep runs; never waits and never raises.)")
        .def(
            "__enter__", [](Controller& self) -> Controller& { return self; },
            py::return_value_policy::reference)
        .def(
            "__exit__", [](Controller& self, const py::args&) { self.Close(); },
            "Closes the port; exceptions pass on.")
        .def("__repr__",
             [](const Controller& self) {
                 return "<vornadc.Controller port=" +
                        py::repr(py::str(self.Port())).cast<std::string>() +
                        (self.Closed() ? " closed>" : " open>");
             })
        .def("version", &Controller::Version, R"(The controller's version line (the ID command).

Pending replies are read and dropped first, as the RS-232 Setup tab does on
connect, which costs one read time-out (about half a second). Returns None
when the controller does not answer.)")
        .def("wavelength_range", &Controller::WavelengthRange,
             R"((min, max) in nm, as the handshake learnt it at connect (or after the
latest accepted write_calibration). An end the controller did not say keeps
its value from before: from an earlier link in this process, else 240 or 699.)")
        .def("set_wavelength", &Controller::SetWavelength, py::arg("nm"), py::arg("check") = true,
             R"(Moves the light source to nm, clamped into wavelength_range().

Returns a WavelengthOutcome: the wavelength sent, whether the controller
confirmed ("WL,0!"), its reply line and the Set Wavelength tab's status line.
With check (the default) a wavelength the controller does not confirm raises
DeviceError with that status line (NoReplyError when no reply came); with
check=False it is an outcome with confirmed False.)")
        .def("send", &Controller::Send, py::arg("text"),
             R"(Sends a raw command, as the Terminal tab does, and returns the reply line.

";" is added when text does not end in one. An empty text, or one that holds
a line end (CR or LF), raises ValueError and nothing is sent; a character
beyond one byte (Latin-1) raises UnicodeEncodeError. No reply
raises DeviceError("No reply").)")
        .def("reactivate", &Controller::Reactivate,
             "Sends RS, which (re)starts the protocol on the controller, and pauses 100 ms.")
        .def("read_protocol", &Controller::ReadProtocol,
             R"(The controller's protocol as a Protocol, in ms, as the Wavelength Protocol tab
reads it: wl2 = 0 means single-wavelength mode (wl2 then shows wl1), and ct
is the whole cycle. DeviceError ("Error reading!", "Wrong answer:\n...") when
it cannot be read.)")
        .def("define_protocol", &Controller::DefineProtocol, py::arg("ct"), py::arg("dt"),
             py::arg("it1"), py::arg("it2"), py::arg("wl0"), py::arg("wl1"), py::arg("wl2"),
             py::arg("single_wavelength") = false,
             R"(Sends a protocol as the Wavelength Protocol tab applies it; returns the
Protocol sent.

Times in ms are truncated to tenths. A cycle time shorter than its parts
raises DeviceError("Invalid cycle time corrected!") and sends nothing. The
link's own checks (dt + it1 and dt + it2 at least 3 ms, resting time at least
3 ms, wl1 and wl2 in range) and a refusal by the controller also raise
DeviceError with its reason. The error's protocol attribute holds the
Protocol with the corrected values; a second call with it gets further. wl0
is brought into range silently. A protocol accepted is not started: call
reactivate(). Non-finite times raise ValueError. Pass a Protocol p as
define_protocol(*p).)")
        .def("read_calibration", &Controller::ReadCalibration,
             "The controller's calibration as a Calibration. DeviceError(\"No calibration read "
             "from the ADC\") when it cannot be read.")
        .def("write_calibration", &Controller::WriteCalibration, py::arg("low_wavelength"),
             py::arg("low_counts"), py::arg("high_wavelength"), py::arg("high_counts"),
             R"(Stores a calibration on the controller (WC), then learns the wavelength
range again. DeviceError("No answer") or ("ADC doesn't accept parameters!")
when it is not taken. Pass a Calibration c as write_calibration(*c).)")
        .def("probe", &Controller::Probe, py::arg("counts"),
             R"(Sets the DA output to counts (an integer in 0..4095; ValueError outside,
TypeError for no integer) and returns the reading of analogue channel 1.
DeviceError("No reading of analogue channel 1") on failure.)")
        .def("sweep", &Controller::Sweep, py::arg("samples") = 1024,
             py::arg("progress") = py::none(),
             R"(The Calibration tab's sweep behind one reference filter; returns a
PeakSweep (counts, readings).

samples is normalised as the tab normalises it (an odd number loses 1, then
at least 16; at most 4096 are taken); sample i is taken at i * (4096 // n)
counts. progress(done, total) is called after a probe at most every 50 ms,
and after the last; an exception it raises, or Ctrl+C, stops the sweep before
the next probe and propagates. stop() from another thread (or from progress)
raises SweepStopped the same way. A failed probe raises DeviceError("Error in
calibration"). Python runs only for these, so other Python threads slow the
sweep little.)")
        .def("sweep_bands", &Controller::SweepBands, py::arg("samples") = 256,
             py::arg("wavelengths") = py::make_tuple(0, 0, 0), py::arg("progress") = py::none(),
             R"(The Triple Band Calibration tab's sweep behind a three-band filter; returns
a BandSweep (low, middle, high, readings), each band a Band (counts,
intensity, wavelength).

wavelengths gives the low, middle and high band's nm, three integers; a 0 is
worked out from the other two. samples, progress, stop() and failures as for
sweep().)");
}

// A child forked while another thread sweeps would start with the lock held
// by a thread it does not have.
void RegisterForkHook() {
    py::module_::import("os").attr("register_at_fork")(
        py::arg("after_in_child") = py::cpp_function(LinkSession::AfterForkInChild));
}

} // namespace

PYBIND11_MODULE(vornadc, m) {
    m.doc() = moduleDoc;
    DevicePorts::Register(Sim::InProcessPort());
    RegisterErrors(m);
    Records::Register(m);
    DefineController(m);
    LinkLock::NoteMainThread();
    RegisterForkHook();
    m.attr("__version__") = VORNADC_VERSION;
    py::module_::import("atexit").attr("register")(py::cpp_function(&Controller::CloseAtExit));
    m.def("ports", &Ports, py::arg("long") = false,
          R"(Every port name offered, in the order vornadc-cli ports prints them:
COM1..COM4, the serial ports the system reports (by device path), the stable
names of USB adapters (/dev/serial/by-id/...), and SIM, the simulated
controller. With long=True, a PortInfo for each, with what ports --long
prints. Asked anew at each call; opens no port.)");
    m.def("connect", &Connect, py::arg("port") = "SIM", py::arg("mode") = "",
          py::arg("check") = true, py::arg("log") = py::none(),
          R"(Opens port with the connection handshake and returns a Controller.

port: COM1..COM4, a device path, socket://HOST:PORT or rfc2217://HOST:PORT
(a serial server on the network), or "SIM" (the built-in simulated
controller). mode: a mode string such as "baud=19200 parity=N data=8 stop=1"
(the default when empty). One link per process: while a Controller is open,
connect raises PortError naming its port (vornadc.disconnect() closes it).
A port that cannot be opened raises PortError with the reason the RS-232
Setup tab shows, the port named first. With check (the default), a
controller that answers nothing of the handshake raises NoReplyError;
check=False returns the Controller all the same, as the tab connects. log:
a file (str or path) to append a record of the conversation to, as
vornadc-cli --log does, until the link closes; one that cannot be opened is
a RuntimeWarning and the link works on without it. Whatever had been opened
is closed again on failure, so a retry can succeed.)");
    m.def("disconnect", &Controller::Disconnect,
          R"(Closes the open link, whichever Controller holds it (one kept alive by a
traceback, say); that Controller's calls then raise PortError. Waits for the
exchange or sweep under way; does nothing when no link is open.)");
}
