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

} // namespace sim
