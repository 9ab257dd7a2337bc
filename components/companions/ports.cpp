#include "ports.h"

#include "common/handles.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

long PortNumber(const std::string& name) {
    size_t digits = name.find_first_of("0123456789");
    return digits == std::string::npos ? -1 : strtol(name.c_str() + digits, nullptr, 10);
}

} // namespace

bool ComesBefore(const std::string& first, const std::string& second) {
    long a = PortNumber(first), b = PortNumber(second);
    if ((a < 0) != (b < 0))
        return b < 0;
    return a != b ? a < b : first < second;
}

std::vector<std::string> ListSerialPorts() {
    std::vector<std::pair<std::string, std::string>> ports; // COM name, device name
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                      key.Receive()) == ERROR_SUCCESS) {
        for (DWORD index = 0;; ++index) {
            char device[256], port[64];
            DWORD deviceSize = sizeof device, portSize = sizeof port - 1, type = 0;
            LONG result = RegEnumValueA(key.Get(), index, device, &deviceSize, nullptr, &type,
                                        reinterpret_cast<BYTE*>(port), &portSize);
            if (result == ERROR_NO_MORE_ITEMS)
                break;
            if (result != ERROR_SUCCESS || type != REG_SZ)
                continue; // a name or value past its room, or not text: not a port anyone can open
            port[portSize] = '\0';
            ports.emplace_back(port, device);
        }
    }
    std::sort(ports.begin(), ports.end(),
              [](const auto& a, const auto& b) { return ComesBefore(a.first, b.first); });
    std::vector<std::string> lines;
    for (const auto& [port, device] : ports)
        lines.push_back(port + " (" + device + ")");
    return lines;
}
