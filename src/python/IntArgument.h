#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <limits>

// An integer argument as Python passes it: an int, or anything with
// __index__ (numpy's integers, say). Anything else is refused by pybind11
// with TypeError before the call; ToInt32 refuses a value outside its range
// with ValueError, so that 2**31 and 4096 fail alike where 4095 is the limit.
class IntArgument : public pybind11::object {
public:
    PYBIND11_OBJECT_DEFAULT(IntArgument, object, PyIndex_Check)
};

namespace pybind11::detail {
template <> struct handle_type_name<IntArgument> {
    static constexpr auto name = const_name("int");
};
} // namespace pybind11::detail

// The value of an int (or __index__) argument named name, within min..max;
// ValueError otherwise, TypeError for a value that is no integer at all.
int32_t ToInt32(pybind11::handle value, const char* name,
                int32_t min = std::numeric_limits<int32_t>::min(),
                int32_t max = std::numeric_limits<int32_t>::max());
