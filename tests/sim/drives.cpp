// Drive letters that come and go while the prefix runs, and their mounted-device records.
#include "owners.h"
#include "simpc.h"

#include <winioctl.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace sim {

namespace {

// Wine's own extension of the mount manager, the control its configuration tool uses to define a drive.
// A symbolic link in dosdevices alone is only seen by a prefix that starts afterwards.
const DWORD kDefineUnixDrive =
    CTL_CODE(0x6D /* 'm' */, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

// The request as Wine 8 reads it, followed by the Linux path. Natural alignment gives 32-bit and 64-bit
// callers the same layout, which the 64-bit mount manager relies on.
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
static_assert(offsetof(UnixDriveRequest, unixDevice) == 16 && sizeof(UnixDriveRequest) == 32,
              "the layout Wine's mount manager reads");

const ULONG kTypeRemove = DRIVE_NO_ROOT_DIR;

// C: and Z: are the prefix's own drives; A: and B: are floppies to Windows.
Result CheckLetter(char letter) {
    if (letter < 'D' || letter > 'Y')
        return Result::Fail("drive %c: is not one the simulated PC changes (D: to Y:)", letter);
    return Result();
}

Result SendDriveRequest(char letter, ULONG type, const char* linuxFolder) {
    size_t pathSize = linuxFolder ? strlen(linuxFolder) + 1 : 0;
    std::vector<char> buffer(sizeof(UnixDriveRequest) + pathSize, '\0');
    UnixDriveRequest* request = reinterpret_cast<UnixDriveRequest*>(buffer.data());
    request->size = static_cast<ULONG>(buffer.size());
    request->type = type;
    request->letter = static_cast<WCHAR>(letter);
    if (linuxFolder) {
        request->mountPointOffset = sizeof(UnixDriveRequest);
        memcpy(buffer.data() + sizeof(UnixDriveRequest), linuxFolder, pathSize);
    }
    ScopedFileHandle manager(CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                         nullptr));
    if (!manager)
        return Result::Fail("cannot open the mount manager: %s", DescribeError(GetLastError()).c_str());
    DWORD returned = 0;
    if (!DeviceIoControl(manager.Get(), kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()),
                         nullptr, 0, &returned, nullptr))
        return Result::Fail("the mount manager refused drive %c: %s", letter,
                            DescribeError(GetLastError()).c_str());
    return Result();
}

// Whether a Linux path names a folder, asked through Wine's own path conversion where there is one.
Result CheckLinuxFolder(const char* linuxFolder) {
    if (!linuxFolder || linuxFolder[0] != '/')
        return Result::Fail("'%s' is not an absolute Linux path", linuxFolder ? linuxFolder : "");
    using ToDosName = WCHAR*(CDECL*)(const char*);
    FARPROC found = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name");
    if (!found)
        return Result(); // not Wine: nothing to ask
    ToDosName toDosName = reinterpret_cast<ToDosName>(reinterpret_cast<void*>(found));
    ScopedHeapBlock dosName(toDosName(linuxFolder));
    DWORD attributes =
        dosName ? GetFileAttributesW(static_cast<WCHAR*>(dosName.Get())) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Result::Fail("%s is not a folder", linuxFolder);
    return Result();
}

} // namespace

Result DefineCdromDrive(char letter, const char* linuxFolder, const char* record) {
    Result result = CheckLetter(letter);
    if (result)
        result = CheckLinuxFolder(linuxFolder);
    if (result)
        result = SendDriveRequest(letter, DRIVE_CDROM, linuxFolder);
    if (!result)
        return result;
    char root[] = "?:\\";
    root[0] = letter;
    UINT type = GetDriveTypeA(root);
    if (type != DRIVE_CDROM)
        return Result::Fail("the mount manager took %c: but its type is %u, not a CD-ROM", letter, type);
    return record ? WriteMountedRecord(letter, record) : Result();
}

Result RemoveDrive(char letter) {
    Result result = CheckLetter(letter);
    return result ? SendDriveRequest(letter, kTypeRemove, nullptr) : result;
}

Result WriteMountedRecord(char letter, const char* record) {
    if (letter < 'A' || letter > 'Z')
        return Result::Fail("'%c' is not a drive letter", letter);
    char name[] = "\\DosDevices\\?:";
    name[12] = letter;
    ScopedRegKey key;
    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\MountedDevices", 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, key.Receive(), nullptr);
    if (status != ERROR_SUCCESS)
        return Result::Fail("cannot open HKLM\\SYSTEM\\MountedDevices: %s", DescribeError(status).c_str());
    if (!record) {
        status = RegDeleteValueA(key.Get(), name);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            return Result::Fail("cannot delete %s: %s", name, DescribeError(status).c_str());
        return Result();
    }
    // The text in the program's code page, as UTF-16 without a terminator.
    int length = static_cast<int>(strlen(record));
    int count = length > 0 ? MultiByteToWideChar(CP_ACP, 0, record, length, nullptr, 0) : 0;
    std::vector<WCHAR> wide(count > 0 ? count : 1);
    if (length > 0 &&
        (count == 0 || MultiByteToWideChar(CP_ACP, 0, record, length, wide.data(), count) != count))
        return Result::Fail("cannot convert the record text to UTF-16: %s",
                            DescribeError(GetLastError()).c_str());
    status = RegSetValueExA(key.Get(), name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(wide.data()),
                            static_cast<DWORD>(count * sizeof(WCHAR)));
    if (status != ERROR_SUCCESS)
        return Result::Fail("cannot write %s: %s", name, DescribeError(status).c_str());
    return Result();
}

bool CdromRecordForSign(const char* sign, char* out, size_t room) {
    return FormatBounded(
        out, room, "\\??\\SCSI#CdRom&%s#5&1a2b3c4d&0&000000#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}", sign);
}

} // namespace sim
