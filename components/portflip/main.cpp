// portflip.exe MODE -cdrom:X: asks the device behind CD-ROM drive X: to change its USB mode. The SCSI
// command for each mode word comes from portflip.ini beside the program:
//
//   [Commands]
//   -switch=16 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00   ; to the multi-port (modem) mode
//   -close=...                                                 ; to the SD card-reader mode
//   -mtp=...                                                   ; to the MTP mode
//
// It is sent to the drive's volume as a SCSI pass-through command without data. The device answers by
// leaving its CD-ROM mode, so the drive letter goes away afterwards. Exit status: 0 sent and accepted,
// 1 the drive or the device refused it, 2 the command line or portflip.ini is unusable.
#include "request.h"

#include "common/dll_search.h"
#include "common/files.h"
#include "common/handles.h"
#include "common/log.h"
#include "common/text.h"

#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>

#include <cstddef>
#include <string>

namespace {

enum ExitCode { kSent = 0, kRefused = 1, kUnusable = 2 };

// A pass-through request followed by the room for the sense data the device may return.
struct PassThroughRequest {
    SCSI_PASS_THROUGH header;
    UCHAR sense[32];
};

ExitCode Send(char letter, const unsigned char (&command)[16], int length, const std::string& mode) {
    char root[4] = {letter, ':', '\\', '\0'};
    if (GetDriveTypeA(root) != DRIVE_CDROM) {
        WriteLog("ERR: portflip: %c: is not a CD-ROM drive", letter);
        return kRefused;
    }
    char volume[8] = {'\\', '\\', '.', '\\', letter, ':', '\0'};
    ScopedFileHandle device(CreateFileA(volume, GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                        nullptr));
    if (!device) {
        WriteLog("ERR: portflip: cannot open %s, error %d", volume, static_cast<int>(GetLastError()));
        return kRefused;
    }
    PassThroughRequest request = {};
    request.header.Length = sizeof request.header;
    request.header.CdbLength = static_cast<UCHAR>(length);
    request.header.SenseInfoLength = sizeof request.sense;
    request.header.SenseInfoOffset = offsetof(PassThroughRequest, sense);
    request.header.DataIn = SCSI_IOCTL_DATA_UNSPECIFIED;
    request.header.TimeOutValue = 10; // seconds
    for (int i = 0; i < length; ++i)
        request.header.Cdb[i] = command[i];
    DWORD returned = 0;
    if (!DeviceIoControl(device.Get(), IOCTL_SCSI_PASS_THROUGH, &request, sizeof request, &request,
                         sizeof request, &returned, nullptr)) {
        WriteLog("ERR: portflip: %s to %c: failed, error %d", mode.c_str(), letter,
                 static_cast<int>(GetLastError()));
        return kRefused;
    }
    if (request.header.ScsiStatus != 0) {
        WriteLog("ERR: portflip: the device refused %s, SCSI status %d, sense key %d", mode.c_str(),
                 request.header.ScsiStatus, request.sense[2] & 0x0f);
        return kRefused;
    }
    WriteLog("INF: portflip: %s sent to %c: (%d bytes)", mode.c_str(), letter, length);
    return kSent;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // Run elevated by the installer from the user's temp folder: no library by name from there.
    RestrictDllSearch();
    InitLogFile();
    std::string mode;
    char letter = 0;
    if (!ParseCommandLine(commandLine, mode, letter)) {
        WriteLog("ERR: portflip: command line <%s> is not MODE -cdrom:X:", commandLine);
        return kUnusable;
    }
    std::string ini = GetModuleDir() + "portflip.ini";
    char text[kPathRoom] = {};
    GetPrivateProfileStringA("Commands", mode.c_str(), "", text, sizeof text, ini.c_str());
    unsigned char command[16] = {};
    int length = 0;
    if (!ParseCommandBytes(text, command, length)) {
        WriteLog("ERR: portflip: %s gives no usable command for %s", ini.c_str(), mode.c_str());
        return kUnusable;
    }
    return Send(letter, command, length, mode);
}
