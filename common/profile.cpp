#include "profile.h"

#include "device_ids.h"
#include "folder_name.h"
#include "host.h"
#include "log.h"
#include "text.h"

#include <windows.h>

#include <cstring>

DeviceProfileData DeviceProfile;
int& g_nEdition = DeviceProfile.Edition;

namespace {

const char kProcessSection[] = "Process_Config";
const char kNewerWindowsSection[] = "Newer_Windows";

// What a value must be for the programs to use it. File names are joined to folders where the installer
// deletes and copies (the driver folder, the INF store), and IDs are searched in every maker's INF copies,
// so a value that leads out of its folder or stands for many devices must not be used.
enum class ValueRule {
    kAny,           // counts, versions, the CD-ROM's sign: taken as written
    kUsbFunctionId, // usb\vid_XXXX&pid_XXXX, the base of the interfaces' IDs
    kInterfaceId,   // names a vendor and product, or a software enumerator's own device
    kDeviceId,      // any whole hardware or compatible ID
    kDriverFile,    // one plain file name, .sys
    kInfFile,       // one plain file name, .inf
    kProgramFile,   // one plain file name, .exe
};

struct ProfileKey {
    bool inProcessSection; // read from "Process_Config" instead of the device section
    const char* key;
    std::string DeviceProfileData::*field;
    ValueRule rule;
};

// In the order they are read: a read stops at the first key that fails.
const ProfileKey kDeviceKeys[] = {
    {false, "Key_TotalInterface", nullptr, ValueRule::kAny},
    {false, "Key_ProductId", &DeviceProfileData::ProductId, ValueRule::kUsbFunctionId},
    {false, "Key_ModemHwId", &DeviceProfileData::ModemHwId, ValueRule::kInterfaceId},
    {false, "Key_ModemHwIdVersion", &DeviceProfileData::ModemHwIdVersion, ValueRule::kAny},
    {false, "Key_SerialHwId", &DeviceProfileData::SerialHwId, ValueRule::kInterfaceId},
    {false, "Key_SerialHwIdVersion", &DeviceProfileData::SerialHwIdVersion, ValueRule::kAny},
    {false, "Key_UsbStorHwId", &DeviceProfileData::UsbStorHwId, ValueRule::kDeviceId},
    {false, "Key_MassCmpId", &DeviceProfileData::MassCmpId, ValueRule::kDeviceId},
    {false, "Key_CDROMSignId", &DeviceProfileData::CDROMSignId, ValueRule::kAny},
    {false, "Key_UsbStorCmpId", &DeviceProfileData::UsbStorCmpId, ValueRule::kDeviceId},
    {false, "Key_UDiskId", &DeviceProfileData::UDiskId, ValueRule::kDeviceId},
    {false, "Key_UsbDriverName", &DeviceProfileData::UsbDriverName, ValueRule::kDriverFile},
    {false, "Key_AdbUsbDriverName", &DeviceProfileData::AdbUsbDriverName, ValueRule::kDriverFile},
    {true, "Key_DriverInstallName", &DeviceProfileData::DriverInstallName, ValueRule::kProgramFile},
    {true, "Key_DriverInstallNameAMD64", &DeviceProfileData::DriverInstallNameAMD64, ValueRule::kProgramFile},
    {true, "Key_AutorunName", &DeviceProfileData::AutorunName, ValueRule::kProgramFile},
    {false, "Key_AdbHwId", &DeviceProfileData::AdbHwId, ValueRule::kInterfaceId},
    {false, "Key_AdbHwIdVersion", &DeviceProfileData::AdbHwIdVersion, ValueRule::kAny},
    {false, "Key_ModemInfName", &DeviceProfileData::ModemInfName, ValueRule::kInfFile},
    {false, "Key_SerialInfName", &DeviceProfileData::SerialInfName, ValueRule::kInfFile},
    // The trailing blank is harmless: blanks around key names do not count in an INI file.
    {false, "Key_AdbInfName ", &DeviceProfileData::AdbInfName, ValueRule::kInfFile},
};

// Null when the value meets the rule; else what it fails to be, for the log.
const char* RuleBroken(ValueRule rule, const std::string& value) {
    switch (rule) {
    case ValueRule::kAny:
        return nullptr;
    case ValueRule::kUsbFunctionId:
        return IsUsbFunctionId(value) ? nullptr : "is not the ID of a USB function, usb\\vid_XXXX&pid_XXXX";
    case ValueRule::kInterfaceId:
        return IsInterfaceId(value)
                   ? nullptr
                   : "is not a device ID that names a vendor and product (vid_XXXX&pid_XXXX) "
                     "or a software enumerator's own device";
    case ValueRule::kDeviceId:
        return IsWholeDeviceId(value) ? nullptr
                                      : "is not a whole device ID (an enumerator, a backslash and a device "
                                        "part, without blanks or control characters)";
    case ValueRule::kDriverFile:
        return IsPlainFileName(value, ".sys") ? nullptr : "is not one plain file name ending in .sys";
    case ValueRule::kInfFile:
        return IsPlainFileName(value, ".inf") ? nullptr : "is not one plain file name ending in .inf";
    case ValueRule::kProgramFile:
        return IsPlainFileName(value, ".exe") ? nullptr : "is not one plain file name ending in .exe";
    }
    return "cannot be judged";
}

// 1 when every value read meets its rule; else one line names the first that does not, with its section.
int CheckProfileValues(const std::string& section) {
    for (const ProfileKey& row : kDeviceKeys) {
        const std::string value = row.field ? DeviceProfile.*row.field : std::string();
        const char* broken = RuleBroken(row.rule, value);
        if (!broken)
            continue;
        std::string key = row.key;
        while (!key.empty() && key.back() == ' ')
            key.pop_back();
        // Section and key come before the value: a long value may cut the line at its room, not them.
        WriteLog("ERR: The profile value [%s] %s=%s %s; the profile cannot be used",
                 row.inProcessSection ? kProcessSection : section.c_str(), key.c_str(), value.c_str(),
                 broken);
        return 0;
    }
    return 1;
}

// Only the first character counts: "3" is 3, "12" is 1, "a" is 49.
int InterfaceCountFromText(const std::string& value) {
    return static_cast<signed char>(value.empty() ? '\0' : value[0]) - '0';
}

// The edition folders of [Newer_Windows]; none when the profile has no such section, or one that cannot be
// used whole. The folder names are joined to the package and staging folders, so each must be one plain
// folder name.
NewerWindowsFolders ReadNewerWindows(const char* path) {
    // A profile without the section reads as it always has: no line of the log tells of it.
    char keys[64] = {};
    if (GetPrivateProfileStringA(kNewerWindowsSection, nullptr, "", keys, sizeof keys, path) == 0)
        return {};
    NewerWindowsFolders read;
    if (!ReadCfgTexts(kNewerWindowsSection,
                      {{"Key_Folder", read.Folder}, {"Key_FolderAMD64", read.FolderAMD64}}, path))
        return {};
    for (const std::string* name : {&read.Folder, &read.FolderAMD64}) {
        if (!IsPlainFolderName(*name)) {
            WriteLog("ERR: The edition folder name '%s' of [Newer_Windows] is not one plain folder name; the "
                     "section is refused",
                     name->c_str());
            return {};
        }
    }
    return read;
}

} // namespace

int ReadCfgValue(const char* section, const char* key, int allowEmpty, std::string& out, const char* path) {
    if (!path)
        return 0;
    if (!section || !key || !*path) {
        WriteLog("Err: The cfg buffer is null");
        return 0;
    }
    char value[kPathRoom] = {};
    GetPrivateProfileStringA(section, key, kDefaultReadString, value, sizeof value, path);
    out = value;
    if (out == kDefaultReadString) {
        WriteLog("Err: Read parameter(%s) from %s Failed", key, path);
        return 0;
    }
    if (out.empty() && !allowEmpty) {
        WriteLog("Err: The parameter(%s) data from %s is empty, but its value don't allow be empty", key,
                 path);
        return 0;
    }
    return 1;
}

int ReadCfgTexts(const char* section, std::initializer_list<CfgText> texts, const char* path) {
    for (const CfgText& text : texts) {
        std::string value;
        // A failed read leaves the reader's sentinel in value: the member keeps its text instead.
        if (!ReadCfgValue(section, text.key, 0, value, path)) {
            WriteLog("Err:Get config(Section:%s; Key:%s) from cfg file fialed", section, text.key);
            return 0;
        }
        text.value = value;
        WriteLog("Info:The value of config(Section:%s; Key:%s) is %s.", section, text.key, value.c_str());
    }
    return 1;
}

int ReadDrvCfg(const std::string& path, const std::string& section) {
    for (const ProfileKey& row : kDeviceKeys) {
        const char* usedSection = row.inProcessSection ? kProcessSection : section.c_str();
        std::string value;
        int read = ReadCfgValue(usedSection, row.key, 0, value, path.c_str());
        if (row.field)
            DeviceProfile.*row.field = value;
        if (!read) {
            WriteLog("Err:Get config(Section:%s; Key:%s) from cfg file fialed", usedSection, row.key);
            return 0;
        }
        WriteLog("Info:The value of config(Section:%s; Key:%s) is %s.", usedSection, row.key, value.c_str());
        if (!row.field)
            DeviceProfile.TotalInterface = InterfaceCountFromText(value);
    }
    if (!CheckDrvCfg() || !CheckProfileValues(section))
        return 0;
    DeviceProfile.NewerWindows = ReadNewerWindows(path.c_str());
    if (!GetSystemVersion(&g_nEdition, DeviceProfile.NewerWindows.Named()))
        WriteLog("Err:Not support current system");
    DeviceProfile.SearchTable[0] = {DeviceProfile.ModemHwId, 0};
    DeviceProfile.SearchTable[1] = {DeviceProfile.SerialHwId, 0};
    DeviceProfile.ProfilePath = path;
    return 1;
}

int CheckDrvCfg() {
    const DeviceProfileData& p = DeviceProfile;
    // Compared as unsigned, so that a negative count fails as well.
    if (p.TotalInterface == 0 || static_cast<unsigned>(p.TotalInterface) >= 10) {
        WriteLog("Err:Device interface's numbers is %d, error", p.TotalInterface);
        return 0;
    }
    struct Required {
        const std::string& value;
        const char* message;
    };
    const Required required[] = {
        {p.ProductId, "Err:Produce hwid is empty"},
        {p.ModemHwId, "Err:Modem hwid is empty"},
        {p.SerialHwId, "Err:Serial hwid is empty"},
        {p.UsbStorHwId, "Err:Usbstorage id is empty"},
        {p.MassCmpId, "Err:Mass CompatibleID is empty"},
        {p.UsbStorCmpId, "Err:Usb stroage CompatibleID is empty"},
        {p.UDiskId, "Err:UDisk stroage CompatibleID is empty"},
        {p.UsbDriverName, "Err:Driver file name is empty"},
        {p.DriverInstallName, "Err:Driver file name is empty"},
        {p.DriverInstallNameAMD64, "Err:Driver file name is empty"},
    };
    for (const Required& r : required) {
        if (r.value.empty()) {
            WriteLog("%s", r.message);
            return 0;
        }
    }
    return 1;
}
