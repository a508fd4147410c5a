#pragma once

#include <string>
#include <vector>

// The mode string of a connect, "baud=%s parity=%s data=%s stop=%s": the baud
// rate unchanged, the first letter of the parity name, the first and the last
// character of the bits ("8,1" gives data 8, stop 1). An empty field gives an
// empty part, which the port's mode parser then refuses.
std::string BuildModeString(const std::string& baudRate, const std::string& parity,
                            const std::string& bits);

// The port names of offered that the list does not hold yet (letter case
// ignored), each once, in the order offered.
std::vector<std::string> MissingPortNames(const std::vector<std::string>& present,
                                          const std::vector<std::string>& offered);
