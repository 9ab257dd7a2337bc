#include "cdrom_records.h"

#include <cstdlib>
#include <cstring>

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

RecordMatch RecordHoldsSign(const unsigned char* data, DWORD size, const std::string& loweredSign) {
    int characters = static_cast<int>(size / 2);
    if (characters == 0)
        return RecordMatch::kNo;
    const auto* wide = reinterpret_cast<const WCHAR*>(data);
    int length = WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, wide, characters, nullptr, 0,
                                     nullptr, nullptr);
    if (length <= 0)
        return RecordMatch::kNo;
    MallocBuffer text(static_cast<unsigned char*>(malloc(static_cast<size_t>(length))));
    if (!text)
        return RecordMatch::kNoMemory;
    length = WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, wide, characters,
                                 reinterpret_cast<char*>(text.get()), length, nullptr, nullptr);
    if (length <= 0)
        return RecordMatch::kNo;
    std::string lowered =
        LowerAscii(std::string(reinterpret_cast<const char*>(text.get()), static_cast<size_t>(length)));
    return lowered.find(loweredSign) != std::string::npos ? RecordMatch::kYes : RecordMatch::kNo;
}

bool AddressShowsDrive(const char* className, const char* text, const char* addressClass, const char* drive) {
    if (strcmp(className, addressClass) != 0)
        return false;
    return LowerAscii(text).find(LowerAscii(drive)) != std::string::npos;
}

bool LocationShowsDrive(const std::string& location, const std::string& drive) {
    static const char kFileScheme[] = "file:///";
    std::string path = LowerAscii(location);
    if (path.compare(0, sizeof kFileScheme - 1, kFileScheme) == 0)
        path.erase(0, sizeof kFileScheme - 1);
    std::string root = LowerAscii(drive);
    if (root.empty() || path.compare(0, root.size(), root) != 0)
        return false;
    // "E:" must not be found in "E:x" nor a drive "E" in "Ex:".
    return path.size() == root.size() || path[root.size()] == '/' || path[root.size()] == '\\';
}
