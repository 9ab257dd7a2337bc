#include "files.h"

#include "handles.h"
#include "log.h"
#include "text.h"

#include <atomic>
#include <cstdint>
#include <cstring>

namespace {

// Driver information files are a few hundred kilobytes at most; anything far larger is not one.
constexpr DWORD kLargestSearchedFile = 64u << 20;

// Opens a file for reading and tells its size.
bool OpenForReading(const char* path, ScopedFileHandle& file, unsigned long long& size) {
    file.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD high = 0;
    DWORD low = GetFileSize(file.Get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return false;
    size = (static_cast<unsigned long long>(high) << 32) | low;
    return true;
}

// Reads up to count bytes into content; fewer when the file is shorter. The room content already has is
// reused without being cleared first: a caller reading many files pays for its buffer once.
bool ReadUpTo(HANDLE file, size_t count, std::string& content) {
    content.resize(count);
    size_t done = 0;
    while (done < count) {
        DWORD read = 0;
        if (!ReadFile(file, &content[done], static_cast<DWORD>(count - done), &read, nullptr))
            return false;
        if (read == 0)
            break; // the file is shorter than it was, or than asked
        done += read;
    }
    content.resize(done);
    return true;
}

WholeRead ReadWholeFileQuietly(const char* path, std::string& content) {
    ScopedFileHandle file;
    unsigned long long size = 0;
    if (!OpenForReading(path, file, size))
        return WholeRead::kUnreadable;
    if (size > kLargestSearchedFile)
        return WholeRead::kTooLarge;
    return ReadUpTo(file.Get(), static_cast<size_t>(size), content) ? WholeRead::kRead
                                                                    : WholeRead::kUnreadable;
}

bool ReadWholeFile(const char* path, std::string& content) {
    return ReportWholeRead(path, ReadWholeFileQuietly(path, content));
}

// The first bytes of a file and its size.
bool ReadFileHead(const char* path, size_t count, std::string& head, unsigned long long& size) {
    ScopedFileHandle file;
    return OpenForReading(path, file, size) && ReadUpTo(file.Get(), count, head);
}

} // namespace

std::string GetModuleDir() {
    char path[kPathRoom] = {};
    GetModuleFileNameA(nullptr, path, kPathRoom - 1);
    const char* slash = strrchr(path, '\\');
    return slash ? std::string(path, static_cast<size_t>(slash + 1 - path)) : std::string();
}

bool AppendPath(char* path, size_t room, const char* part) {
    size_t used = strnlen(path, room);
    if (used >= room)
        return false;
    if (!part || !*part)
        return true;
    // An empty path takes the part as it is, so that a UNC part keeps its leading backslashes.
    if (used > 0) {
        while (*part == '\\')
            ++part;
    }
    bool separator = used > 0 && path[used - 1] != '\\';
    size_t length = strlen(part);
    if (used + (separator ? 1 : 0) + length >= room)
        return false;
    if (separator)
        path[used++] = '\\';
    memcpy(path + used, part, length + 1);
    return true;
}

std::string LowerText(std::string text) {
    if (!text.empty())
        CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool PathIsWithin(const std::string& path, const std::string& folder) {
    std::string lowerPath = LowerText(path), lowerFolder = LowerText(folder);
    while (!lowerFolder.empty() && lowerFolder.back() == '\\')
        lowerFolder.pop_back();
    if (lowerFolder.empty() || lowerPath.compare(0, lowerFolder.size(), lowerFolder) != 0)
        return false;
    return lowerPath.size() == lowerFolder.size() || lowerPath[lowerFolder.size()] == '\\';
}

WholeRead ReadInfTextQuietly(const char* path, std::string& content) {
    WholeRead read = ReadWholeFileQuietly(path, content);
    if (read == WholeRead::kRead)
        NarrowUtf16Text(content);
    return read;
}

bool ReportWholeRead(const char* path, WholeRead read) {
    if (read == WholeRead::kTooLarge)
        WriteLog("ERROR: File %s is too large to search.", path);
    return read == WholeRead::kRead;
}

bool ReadInfText(const char* path, std::string& content) {
    return ReportWholeRead(path, ReadInfTextQuietly(path, content));
}

bool ReadSearchableText(const char* path, std::string& text) {
    if (!ReadWholeFile(path, text))
        return false;
    LowerToFirstZero(text);
    return true;
}

TempFolderForm ChooseTempFolderForm(bool nameFitsCodePage, bool shortNameFitsCodePage) {
    if (nameFitsCodePage)
        return TempFolderForm::kName;
    return shortNameFitsCodePage ? TempFolderForm::kShortName : TempFolderForm::kRefused;
}

namespace {

// The text in the code page that the programs' file functions use, only when every character converts as it
// is: a character the code page lacks would be replaced by a look-alike, and name another folder.
bool ConvertsWhole(const wchar_t* wide, char (&path)[kPathRoom]) {
    BOOL replaced = FALSE;
    int converted =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, path, kPathRoom, nullptr, &replaced);
    return converted > 0 && !replaced;
}

} // namespace

bool GetTempFolder(char (&path)[kPathRoom]) {
    path[0] = '\0';
    wchar_t wide[kPathRoom] = {};
    DWORD length = GetTempPathW(kPathRoom, wide);
    if (length == 0 || length >= kPathRoom) {
        WriteLog("ERR: Get the temp folder failed, error %lu", GetLastError());
        return false;
    }
    bool nameFits = ConvertsWhole(wide, path);
    wchar_t shortName[kPathRoom] = {};
    bool shortFits = false;
    if (!nameFits) {
        DWORD shortLength = GetShortPathNameW(wide, shortName, kPathRoom);
        shortFits = shortLength > 0 && shortLength < kPathRoom && ConvertsWhole(shortName, path);
    }
    switch (ChooseTempFolderForm(nameFits, shortFits)) {
    case TempFolderForm::kName:
        return true;
    case TempFolderForm::kShortName: {
        static std::atomic<bool> told{false};
        if (!told.exchange(true))
            WriteLog("INF: The temp folder's name has characters the system's code page lacks; it is used by "
                     "its short name %s",
                     path);
        return true;
    }
    case TempFolderForm::kRefused:
        break;
    }
    WriteLog("ERR: The temp folder's name has characters the system's code page lacks, and it has no short "
             "name without them; nothing is written there");
    path[0] = '\0';
    return false;
}

int FileContainsText(const char* path, const char* text1, const char* text2) {
    if (!text1 || !*text1)
        return 0;
    std::string content;
    if (!ReadInfText(path, content))
        return 0;
    return TextContainsBoth(content, text1, text2);
}

int GetBmpFileSize(const char* path, int* width, int* height, HINSTANCE instance) {
    std::string head;
    unsigned long long fileSize = 0;
    if (!ReadFileHead(path, kBitmapHeadSize, head, fileSize) || !IsWholeBitmap(head, fileSize))
        return 0;
    ScopedGdiObject bitmap(LoadImageA(instance, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (!bitmap)
        return 0;
    BITMAP header = {};
    if (GetObjectA(bitmap.Get(), sizeof header, &header) == 0)
        return 0;
    *width = header.bmWidth;
    *height = header.bmHeight;
    return 1;
}

HBITMAP LoadWholeBitmapFile(const char* path, HINSTANCE instance) {
    std::string head;
    unsigned long long fileSize = 0;
    if (!path || !ReadFileHead(path, kBitmapHeadSize, head, fileSize) || !IsWholeBitmap(head, fileSize))
        return nullptr;
    return static_cast<HBITMAP>(LoadImageA(instance, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

HICON LoadVendorIcon() {
    std::string icon = GetModuleDir() + "Res\\vender.ico";
    return static_cast<HICON>(LoadImageA(nullptr, icon.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
}
