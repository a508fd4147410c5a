// The serial ports of a Windows computer: the names in the SERIALCOMM key of
// the registry (every COM port a driver has announced), with what the device
// manager knows of each (SetupAPI: friendly name, maker, USB ids).
#include "ports/PortDiscovery.h"

#include "ports/PortNames.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <devguid.h>
#include <initguid.h>
#include <setupapi.h>

const char* const serialByIdFolder = "";

namespace {

std::string Narrow(const wchar_t* text, int length = -1) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string result(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    if (length < 0)
        result.pop_back(); // the terminating NUL
    return result;
}

std::vector<std::string> SerialCommNames() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t value[256], data[256];
        DWORD valueLength = 256, dataSize = sizeof data, type = 0;
        const LONG status = ::RegEnumValueW(key, i, value, &valueLength, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || type != REG_SZ)
            continue;
        names.push_back(Narrow(data, static_cast<int>(dataSize / sizeof(wchar_t))));
        while (!names.back().empty() && names.back().back() == '\0')
            names.back().pop_back();
    }
    ::RegCloseKey(key);
    return names;
}

std::string DeviceProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t text[512] = {};
    if (!::SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr,
                                             reinterpret_cast<BYTE*>(text), sizeof text - 2,
                                             nullptr))
        return {};
    return Narrow(text);
}

// The hexadecimal number after tag ("VID_0403") in a hardware id; -1 if none.
int HexAfter(const std::string& id, const char* tag) {
    const std::size_t at = id.find(tag);
    if (at == std::string::npos)
        return -1;
    char* end = nullptr;
    const long value = std::strtol(id.c_str() + at + 4, &end, 16);
    return end == id.c_str() + at + 8 ? static_cast<int>(value) : -1;
}

// The ports the device manager knows, by COM name.
std::vector<SystemPort> DeviceManagerPorts() {
    std::vector<SystemPort> ports;
    const HDEVINFO devices =
        ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return ports;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key =
            ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        wchar_t name[64] = {};
        DWORD size = sizeof name - 2, type = 0;
        const bool named =
            ::RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name),
                               &size) == ERROR_SUCCESS &&
            type == REG_SZ;
        ::RegCloseKey(key);
        if (!named || ComPortNumber(Narrow(name)) == 0)
            continue; // a printer port, say
        SystemPort port;
        port.path = Narrow(name);
        port.description = DeviceProperty(devices, device, SPDRP_FRIENDLYNAME);
        port.manufacturer = DeviceProperty(devices, device, SPDRP_MFG);
        const std::string hardwareId = DeviceProperty(devices, device, SPDRP_HARDWAREID);
        port.vendorId = HexAfter(hardwareId, "VID_");
        port.productId = HexAfter(hardwareId, "PID_");
        ports.push_back(std::move(port));
    }
    ::SetupDiDestroyDeviceInfoList(devices);
    return ports;
}

} // namespace

std::vector<SystemPort> PlatformSystemPorts() {
    std::vector<SystemPort> ports = DeviceManagerPorts();
    for (const std::string& name : SerialCommNames()) {
        const bool known = std::any_of(ports.begin(), ports.end(),
                                       [&](const SystemPort& port) { return port.path == name; });
        if (!known && ComPortNumber(name) != 0)
            ports.push_back({name, {}, {}, {}, -1, -1});
    }
    std::sort(ports.begin(), ports.end(), [](const SystemPort& a, const SystemPort& b) {
        return ComPortNumber(a.path) < ComPortNumber(b.path);
    });
    return ports;
}

std::string LocalDevicePath(const std::string& name) {
    if (name.rfind("\\\\.\\", 0) == 0)
        return name;
    if (const int number = ComPortNumber(name))
        return "\\\\.\\COM" + std::to_string(number);
    return {};
}
