#include "common/registry.h"

#include "common/handles.h"
#include "common/log.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

using namespace testsupport;

namespace {

const char kKey[] = "SOFTWARE\\PalvioSuiteTests";

class RegistryRead : public LoggingTest {
protected:
    void SetUp() override {
        LoggingTest::SetUp();
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, m_key.Receive(), nullptr));
    }
    void TearDown() override {
        m_key.Reset();
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
        LoggingTest::TearDown();
    }
    void Set(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExA(m_key.Get(), name, 0, type, static_cast<const BYTE*>(data), size));
    }
    ScopedRegKey m_key;
};

} // namespace

TEST_F(RegistryRead, ReadsANumber) {
    DWORD value = 1;
    Set("EnableLUA", REG_DWORD, &value, sizeof value);
    DWORD read = 0, size = sizeof read;
    EXPECT_EQ(1, GetRegKeyValue(kKey, "EnableLUA", &read, &size));
    EXPECT_EQ(1u, read);
    EXPECT_EQ(sizeof read, size);
}

TEST_F(RegistryRead, RefusesAValueLongerThanTheRoom) {
    Set("Long", REG_BINARY, "0123456789", 10);
    char room[8] = "-------";
    char guard = 'g';
    DWORD size = sizeof room;
    EXPECT_EQ(0, GetRegKeyValue(kKey, "Long", room, &size));
    EXPECT_EQ(std::string("-------"), std::string(room, 7));
    EXPECT_EQ('g', guard);
    EXPECT_EQ("Get Value Error:234", LogMessages().back()); // ERROR_MORE_DATA
}

TEST_F(RegistryRead, MissingKeyAndValueAreLogged) {
    DWORD read = 0, size = sizeof read;
    EXPECT_EQ(0, GetRegKeyValue("SOFTWARE\\NoSuchKeyHere", "x", &read, &size));
    EXPECT_EQ(0, GetRegKeyValue(kKey, "absent", &read, &size));
    EXPECT_EQ(std::vector<std::string>({"Open Key Error:2", "Get Value Error:2"}), LogMessages());
}

TEST_F(RegistryRead, AllocatingReaderTakesAnyLengthAndTerminatesIt) {
    std::wstring path = L"\\??\\SCSI#CdRom&Ven_Palvio&Prod_Virtual_Modem#1&2345&0#{53f5630d}";
    std::string big(5000, 'z');
    Set("\\DosDevices\\E:", REG_BINARY, path.data(), static_cast<DWORD>(path.size() * 2));
    Set("Big", REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
    unsigned char* buffer = nullptr;
    DWORD size = 0;
    ASSERT_EQ(1, GetRegKeyValueAlloc(kKey, "\\DosDevices\\E:", &buffer, &size));
    EXPECT_EQ(path.size() * 2, size);
    EXPECT_EQ(path, std::wstring(reinterpret_cast<wchar_t*>(buffer))); // ends at the added terminator
    free(buffer);
    buffer = nullptr;
    ASSERT_EQ(1, GetRegKeyValueAlloc(kKey, "Big", &buffer, &size));
    EXPECT_EQ(big, std::string(reinterpret_cast<char*>(buffer)));
    free(buffer);
}

TEST_F(RegistryRead, AllocatingReaderLogsWhatIsMissing) {
    unsigned char* buffer = nullptr;
    DWORD size = 0;
    EXPECT_EQ(0, GetRegKeyValueAlloc("SOFTWARE\\NoSuchKeyHere", "x", &buffer, &size));
    EXPECT_EQ(0, GetRegKeyValueAlloc(kKey, "\\DosDevices\\F:", &buffer, &size));
    EXPECT_EQ(nullptr, buffer);
    EXPECT_EQ(std::vector<std::string>({"Open Key Error:2", "Get Value Length Error:2"}), LogMessages());
}
