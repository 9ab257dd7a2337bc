// The simulated PC: puts the Wine prefix that the calling program runs in into a state a real PC can be in,
// through the same Win32 calls that Windows' own tools would use. Test-only code, linked into the tests and
// into simpc.exe, its command-line face (see tests/README.md, "The simulated PC").
//
// Every change answers a Result: success, or a message that says what failed and why. Nothing throws.
#pragma once

#include "common/handles.h"
#include "common/text.h"

#include <windows.h>

#include <string>
#include <vector>

namespace sim {

class Result {
public:
    Result() = default; // success
    static Result Fail(const char* format, ...) SUITE_PRINTF(1, 2);
    explicit operator bool() const { return !m_failed; }
    const std::string& Message() const { return m_message; }

private:
    bool m_failed = false;
    std::string m_message;
};

// --- Windows edition ------------------------------------------------------------------------------------
// Sets "CurrentVersion" and "BuildLabEx" under HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion, in the
// 64-bit and the 32-bit registry view alike, so that 32- and 64-bit programs read the same edition. A null
// buildLabEx deletes that value (Wine has none of its own). For Windows 8.1 to 11, newer gives the values
// the probe tells them apart by: a majorNumber writes CurrentMajorVersionNumber (REG_DWORD) and
// CurrentMinorVersionNumber 0, none deletes both; a buildNumber writes CurrentBuildNumber, none leaves the
// prefix's own.
struct NewerVersionValues {
    DWORD majorNumber = 0;
    const char* buildNumber = nullptr;
};
Result SetEdition(const char* currentVersion, const char* buildLabEx, const NewerVersionValues& newer = {});

struct EditionValues {
    bool hasCurrentVersion = false;
    std::string currentVersion;
    bool hasBuildLabEx = false;
    std::string buildLabEx;
    bool hasMajorNumber = false;
    DWORD majorNumber = 0;
    bool hasBuildNumber = false;
    std::string buildNumber;
};
// The values as the calling program's own registry view shows them.
EditionValues ReadEdition();

// --- Device nodes ---------------------------------------------------------------------------------------
struct DeviceNode {
    std::string instanceId; // full instance ID: USB\VID_1A2B&PID_0001&MI_00\6&1234&0&0000
    std::vector<std::string> hardwareIds;
    std::vector<std::string> compatibleIds;
    std::string className = "USB"; // a name that DeviceClassGuid knows, or a {GUID}
};

// The setup class of a class name: Modem, Ports, USB, CDROM, DiskDrive, Net, Volume, AndroidUsbDeviceClass
// (any case), or a GUID in braces. False for anything else.
bool DeviceClassGuid(const char* className, GUID* guid);
// The name DeviceClassGuid knows for a class GUID, or the GUID in braces.
std::string DeviceClassName(const GUID& guid);

// Creates and registers one node with its ID lists (SetupDiCreateDeviceInfoA, SetupDiSetDeviceRegistry-
// PropertyA, SetupDiRegisterDeviceInfo). An instance ID that exists already is refused.
Result AddDevice(const DeviceNode& node);
// Creates count nodes from one pattern: every '#' in its instance ID and IDs becomes the node's number,
// four digits at least, from first upward. The instance ID must hold a '#'. A failure stops at that node;
// the nodes made before it stay.
Result AddNumberedDevices(const DeviceNode& pattern, int count, int first = 0);
// Removes one node (DIF_REMOVE through SetupDiCallClassInstaller); a node that is not there is a failure.
Result RemoveDevice(const char* instanceId);
// Removes every node, present or not, one of whose hardware IDs equals hardwareId without regard to case;
// *removed (optional) counts them. Finding none is no failure.
Result RemoveDevicesWithHardwareId(const char* hardwareId, int* removed);
// The present nodes of all classes, as SetupDiGetClassDevsA(DIGCF_PRESENT | DIGCF_ALLCLASSES) lists them.
Result ListDevices(std::vector<DeviceNode>* nodes);

// --- Drive letters --------------------------------------------------------------------------------------
// Defines letter (D to Y) as a CD-ROM drive whose root is a Linux folder, through Wine's mount manager; the
// change is seen at once by every program of the prefix. With a record, the letter's mounted-device value
// is then written with it, replacing the one the mount manager writes itself.
Result DefineCdromDrive(char letter, const char* linuxFolder, const char* record);
// Takes a drive letter (D to Y) away; the mount manager also deletes its mounted-device value.
Result RemoveDrive(char letter);
// Writes the "\DosDevices\X:" value under HKLM\SYSTEM\MountedDevices: REG_BINARY, the record's UTF-16 text
// without a terminator, as Windows keeps a CD-ROM volume's device path. A null record deletes the value.
// The mount manager writes its own value whenever it defines the letter (also when the prefix's services
// start): write the record again after that.
Result WriteMountedRecord(char letter, const char* record);
// The record text as Windows writes it for a SCSI CD-ROM whose device path holds sign:
// \??\SCSI#CdRom&<sign>#5&1a2b3c4d&0&000000#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}. False if it does not fit.
bool CdromRecordForSign(const char* sign, char* out, size_t room);

// --- Files in the Windows folders -----------------------------------------------------------------------
// Places %WINDIR%\inf\oemN.inf with the content and its oemN.PNF twin (pnfContent, or when null a small
// stand-in: nothing reads a .PNF but Windows itself). number < 0 takes the first N for which neither file
// exists. *placed (optional) receives N.
Result PlaceOemInf(const std::string& content, int number, const std::string* pnfContent, int* placed);
// Writes a file under the native system folder (relativePath such as "drivers\\x.sys"): a 32-bit program
// on 64-bit Windows writes the real system32, not its syswow64 redirect.
Result PlaceSystemFile(const char* relativePath, const std::string& content);

// Windows' own serial and USB drivers as that Windows holds them: usbser.sys (and on Vista and later
// winusb.sys and WUDFRd.sys) in the native system32\drivers, read-only, each named by an INF of Windows' own
// in {WinDir}\inf: mdmcpq.inf (and on Windows 10 and later usbser.inf), winusb.inf, wudfrd.inf. Windows XP
// has no winusb.sys of its own (a package's co-installer brings it). windows: "xp", "vista" (Vista to 8.1) or
// "10" (10 and later). Each driver's content is "Windows' own NAME". *placed (optional) lists the driver
// files' names.
Result PlaceWindowsOwnDrivers(const char* windows, std::vector<std::string>* placed = nullptr);

// --- Explorer-like folder windows -----------------------------------------------------------------------
struct FolderWindowSpec {
    std::string title = "Folder";
    std::string topClass = "CabinetWClass";
    std::string addressClass = "Edit"; // Windows 2000/XP; Vista and 7 show "ToolbarWindow32"
    std::string addressText;           // "E:\" or "Address: E:\"
    std::string journal;               // when set, "closed <title>" is appended to it when the window closes
    // A Wine that manages its windows (its default) waits about 2 s for a window manager that Xvfb lacks
    // whenever a visible window is destroyed; hidden windows close at once and are enumerated all the same.
    bool visible = true;
    // Children besides the address child that take slowAnswerMs to answer WM_GETTEXT, as the windows of a
    // program that is busy.
    int slowChildren = 0;
    DWORD slowAnswerMs = 3000;
};

// Runs a folder window on the calling thread until WM_CLOSE ends it. *window (optional) receives its handle
// and ready (optional) is set once the window and its address child exist.
Result RunFolderWindow(const FolderWindowSpec& spec, HANDLE ready, HWND* window);

// A folder window on a thread of the calling program for the owner's lifetime (closed at the end).
class FolderWindow {
public:
    explicit FolderWindow(const FolderWindowSpec& spec);
    ~FolderWindow();
    FolderWindow(const FolderWindow&) = delete;
    FolderWindow& operator=(const FolderWindow&) = delete;

    // Whether the window came up and has not been closed since; when it did not come up, Failure() says why.
    bool IsOpen() const;
    HWND Handle() const { return m_window; }
    const Result& Failure() const { return m_failure; }
    // Waits up to ms for the window to be closed (by anyone); true once it is gone.
    bool WaitClosed(DWORD ms);

private:
    static DWORD WINAPI Thread(void* self);

    FolderWindowSpec m_spec;
    ScopedHandle m_ready;
    ScopedHandle m_thread;
    HWND m_window = nullptr;
    Result m_failure; // written by the thread only before it sets m_ready or ends
};

// --- Small pure helpers (shared with simpc.exe) ---------------------------------------------------------
// "E", "e:", "E:\" and the like as an upper-case letter; false for anything else.
bool ParseDriveLetter(const char* text, char* letter);
// The items of a separated list, empty items skipped.
std::vector<std::string> SplitList(const char* text, char separator);
// A REG_MULTI_SZ image of a list (each string zero-terminated, then one more zero).
std::string MultiSz(const std::vector<std::string>& items);
std::vector<std::string> SplitMultiSz(const char* data, size_t size);
bool EqualsIgnoreCase(const char* a, const char* b);
// The pattern with every '#' replaced by number (four digits at least); false if it does not fit.
bool NumberedText(const char* pattern, int number, char* out, size_t room);
// A decimal count of one to six digits.
bool ParseCount(const char* text, int* value);
// "{4D36E96D-E325-11CE-BFC1-08002BE10318}" as a GUID.
bool ParseGuid(const char* text, GUID* guid);
// Appends one argument to a command line, quoted so that the C runtime reads it back as it was
// (backslashes before a quote doubled, as in "E:\\"); false if it does not fit.
bool AppendQuotedArgument(char* commandLine, size_t room, const char* argument);
// "error 0x..., NAME" for a Win32 or SetupAPI error code, with a name for the ones the simulated PC meets.
std::string DescribeError(DWORD code);

} // namespace sim
