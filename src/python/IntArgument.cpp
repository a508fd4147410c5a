#include "python/IntArgument.h"

#include <string>

namespace py = pybind11;

int32_t ToInt32(py::handle value, const char* name, int32_t min, int32_t max) {
    if (!PyIndex_Check(value.ptr()))
        throw py::type_error(std::string(name) + " must be an integer, not " +
                             Py_TYPE(value.ptr())->tp_name);
    const auto index = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
    if (!index)
        throw py::error_already_set();
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
    if (number == -1 && PyErr_Occurred())
        throw py::error_already_set();
    if (overflow != 0 || number < min || number > max)
        throw py::value_error(std::string(name) + " must lie in " + std::to_string(min) + ".." +
                              std::to_string(max));
    return static_cast<int32_t>(number);
}
