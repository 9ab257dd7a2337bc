// Files in the Windows folders: OEM INF files with their .PNF twins, and driver files.
#include "simpc.h"

#include "common/native_files.h"

#include <cstring>

namespace sim {

namespace {

Result WriteWholeFile(const char* path, const std::string& content) {
    ScopedFileHandle file(
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return Result::Fail("cannot create %s: %s", path, DescribeError(GetLastError()).c_str());
    DWORD written = 0;
    if (!WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size())
        return Result::Fail("cannot write %s: %s", path, DescribeError(GetLastError()).c_str());
    return Result();
}

bool Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// A stand-in for the precompiled form: a small header and the INF's own path in UTF-16, which is enough for
// anything that only looks for, copies or deletes the twin.
std::string PnfStandIn(const char* infPath) {
    std::string image("\x01\x01\x02\x00", 4);
    for (const char* at = infPath; *at; ++at) {
        image += *at;
        image += '\0';
    }
    image.append(2, '\0');
    return image;
}

const int kMaxOemNumber = 9999;

} // namespace

Result PlaceOemInf(const std::string& content, int number, const std::string* pnfContent, int* placed) {
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return Result::Fail("cannot find the Windows folder: %s", DescribeError(GetLastError()).c_str());
    if (number > kMaxOemNumber)
        return Result::Fail("oem%d.inf: numbers go up to %d", number, kMaxOemNumber);
    char inf[kPathRoom], pnf[kPathRoom];
    auto compose = [&](int n) {
        return FormatBounded(inf, sizeof inf, "%s\\inf\\oem%d.inf", windows, n) &&
               FormatBounded(pnf, sizeof pnf, "%s\\inf\\oem%d.PNF", windows, n);
    };
    if (number < 0) {
        // Windows takes the first number that neither file uses.
        for (number = 0; number <= kMaxOemNumber; ++number) {
            if (!compose(number))
                return Result::Fail("the path of oem%d.inf does not fit in %u characters", number,
                                    static_cast<unsigned>(kPathRoom - 1));
            if (!Exists(inf) && !Exists(pnf))
                break;
        }
        if (number > kMaxOemNumber)
            return Result::Fail("every number up to oem%d.inf is taken", kMaxOemNumber);
    } else if (!compose(number)) {
        return Result::Fail("the path of oem%d.inf does not fit in %u characters", number,
                            static_cast<unsigned>(kPathRoom - 1));
    }
    Result result = WriteWholeFile(inf, content);
    if (result)
        result = WriteWholeFile(pnf, pnfContent ? *pnfContent : PnfStandIn(inf));
    if (result && placed)
        *placed = number;
    return result;
}

Result PlaceSystemFile(const char* relativePath, const std::string& content) {
    if (!relativePath || !*relativePath || relativePath[0] == '\\' || strchr(relativePath, ':') ||
        strstr(relativePath, ".."))
        return Result::Fail("'%s' is not a path inside the system folder", relativePath ? relativePath : "");
    char system[MAX_PATH];
    UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system)
        return Result::Fail("cannot find the system folder: %s", DescribeError(GetLastError()).c_str());
    char path[kPathRoom];
    if (!FormatBounded(path, sizeof path, "%s\\%s", system, relativePath))
        return Result::Fail("%s\\%s does not fit in %u characters", system, relativePath,
                            static_cast<unsigned>(kPathRoom - 1));
    ScopedNativeFileSystem native;
    return WriteWholeFile(path, content);
}

namespace {

// The part of each Windows INF that names its driver, as Windows writes it.
std::string WindowsInf(const char* className, const char* service, const char* driver) {
    return std::string("[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=") + className +
           "\r\nProvider=%MSFT%\r\nLayoutFile=layout.inf\r\n[SourceDisksFiles]\r\n" + driver + "=3426\r\n[" +
           service + "_Service_Inst]\r\nServiceType=1\r\nStartType=3\r\nServiceBinary=%12%\\" + driver +
           "\r\n[Strings]\r\nMSFT=\"Microsoft\"\r\n";
}

} // namespace

Result PlaceWindowsOwnDrivers(const char* windows, std::vector<std::string>* placed) {
    struct OwnDriver {
        const char* driver;
        const char* inf;
        const char* className;
        const char* service;
        bool onXp, onVista, on10;
    };
    const OwnDriver kDrivers[] = {
        {"usbser.sys", "mdmcpq.inf", "Modem", "LowerFilter", true, true, true},
        {"usbser.sys", "usbser.inf", "Ports", "Usbser", false, false, true},
        {"winusb.sys", "winusb.inf", "USBDevice", "WinUsb", false, true, true},
        {"WUDFRd.sys", "wudfrd.inf", "System", "WUDFRd", false, true, true},
    };
    std::string which = windows ? windows : "";
    if (which != "xp" && which != "vista" && which != "10")
        return Result::Fail("'%s' is no Windows the simulated PC knows drivers of (xp, vista, 10)",
                            which.c_str());
    char folder[MAX_PATH];
    UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return Result::Fail("cannot find the Windows folder: %s", DescribeError(GetLastError()).c_str());
    char system[MAX_PATH];
    length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system)
        return Result::Fail("cannot find the system folder: %s", DescribeError(GetLastError()).c_str());
    if (placed)
        placed->clear();
    for (const OwnDriver& own : kDrivers) {
        if (!(which == "xp" ? own.onXp : which == "vista" ? own.onVista : own.on10))
            continue;
        char inf[kPathRoom], driver[kPathRoom];
        if (!FormatBounded(inf, sizeof inf, "%s\\inf\\%s", folder, own.inf) ||
            !FormatBounded(driver, sizeof driver, "%s\\drivers\\%s", system, own.driver))
            return Result::Fail("the paths of %s do not fit", own.driver);
        Result result = WriteWholeFile(inf, WindowsInf(own.className, own.service, own.driver));
        if (!result)
            return result;
        ScopedNativeFileSystem native;
        if (Exists(driver))
            continue; // the second INF of the same driver
        result = WriteWholeFile(driver, std::string("Windows' own ") + own.driver);
        if (result && !SetFileAttributesA(driver, FILE_ATTRIBUTE_READONLY))
            result =
                Result::Fail("cannot make %s read-only: %s", driver, DescribeError(GetLastError()).c_str());
        if (!result)
            return result;
        if (placed)
            placed->push_back(own.driver);
    }
    return Result();
}

} // namespace sim
