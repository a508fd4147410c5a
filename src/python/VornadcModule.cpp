// The vornadc module: the names Python sees and their documentation.
#include "device/DevicePorts.h"
#include "python/Controller.h"
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

Device failures raise DeviceError with the reason vornadc-cli gives; a port
that cannot be opened raises PortError; bad arguments raise ValueError or
TypeError before anything is sent.)";

py::list Ports(bool detailed) {
    if (!detailed)
        return py::cast(WithoutGil(DevicePorts::List));
    py::list ports;
    for (const PortRecord& record : WithoutGil(DevicePorts::ListDetailed))
        ports.append(Records::MakePortInfo(record));
    return ports;
}

void DefineController(py::module_& m) {
    py::class_<Controller>(m, "Controller", R"(An open link to the controller, made by connect().

A context manager: leaving the with block closes the port, as close() does.
Dropping the last reference closes it too.)")
        .def_property_readonly("port", &Controller::Port, "The port name given to connect().")
        .def_property_readonly("mode", &Controller::Mode,
                               "The mode string the port was opened with.")
        .def_property_readonly("closed", &Controller::Closed,
                               "True once close() has run (any call then raises PortError).")
        .def("close", &Controller::Close,
             "Closes the port. Calling it again does nothing; connect() may follow.")
        .def(
            "__enter__", [](Controller& self) -> Controller& { return self; },
            py::return_value_policy::reference)
        .def(
            "__exit__",
            [](Controller& self, const py::args&) {
                self.Close();
                return false;
            },
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
latest accepted write_calibration). 240..699 when the controller never said.)")
        .def("set_wavelength", &Controller::SetWavelength, py::arg("nm"),
             R"(Moves the light source to nm, clamped into wavelength_range().

Returns a WavelengthOutcome: the wavelength sent, whether the controller
confirmed ("WL,0!"), its reply line and the Set Wavelength tab's status line.
A refusal or a missing reply is an outcome, not an exception.)")
        .def("send", &Controller::Send, py::arg("text"),
             R"(Sends a raw command, as the Terminal tab does, and returns the reply line.

";" is added when text does not end in one. An empty text raises ValueError;
a character beyond one byte (Latin-1) raises UnicodeEncodeError. No reply
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
             R"(Sets the DA output to counts (0..4095; ValueError otherwise) and returns
the reading of analogue channel 1. DeviceError("No reading of analogue
channel 1") on failure.)")
        .def("sweep", &Controller::Sweep, py::arg("samples") = 1024,
             py::arg("progress") = py::none(),
             R"(The Calibration tab's sweep behind one reference filter; returns a
PeakSweep (counts, readings).

samples is normalised as the tab normalises it (an odd number loses 1, then
at least 16; at most 4096 are taken); sample i is taken at i * (4096 // n)
counts. progress(done, total) is called after each probe; an exception it
raises, or Ctrl+C, stops the sweep before the next probe and propagates. A
failed probe raises DeviceError("Error in calibration").)")
        .def("sweep_bands", &Controller::SweepBands, py::arg("samples") = 256,
             py::arg("wavelengths") = py::make_tuple(0, 0, 0), py::arg("progress") = py::none(),
             R"(The Triple Band Calibration tab's sweep behind a three-band filter; returns
a BandSweep (low, middle, high, readings), each band a Band (counts,
intensity, wavelength).

wavelengths gives the low, middle and high band's nm; a 0 is worked out from
the other two. samples, progress and failures as for sweep().)");
}

} // namespace

PYBIND11_MODULE(vornadc, m) {
    m.doc() = moduleDoc;
    DevicePorts::Register(Sim::InProcessPort());
    RegisterErrors(m);
    Records::Register(m);
    DefineController(m);
    py::module_::import("atexit").attr("register")(py::cpp_function(&Controller::CloseAtExit));
    m.def("ports", &Ports, py::arg("long") = false,
          R"(Every port name offered, in the order vornadc-cli ports prints them:
COM1..COM4, the serial ports the system reports (by device path), the stable
names of USB adapters (/dev/serial/by-id/...), and SIM, the simulated
controller. With long=True, a PortInfo for each, with what ports --long
prints. Asked anew at each call; opens no port.)");
    m.def("connect", &Controller::Connect, py::arg("port") = "SIM", py::arg("mode") = "",
          R"(Opens port with the connection handshake and returns a Controller.

port: COM1..COM4, a device path, socket://HOST:PORT or rfc2217://HOST:PORT
(a serial server on the network), or "SIM" (the built-in simulated
controller). mode: a mode string such as "baud=19200 parity=N data=8 stop=1"
(the default when empty). One link per process: while a Controller is open,
connect raises PortError naming its port. A port that cannot be opened raises
PortError with the reason the RS-232 Setup tab shows; whatever had been
opened is closed again, so a retry can succeed.)");
}
