#pragma once

#include "calibration/core/BandSweep.h"
#include "device/ProtocolCommand.h"
#include "ports/PortRecords.h"

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>
#include <vector>

// The named tuples the module returns, and the text of the controller's
// replies (bytes kept as they came: one character per byte).
namespace Records {

// Adds Protocol, Calibration, WavelengthOutcome, Band, PeakSweep, BandSweep
// and PortInfo to the module.
void Register(pybind11::module_& module);

pybind11::object MakeProtocol(const ProtocolInMs& protocol);
pybind11::object MakeCalibration(int32_t lowWavelength, int32_t lowCounts, int32_t highWavelength,
                                 int32_t highCounts);
pybind11::object MakeWavelengthOutcome(int32_t wavelength, bool confirmed, const std::string& reply,
                                       const std::string& status);
pybind11::object MakePeakSweep(int32_t counts, const std::vector<int32_t>& readings);
pybind11::object MakeBandSweep(const CalibrationCore::Bands& bands,
                               const std::vector<int32_t>& readings);

pybind11::object MakePortInfo(const PortRecord& record);

pybind11::str ReplyText(const std::string& bytes);

} // namespace Records
