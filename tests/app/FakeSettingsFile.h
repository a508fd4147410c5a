#pragma once

#include <map>
#include <string>
#include <vector>

// An in-memory stand-in for the settings service that logs every call, so the
// tests see the order in which the pages reach the settings.
namespace FakeSettings {
std::vector<std::string>& Calls();
// Values by "section|key", names as the pages spell them.
std::map<std::string, std::string>& Values();
void Reset();
} // namespace FakeSettings
