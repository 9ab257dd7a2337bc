// The device profile drvcfg.ini, and the one reader of every configuration file of the system.
#pragma once

#include "edition.h"

#include <initializer_list>
#include <string>

// One entry of the launcher's installed-driver search: a hardware ID and whether its driver was found.
struct DriverCheckEntry {
    std::string HwId;
    int bFound = 0;
};

// What the profile says about the device, filled by ReadDrvCfg; each string is named after its key
// without "Key_".
struct DeviceProfileData {
    int TotalInterface = 0; // number of USB interfaces, 1 to 9
    int Edition = 0;        // the edition code, see edition.h; known as g_nEdition
    std::string ProductId;
    std::string UsbStorHwId;
    std::string MassCmpId;
    std::string UsbStorCmpId;
    std::string ModemHwId;
    std::string CDROMSignId;
    std::string SerialHwId;
    std::string UDiskId;
    std::string UsbDriverName;
    std::string AdbUsbDriverName;
    std::string DriverInstallName;
    std::string DriverInstallNameAMD64;
    std::string AutorunName;
    std::string ModemHwIdVersion;
    std::string SerialHwIdVersion;
    std::string ModemInfName;
    std::string SerialInfName;
    std::string ProfilePath; // the path of the last fully successful ReadDrvCfg
    std::string AdbHwId;
    std::string AdbHwIdVersion;
    std::string AdbInfName;
    DriverCheckEntry SearchTable[2];
    NewerWindowsFolders NewerWindows; // [Newer_Windows]: the medium serves Windows 8 and later
};

extern DeviceProfileData DeviceProfile;
// The running Windows edition; 0 until the first successful profile read.
extern int& g_nEdition;

// The text a missing value reads as.
constexpr char kDefaultReadString[] = "DEFAULT_READ_STRING";

// Reads one value of an INI file into out. 1 when a usable value was read: present, not literally
// DEFAULT_READ_STRING, and not empty unless allowEmpty. Values longer than 259 characters are cut.
int ReadCfgValue(const char* section, const char* key, int allowEmpty, std::string& out, const char* path);

// A required text of a configuration file and the member it is read into.
struct CfgText {
    const char* key;
    std::string& value;
};

// Reads texts of one section in their order with ReadCfgValue (empty values not allowed), logging each
// value read. At the first that cannot be read it logs the key and stops: the texts read before keep their
// new values, the others their old ones. 1 when all were read.
int ReadCfgTexts(const char* section, std::initializer_list<CfgText> texts, const char* path);

// Reads the device keys of one section of the profile (and the program names of "Process_Config"), checks
// them, and fixes the Windows edition. Besides being there, each value that names a file must be one plain
// file name with its extension (IsPlainFileName) and each ID a whole one (device_ids.h); the first that is
// not is logged with its key, value and section. 1 on success; on failure the fields read so far keep their
// values.
int ReadDrvCfg(const std::string& path, const std::string& section);

// 1 when DeviceProfile holds everything the device probes and the installer need.
int CheckDrvCfg();
