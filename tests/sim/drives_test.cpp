#include "tests/sim/owners.h"
#include "tests/sim/simpc.h"
#include "tests/unit/support.h"

#include <gtest/gtest.h>

namespace {

// The Linux path of a Windows folder, through Wine's own conversion.
std::string LinuxPath(const std::string& windowsPath) {
    using ToUnixName = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return "";
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    sim::ScopedHeapBlock unixName(toUnix(wide.c_str()));
    return unixName ? static_cast<const char*>(unixName.Get()) : "";
}

// The raw data of a drive's mounted-device value; "<absent>" when there is none.
std::string MountedValue(char letter) {
    char name[] = "\\DosDevices\\?:";
    name[12] = letter;
    ScopedRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\MountedDevices", 0, KEY_READ, key.Receive()) !=
        ERROR_SUCCESS)
        return "<no key>";
    char data[2048];
    DWORD size = sizeof data, type = 0;
    if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS)
        return "<absent>";
    if (type != REG_BINARY)
        return "<not binary>";
    return std::string(data, size);
}

std::string Utf16(const char* text) {
    std::string image;
    for (; *text; ++text)
        image += std::string{*text, '\0'};
    return image;
}

bool Listed(char letter) {
    return (GetLogicalDrives() >> (letter - 'A')) & 1;
}

TEST(CdromDrive, ADefinedLetterIsAListedReadableCdromWithTheRecord) {
    testsupport::TempDir medium;
    testsupport::WriteWholeFile(medium.File("autorun.inf"), "[autorun]\r\nopen=Palvio.exe\r\n");
    std::string folder = LinuxPath(medium.Path());
    ASSERT_FALSE(folder.empty());
    ASSERT_FALSE(Listed('P'));

    const char* record = "\\??\\SCSI#CdRom&Ven_Palvio&Prod_Virtual_Modem#5&1a2b&0&000000#{53f5630d}";
    sim::Result result = sim::DefineCdromDrive('P', folder.c_str(), record);
    ASSERT_TRUE(result) << result.Message();
    EXPECT_EQ(static_cast<UINT>(DRIVE_CDROM), GetDriveTypeA("P:\\"));
    EXPECT_EQ(static_cast<UINT>(DRIVE_CDROM), GetDriveTypeA("P:"));
    EXPECT_TRUE(Listed('P'));
    EXPECT_EQ("[autorun]\r\nopen=Palvio.exe\r\n", testsupport::ReadWholeFile("P:\\autorun.inf"));
    EXPECT_EQ(Utf16(record), MountedValue('P'));

    result = sim::RemoveDrive('P');
    ASSERT_TRUE(result) << result.Message();
    EXPECT_FALSE(Listed('P'));
    EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), GetDriveTypeA("P:\\"));
    EXPECT_EQ("<absent>", MountedValue('P'));
    // The folder itself is untouched.
    EXPECT_EQ("[autorun]\r\nopen=Palvio.exe\r\n", testsupport::ReadWholeFile(medium.File("autorun.inf")));
}

TEST(CdromDrive, WithoutARecordTheLetterKeepsTheMountManagersOwn) {
    testsupport::TempDir medium;
    std::string folder = LinuxPath(medium.Path());
    ASSERT_TRUE(sim::DefineCdromDrive('Q', folder.c_str(), nullptr));
    std::string own = MountedValue('Q');
    EXPECT_NE("<absent>", own);

    // Rewritten on its own, replaced, and deleted.
    ASSERT_TRUE(sim::WriteMountedRecord('Q', "\\??\\SCSI#CdRom&Ven_One"));
    EXPECT_EQ(Utf16("\\??\\SCSI#CdRom&Ven_One"), MountedValue('Q'));
    ASSERT_TRUE(sim::WriteMountedRecord('Q', "\\??\\IDE#CdRomTwo"));
    EXPECT_EQ(Utf16("\\??\\IDE#CdRomTwo"), MountedValue('Q'));
    ASSERT_TRUE(sim::WriteMountedRecord('Q', nullptr));
    EXPECT_EQ("<absent>", MountedValue('Q'));
    EXPECT_TRUE(sim::WriteMountedRecord('Q', nullptr)); // nothing to delete is no failure
    EXPECT_TRUE(Listed('Q'));
    EXPECT_TRUE(sim::RemoveDrive('Q'));
}

TEST(CdromDrive, WhatWouldBreakThePrefixOrCannotWorkIsRefused) {
    testsupport::TempDir medium;
    std::string folder = LinuxPath(medium.Path());
    for (char letter : {'C', 'Z', 'A'}) {
        sim::Result result = sim::DefineCdromDrive(letter, folder.c_str(), nullptr);
        EXPECT_FALSE(result) << letter;
        EXPECT_NE(std::string::npos, result.Message().find("D: to Y:")) << result.Message();
        EXPECT_FALSE(sim::RemoveDrive(letter)) << letter;
    }
    EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeA("C:\\"));

    sim::Result result = sim::DefineCdromDrive('R', "relative/folder", nullptr);
    EXPECT_FALSE(result);
    EXPECT_NE(std::string::npos, result.Message().find("not an absolute Linux path")) << result.Message();
    result = sim::DefineCdromDrive('R', (folder + "/missing").c_str(), nullptr);
    EXPECT_FALSE(result);
    EXPECT_NE(std::string::npos, result.Message().find("is not a folder")) << result.Message();
    EXPECT_FALSE(Listed('R'));
}

} // namespace
