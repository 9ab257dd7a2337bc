#include "checked_file.h"

#include "text.h"

#include <winternl.h>

extern "C" NTSYSAPI BOOLEAN NTAPI RtlEqualUnicodeString(PCUNICODE_STRING first, PCUNICODE_STRING second,
                                                        BOOLEAN caseInsensitive);

namespace {

// Room for the name of the opened file on its volume: a path of the suite is shorter than kPathRoom, so a
// longer name cannot be the one that was opened.
constexpr size_t kNameRoom = 2 * kPathRoom;

union AllInformation {
    FILE_ALL_INFORMATION all;
    char room[sizeof(FILE_ALL_INFORMATION) + kNameRoom * sizeof(WCHAR)];
};

// Everything the judgement needs in one call to the file system: names, attributes and size, and the name
// the file has on its volume. Windows gives that name as the file was opened; Wine gives the path of the
// Linux file it opened, which for a Linux link is the link's target.
bool ReadFacts(HANDLE file, const char* path, OpenedFileFacts& facts) {
    AllInformation information;
    IO_STATUS_BLOCK status;
    if (NtQueryInformationFile(file, &status, &information, sizeof information, FileAllInformation) < 0)
        return false;
    const FILE_ALL_INFORMATION& all = information.all;
    facts.names = all.StandardInformation.NumberOfLinks;
    facts.attributes = all.BasicInformation.FileAttributes;
    facts.size = static_cast<unsigned long long>(all.StandardInformation.EndOfFile.QuadPart);
    const FILE_NAME_INFORMATION& name = all.NameInformation;
    size_t length = name.FileNameLength / sizeof(WCHAR);
    if (length > kNameRoom)
        return false;
    facts.atThePath = OpenedNameIsPath(name.FileName, length, path);
    if (!facts.atThePath) {
        // Windows names the file as it was opened, a folder of the path perhaps by its short name; the same
        // path spelled long is still the path.
        char longPath[kPathRoom];
        DWORD longLength = GetLongPathNameA(path, longPath, sizeof longPath);
        facts.atThePath = longLength > 0 && longLength < sizeof longPath &&
                          OpenedNameIsPath(name.FileName, length, longPath);
    }
    return true;
}

HANDLE Open(const char* path, DWORD access, DWORD share, DWORD disposition) {
    // Without following a link at the path's last name: Windows then opens the link itself, which the
    // judgement refuses by its reparse-point attribute.
    return CreateFileA(path, access, share, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

} // namespace

FileRefusal JudgeOpenedFile(const OpenedFileFacts& facts) {
    if (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return FileRefusal::kLink;
    if (facts.attributes & FILE_ATTRIBUTE_DIRECTORY)
        return FileRefusal::kFolder;
    if (!facts.atThePath)
        return FileRefusal::kElsewhere;
    if (facts.names != 1)
        return FileRefusal::kSecondName;
    return FileRefusal::kNone;
}

const char* RefusalReason(FileRefusal refusal) {
    switch (refusal) {
    case FileRefusal::kNone:
        return "it is the program's own";
    case FileRefusal::kLink:
        return "it is a link";
    case FileRefusal::kFolder:
        return "it is a folder";
    case FileRefusal::kElsewhere:
        return "it leads to a file at another path";
    case FileRefusal::kSecondName:
        return "the file has a second name";
    case FileRefusal::kUnreadable:
        return "what it is cannot be read";
    }
    return "unknown";
}

bool OpenedNameIsPath(const wchar_t* name, size_t nameLength, const char* path) {
    char full[kPathRoom];
    DWORD fullLength = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (fullLength == 0 || fullLength >= sizeof full)
        return false;
    WCHAR wide[kPathRoom];
    int wideLength = MultiByteToWideChar(CP_ACP, 0, full, -1, wide, kPathRoom);
    if (wideLength <= 1)
        return false;
    --wideLength; // without the terminating zero
    // The part of the path below its volume: after the drive ("C:"), or the share's name without one of the
    // two leading backslashes ("\\server\share\x" is "\server\share\x" on its volume).
    const WCHAR* below = nullptr;
    if (wideLength >= 3 && wide[1] == L':' && wide[2] == L'\\')
        below = wide + 2;
    else if (wideLength >= 3 && wide[0] == L'\\' && wide[1] == L'\\' && wide[2] != L'?' && wide[2] != L'.')
        below = wide + 1;
    if (!below)
        return false;
    size_t belowLength = static_cast<size_t>(wideLength) - static_cast<size_t>(below - wide);
    if (belowLength != nameLength || nameLength * sizeof(WCHAR) > 0xFFFF)
        return false;
    UNICODE_STRING opened = {static_cast<USHORT>(nameLength * sizeof(WCHAR)),
                             static_cast<USHORT>(nameLength * sizeof(WCHAR)), const_cast<PWSTR>(name)};
    UNICODE_STRING wanted = {opened.Length, opened.Length, const_cast<PWSTR>(below)};
    return RtlEqualUnicodeString(&opened, &wanted, TRUE) != FALSE;
}

ScopedFileHandle OpenOwnFile(const char* path, DWORD access, DWORD share, bool create, FileRefusal& refusal,
                             OpenedFileFacts* facts) {
    refusal = FileRefusal::kNone;
    access |= FILE_READ_ATTRIBUTES; // for the judgement
    ScopedFileHandle file(Open(path, access, share, OPEN_EXISTING));
    if (!file && create && GetLastError() == ERROR_FILE_NOT_FOUND) {
        // Only a new name is created: where a name is there that opens no file (a link to nowhere, which
        // creating through would make its target), the creation fails and the file is refused.
        file.Reset(Open(path, access, share, CREATE_NEW));
        if (!file && GetLastError() == ERROR_FILE_EXISTS) {
            file.Reset(Open(path, access, share, OPEN_EXISTING));
            if (!file && GetLastError() == ERROR_FILE_NOT_FOUND)
                refusal = FileRefusal::kLink;
        }
    }
    if (!file)
        return file;
    OpenedFileFacts read;
    refusal = ReadFacts(file.Get(), path, read) ? JudgeOpenedFile(read) : FileRefusal::kUnreadable;
    if (facts)
        *facts = read;
    if (refusal != FileRefusal::kNone)
        file.Reset();
    return file;
}

bool DeleteOwnFile(HANDLE file, DWORD attributes) {
    IO_STATUS_BLOCK status;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        // Zero times leave the file's times as they are; attributes of 0 would too, hence NORMAL.
        FILE_BASIC_INFORMATION basic = {};
        basic.FileAttributes = (attributes & ~FILE_ATTRIBUTE_READONLY)
                                   ? (attributes & ~FILE_ATTRIBUTE_READONLY)
                                   : FILE_ATTRIBUTE_NORMAL;
        if (NtSetInformationFile(file, &status, &basic, sizeof basic, FileBasicInformation) < 0)
            return false;
    }
    struct {
        BOOLEAN DeleteFile;
    } disposition = {TRUE};
    return NtSetInformationFile(file, &status, &disposition, sizeof disposition,
                                FileDispositionInformation) >= 0;
}
