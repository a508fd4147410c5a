#include "python/ModuleErrors.h"

#include "python/Records.h"

#include <pybind11/pybind11.h>

#include <cstring>

namespace py = pybind11;

namespace {

// Held for the life of the process: the translator may run until the end.
PyObject* deviceError = nullptr;
PyObject* portError = nullptr;
PyObject* noReplyError = nullptr;
PyObject* sweepStopped = nullptr;

PyObject* MakeError(const char* name, const char* doc, const py::object& bases) {
    // OSError's own str() would show "[Errno N] strerror" in place of the
    // message once errno is set; the message says more, and names the port.
    py::dict body;
    body["__str__"] = py::handle(PyExc_BaseException).attr("__str__");
    PyObject* type = PyErr_NewExceptionWithDoc(name, doc, bases.ptr(), body.ptr());
    if (!type)
        throw py::error_already_set();
    return type;
}

py::object MakeException(PyObject* type, const DeviceFailure& failure) {
    py::object error = py::reinterpret_borrow<py::object>(type)(Records::ReplyText(failure.reason));
    if (failure.protocol)
        error.attr("protocol") = Records::MakeProtocol(*failure.protocol);
    return error;
}

void Raise(PyObject* type, const DeviceFailure& failure) {
    PyErr_SetObject(type, MakeException(type, failure).ptr());
}

void RaisePortError(const PortFailure& failure) {
    py::object error = MakeException(portError, failure);
    error.attr("filename") = failure.port; // as the caller gave it
    if (failure.errorNumber != 0) {
        error.attr("errno") = failure.errorNumber;
        error.attr("strerror") = std::strerror(failure.errorNumber);
    }
    PyErr_SetObject(portError, error.ptr());
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
    if (!deviceError)
        throw py::error_already_set();
    const py::handle device(deviceError);
    portError =
        MakeError("vornadc.PortError",
                  "The port could not be opened, another Controller holds the link, or this\n"
                  "Controller is closed; an OSError too. str(error) is one line that names the\n"
                  "port; filename is the port, errno (errno.EBUSY for a busy port, say) and\n"
                  "strerror the system's where it gave one, else None.",
                  py::make_tuple(device, py::handle(PyExc_OSError)));
    noReplyError = MakeError("vornadc.NoReplyError",
                             "The controller sent no reply in time (about half a second); a\n"
                             "TimeoutError too.",
                             py::make_tuple(device, py::handle(PyExc_TimeoutError)));
    sweepStopped = MakeError("vornadc.SweepStopped",
                             "Controller.stop() ended the sweep before its next probe.",
                             py::make_tuple(device));
    PyObject_SetAttrString(deviceError, "protocol", Py_None);
    module.add_object("DeviceError", py::reinterpret_borrow<py::object>(deviceError));
    module.add_object("PortError", py::reinterpret_borrow<py::object>(portError));
    module.add_object("NoReplyError", py::reinterpret_borrow<py::object>(noReplyError));
    module.add_object("SweepStopped", py::reinterpret_borrow<py::object>(sweepStopped));
    // The translator's type takes the pointer by value.
    // NOLINTNEXTLINE(performance-unnecessary-value-param)
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown)
                std::rethrow_exception(thrown);
        } catch (const PortFailure& failure) {
            RaisePortError(failure);
        } catch (const NoReplyFailure& failure) {
            Raise(noReplyError, failure);
        } catch (const SweepStoppedFailure& failure) {
            Raise(sweepStopped, failure);
        } catch (const DeviceFailure& failure) {
            Raise(deviceError, failure);
        }
    });
}
