#include "python/ModuleErrors.h"

#include "python/Records.h"

#include <pybind11/pybind11.h>

namespace py = pybind11;

namespace {

// Held for the life of the process: the translator may run until the end.
PyObject* deviceError = nullptr;
PyObject* portError = nullptr;

void Raise(PyObject* type, const DeviceFailure& failure) {
    py::object error = py::reinterpret_borrow<py::object>(type)(failure.what());
    if (failure.protocol)
        error.attr("protocol") = Records::MakeProtocol(*failure.protocol);
    PyErr_SetObject(type, error.ptr());
}

} // namespace

void RegisterErrors(py::module_& module) {
    deviceError = PyErr_NewExceptionWithDoc(
        "vornadc.DeviceError",
        "The controller did not answer, refused, or the link failed. str(error) is the\n"
        "reason vornadc-cli gives (\"No answer\", \"ADC doesn't accept parameters!\",\n"
        "\"Error in calibration\", ...). From define_protocol, protocol holds the\n"
        "Protocol as the checks corrected it; otherwise it is None.",
        PyExc_Exception, nullptr);
    portError = PyErr_NewExceptionWithDoc(
        "vornadc.PortError",
        "The port could not be opened (the reason the RS-232 Setup tab shows), another\n"
        "Controller holds the link, or this Controller is closed.",
        deviceError, nullptr);
    if (!deviceError || !portError)
        throw py::error_already_set();
    PyObject_SetAttrString(deviceError, "protocol", Py_None);
    module.add_object("DeviceError", py::reinterpret_borrow<py::object>(deviceError));
    module.add_object("PortError", py::reinterpret_borrow<py::object>(portError));
    // The translator's type takes the pointer by value.
    // NOLINTNEXTLINE(performance-unnecessary-value-param)
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown)
                std::rethrow_exception(thrown);
        } catch (const PortFailure& failure) {
            Raise(portError, failure);
        } catch (const DeviceFailure& failure) {
            Raise(deviceError, failure);
        }
    });
}
