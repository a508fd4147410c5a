#include "python/Records.h"

#include <pybind11/stl.h>

namespace py = pybind11;

namespace Records {

namespace {

struct Types {
    py::handle protocol, calibration, wavelengthOutcome, band, peakSweep, bandSweep, portInfo;
};

// Held for the life of the process, never released: results may be made
// while the interpreter shuts down.
Types types;

struct Field {
    const char* name;
    const char* doc;
};

py::handle MakeType(py::module_& module, const char* name, const char* doc,
                    std::initializer_list<Field> fields, const py::tuple& defaults = py::tuple()) {
    py::list names;
    for (const Field& field : fields)
        names.append(field.name);
    py::object type = py::module_::import("collections")
                          .attr("namedtuple")(name, names, py::arg("defaults") = defaults,
                                              py::arg("module") = "vornadc");
    type.attr("__doc__") = doc;
    for (const Field& field : fields)
        type.attr(field.name).attr("__doc__") = field.doc;
    module.add_object(name, type);
    return type.release();
}

} // namespace

void Register(py::module_& module) {
    types.protocol =
        MakeType(module, "Protocol",
                 "The alternating protocol as the Wavelength Protocol tab shows it: times in\n"
                 "milliseconds (sent in tenths, truncated), wavelengths in nm.",
                 {{"ct", "cycle time, ms"},
                  {"dt", "dead time before each wavelength, ms"},
                  {"it1", "integration time at wavelength 1, ms"},
                  {"it2", "integration time at wavelength 2, ms (0 in single-wavelength mode)"},
                  {"wl0", "resting wavelength, nm (brought into the range without complaint)"},
                  {"wl1", "wavelength 1, nm"},
                  {"wl2", "wavelength 2, nm (equal to wl1 in single-wavelength mode)"},
                  {"single_wavelength", "True: wavelength 1 only; it2 and wl2 are not sent"}},
                 py::make_tuple(false));
    types.calibration = MakeType(module, "Calibration",
                                 "The controller's two-point calibration: wavelength (nm) and\n"
                                 "DA counts (0..4095) of its low and high point.",
                                 {{"low_wavelength", "nm"},
                                  {"low_counts", "DA counts"},
                                  {"high_wavelength", "nm"},
                                  {"high_counts", "DA counts"}});
    types.wavelengthOutcome =
        MakeType(module, "WavelengthOutcome", "What the Set Wavelength tab shows after a Set.",
                 {{"wavelength", "the wavelength sent, nm, clamped into wavelength_range()"},
                  {"confirmed", "True when the reply holds \"WL,0!\""},
                  {"reply", "the reply line, '' when none came"},
                  {"status", "the status line, e.g. \" Wavelength is set to  :  450 nm\""}});
    types.band = MakeType(module, "Band", "One band of a three-band sweep.",
                          {{"counts", "DA counts of the band's centre"},
                           {"intensity", "the reading at the band's raw peak"},
                           {"wavelength", "nm; a 0 given is worked out from the other two"}});
    types.peakSweep = MakeType(module, "PeakSweep", "The outcome of Controller.sweep().",
                               {{"counts", "the peak's DA counts, refined to the centroid of the "
                                           "readings above half the peak"},
                                {"readings", "one reading per sample, in sample order"}});
    types.bandSweep = MakeType(module, "BandSweep", "The outcome of Controller.sweep_bands().",
                               {{"low", "the low Band"},
                                {"middle", "the middle Band"},
                                {"high", "the high Band"},
                                {"readings", "one reading per sample, in sample order"}});
    types.portInfo =
        MakeType(module, "PortInfo",
                 "A port that ports(long=True) lists: its name and what is known of it, as\n"
                 "vornadc-cli ports --long prints it ('' where not known).",
                 {{"name", "what connect() takes, e.g. COM1, /dev/ttyUSB0 or SIM"},
                  {"description", "e.g. the USB adapter's product name"},
                  {"manufacturer", "the adapter's maker"},
                  {"serial_number", "the adapter's serial number"},
                  {"vendor_product", "USB vendor and product id, 'vvvv:pppp' in hex"},
                  {"link_target", "for a stable name (/dev/serial/by-id/...): the port it "
                                  "points to"}});
}

py::object MakeProtocol(const ProtocolInMs& p) {
    return types.protocol(p.ct, p.dt, p.it1, p.it2, p.wl0, p.wl1, p.wl2, p.singleWavelength);
}

py::object MakeCalibration(int32_t lowWavelength, int32_t lowCounts, int32_t highWavelength,
                           int32_t highCounts) {
    return types.calibration(lowWavelength, lowCounts, highWavelength, highCounts);
}

py::object MakeWavelengthOutcome(int32_t wavelength, bool confirmed, const std::string& reply,
                                 const std::string& status) {
    return types.wavelengthOutcome(wavelength, confirmed, ReplyText(reply), ReplyText(status));
}

py::object MakePeakSweep(int32_t counts, const std::vector<int32_t>& readings) {
    return types.peakSweep(counts, py::cast(readings));
}

py::object MakeBandSweep(const CalibrationCore::Bands& bands,
                         const std::vector<int32_t>& readings) {
    auto band = [](const CalibrationCore::Band& b) {
        return types.band(b.counts, b.intensity, b.wavelength);
    };
    return types.bandSweep(band(bands.low), band(bands.middle), band(bands.high),
                           py::cast(readings));
}

py::object MakePortInfo(const PortRecord& r) {
    return types.portInfo(r.name, r.description, r.manufacturer, r.serialNumber, r.vendorProduct,
                          r.linkTarget);
}

py::str ReplyText(const std::string& bytes) {
    // Latin-1 maps every byte to one character, so a garbled reply still reads.
    PyObject* text =
        PyUnicode_DecodeLatin1(bytes.data(), static_cast<Py_ssize_t>(bytes.size()), nullptr);
    if (!text)
        throw py::error_already_set();
    return py::reinterpret_steal<py::str>(text);
}

} // namespace Records
