#include "installer/cdrom_folders.h"

#include "common/handles.h"
#include "common/host.h"
#include "common/log.h"
#include "common/profile.h"
#include "support.h"
#include "tests/sim/simpc.h"

#include <exdisp.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

// A mounted-device record as Windows stores it for a CD-ROM volume: the device path in UTF-16, no terminator.
std::vector<unsigned char> Record(const std::string& text) {
    std::vector<unsigned char> bytes;
    for (char c : text) {
        bytes.push_back(static_cast<unsigned char>(c));
        bytes.push_back(0);
    }
    return bytes;
}

RecordMatch Match(const std::vector<unsigned char>& record, const char* sign) {
    return RecordHoldsSign(record.data(), static_cast<DWORD>(record.size()), sign);
}

const char kDevicePath[] =
    "\\??\\USBSTOR#CdRom&Ven_Palvio&Prod_CD-ROM&Rev_2.31#7&1a2b3c4d&0#{53f5630d-b6bf-11d0-94f2-"
    "00a0c91efb8b}";

} // namespace

TEST(MountedRecord, HoldsTheSignInEitherCase) {
    EXPECT_EQ(RecordMatch::kYes, Match(Record(kDevicePath), "ven_palvio&prod_cd-rom"));
    EXPECT_EQ(RecordMatch::kYes, Match(Record("\\??\\USBSTOR#CDROM&VEN_PALVIO&PROD_CD-ROM#1"), "ven_palvio"));
    EXPECT_EQ(RecordMatch::kNo,
              Match(Record("\\??\\IDE#CdRomHL-DT-ST_DVD-RAM#5&2f0d&0#{53f5630d}"), "ven_palvio"));
}

TEST(MountedRecord, ReadsOnlyWholeCharactersOfTheRecord) {
    std::vector<unsigned char> record = Record("ven_palvio");
    record.pop_back(); // the last character is cut in half: "ven_palvi" and one byte
    EXPECT_EQ(RecordMatch::kNo, Match(record, "ven_palvio"));
    EXPECT_EQ(RecordMatch::kYes, Match(record, "ven_palvi"));
    EXPECT_EQ(RecordMatch::kNo, Match({}, "ven_palvio"));
    EXPECT_EQ(RecordMatch::kNo, Match({0x41}, "a"));
    // A disk's record (signature and offset, not text) is no device path.
    EXPECT_EQ(RecordMatch::kNo, Match({0x12, 0x34, 0x56, 0x78, 0, 0x7e, 0, 0, 0, 0, 0, 0}, "ven_palvio"));
}

class DeviceCdrom : public ::testing::Test {
protected:
    void SetUp() override {
        InitLogFile();
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\MountedDevices", 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, m_key.Receive(), nullptr));
        DeleteLog();
    }
    void TearDown() override {
        for (const std::string& name : m_names)
            RegDeleteValueA(m_key.Get(), name.c_str());
        DeleteLog();
    }
    // Letters from P on: the prefix's own drives never use them.
    void Mount(const char* drive, const std::vector<unsigned char>& record) {
        std::string name = std::string("\\DosDevices\\") + drive;
        m_names.push_back(name);
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(m_key.Get(), name.c_str(), 0, REG_BINARY, record.data(),
                                                static_cast<DWORD>(record.size())));
    }
    ScopedRegKey m_key;
    std::vector<std::string> m_names;
};

TEST_F(DeviceCdrom, CountsTheDrivesOfTheDeviceAndGivesTheLast) {
    Mount("P:", Record(kDevicePath));
    Mount("Q:", Record("\\??\\IDE#CdRomOther#1"));
    Mount("R:", Record(std::string(kDevicePath) + "#second"));
    std::string drive = "unchanged";
    int count = -1;
    EXPECT_EQ(1, MatchDeviceCdromDrives({"P:", "Q:", "R:", "S:"}, "VEN_Palvio&prod_cd-rom", drive, count));
    EXPECT_EQ(2, count);
    EXPECT_EQ("R:", drive);
    // The drive without a record only logs the reader's line.
    EXPECT_EQ(std::vector<std::string>({"Get Value Length Error:2"}), LogMessages());
}

TEST_F(DeviceCdrom, AnotherDevicesDriveIsNotCounted) {
    Mount("P:", Record("\\??\\USBSTOR#CdRom&Ven_Other&Prod_CD-ROM#1"));
    std::string drive;
    int count = -1;
    EXPECT_EQ(1, MatchDeviceCdromDrives({"P:"}, "ven_palvio", drive, count));
    EXPECT_EQ(0, count);
    EXPECT_EQ("", drive);
    EXPECT_EQ(1, MatchDeviceCdromDrives({}, "ven_palvio", drive, count));
    EXPECT_EQ(0, count);
}

TEST_F(DeviceCdrom, OverlongNamesAndRecordsAreNotCounted) {
    std::vector<unsigned char> huge = Record(kDevicePath);
    huge.resize(kLongestMountedRecord + 2, 0);
    Mount("P:", huge);
    std::string drive;
    int count = -1;
    std::string longName(300, 'Z');
    EXPECT_EQ(1, MatchDeviceCdromDrives({"P:", longName}, "ven_palvio", drive, count));
    EXPECT_EQ(0, count);
    std::vector<std::string> messages = LogMessages();
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("ERR: The mounted device record of P: is 65538 bytes long, not counted", messages[0]);
    EXPECT_EQ("ERR: The drive name " + std::string(32, 'Z') + "... is too long, not counted", messages[1]);
}

TEST(FolderAddress, IsTheEditionsControlShowingTheDrive) {
    EXPECT_STREQ("Edit", AddressClassForEdition(kEditionWin2000));
    EXPECT_STREQ("Edit", AddressClassForEdition(kEditionXP));
    for (int edition : {kEditionVista32, kEditionVista64, kEditionWin7_32, kEditionWin7_64, kEditionUnknown})
        EXPECT_STREQ("ToolbarWindow32", AddressClassForEdition(edition)) << edition;
    EXPECT_TRUE(AddressShowsDrive("Edit", "E:\\Setup", "Edit", "e:"));
    EXPECT_TRUE(AddressShowsDrive("ToolbarWindow32", "Address: E:\\", "ToolbarWindow32", "E:"));
    EXPECT_FALSE(AddressShowsDrive("edit", "E:\\", "Edit", "E:")); // the class is compared exactly
    EXPECT_FALSE(AddressShowsDrive("Edit", "D:\\", "Edit", "E:"));
    EXPECT_FALSE(AddressShowsDrive("ToolbarWindow32", "Address: E:\\", "Edit", "E:"));
}

namespace {

// Folder windows of the simulated PC, each on a thread of the test; hidden ones close at once.
class FolderWindows {
public:
    struct Spec {
        const char* topClass;
        const char* addressClass;
        const char* address;
    };
    explicit FolderWindows(const std::vector<Spec>& specs) {
        for (const Spec& spec : specs) {
            sim::FolderWindowSpec window;
            window.topClass = spec.topClass;
            window.addressClass = spec.addressClass;
            window.addressText = spec.address;
            window.visible = false;
            m_windows.push_back(std::make_unique<sim::FolderWindow>(window));
            EXPECT_TRUE(m_windows.back()->IsOpen()) << m_windows.back()->Failure().Message();
        }
    }
    // Which windows are still open, once those expected to close had two seconds to do so.
    std::vector<bool> Open(const std::vector<bool>& expected) {
        std::vector<bool> open;
        for (size_t i = 0; i < m_windows.size(); ++i) {
            if (i < expected.size() && !expected[i])
                m_windows[i]->WaitClosed(2000);
            open.push_back(m_windows[i]->IsOpen());
        }
        return open;
    }

    std::vector<HWND> Handles() const {
        std::vector<HWND> handles;
        for (const auto& window : m_windows)
            handles.push_back(window->Handle());
        return handles;
    }

private:
    std::vector<std::unique_ptr<sim::FolderWindow>> m_windows;
};

class FolderWindowClosing : public ::testing::Test {
protected:
    void SetUp() override {
        InitLogFile();
        m_edition = g_nEdition;
        DeleteLog();
    }
    void TearDown() override {
        g_nEdition = m_edition;
        DeleteLog();
    }
    int m_edition = 0;
};

} // namespace

TEST_F(FolderWindowClosing, OnXpTheAddressBoxShowingTheDriveClosesItsWindow) {
    FolderWindows windows({{"CabinetWClass", "Edit", "E:\\Setup"},
                           {"CabinetWClass", "Edit", "D:\\"},
                           {"CabinetWClass", "ToolbarWindow32", "Address: E:\\"},
                           {"ExploreWClass", "Edit", "E:\\"},
                           {"CabinetWClass", "Edit", "e:\\"}});
    g_nEdition = kEditionXP;
    EXPECT_EQ(1, CloseCdromFolders("e:"));
    std::vector<bool> expected = {false, true, true, true, false};
    EXPECT_EQ(expected, windows.Open(expected));
    std::vector<std::string> messages = LogMessages();
    ASSERT_EQ(8u, messages.size());
    EXPECT_EQ(">>Enum Desktop Windows begin", messages.front());
    EXPECT_EQ("<<Enum Desktop Windows end", messages.back());
    // One window after the other, in the desktop's order.
    std::vector<std::string> closings(messages.begin() + 1, messages.end() - 1);
    std::vector<std::string> first = {"Find Windows classs is: Edit; Directory is\xA3\xBA"
                                      "e:\\setup",
                                      "Find Windows Path is\xA3\xBA"
                                      "e:",
                                      "Close Window."};
    std::vector<std::string> last = {"Find Windows classs is: Edit; Directory is\xA3\xBA"
                                     "e:\\",
                                     first[1], first[2]};
    std::vector<std::string> both = first;
    both.insert(both.end(), last.begin(), last.end());
    std::vector<std::string> reversed = last;
    reversed.insert(reversed.end(), first.begin(), first.end());
    EXPECT_TRUE(closings == both || closings == reversed) << ::testing::PrintToString(closings);
}

TEST_F(FolderWindowClosing, OnWindows7TheBreadcrumbToolbarIsRead) {
    FolderWindows windows({{"CabinetWClass", "Edit", "E:\\"},
                           {"CabinetWClass", "ToolbarWindow32", "Address: E:\\"},
                           {"CabinetWClass", "ToolbarWindow32", "Address: F:\\"}});
    g_nEdition = kEditionWin7_64;
    EXPECT_EQ(1, CloseCdromFolders("E:"));
    std::vector<bool> expected = {true, false, true};
    EXPECT_EQ(expected, windows.Open(expected));
}

TEST_F(FolderWindowClosing, ABusyProgramHoldsTheSearchNoLongerThanItsLimit) {
    EXPECT_EQ(5000u, AddressAnswerLimit(0));
    EXPECT_EQ(1500u, AddressAnswerLimit(kFolderSearchLimit - 1500));
    EXPECT_EQ(0u, AddressAnswerLimit(kFolderSearchLimit));
    EXPECT_EQ(0u, AddressAnswerLimit(0xFFFFFFF0u)); // a clock read before the start

    sim::FolderWindowSpec busy;
    busy.addressText = "D:\\";
    busy.visible = false;
    busy.slowChildren = 20; // a minute of answers, each within the five seconds of a window that answers
    sim::FolderWindow window(busy);
    ASSERT_TRUE(window.IsOpen()) << window.Failure().Message();
    g_nEdition = kEditionXP;
    DWORD start = GetTickCount();
    EXPECT_EQ(1, CloseCdromFolders("E:"));
    DWORD took = GetTickCount() - start;
    EXPECT_GE(took, kFolderSearchLimit - 500);
    EXPECT_LT(took, kFolderSearchLimit + 4000);
    std::vector<std::string> messages = LogMessages();
    EXPECT_NE(messages.end(),
              std::find(messages.begin(), messages.end(),
                        "ERR: The search of the folder windows took its 10 s; the windows not "
                        "yet looked at stay open"));

    // An installer that is to end looks at nothing more.
    DeleteLog();
    ScopedHandle stop(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    start = GetTickCount();
    EXPECT_EQ(1, CloseCdromFolders("E:", stop.Get()));
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(
        std::vector<std::string>({">>Enum Desktop Windows begin",
                                  "INF: The search of the folder windows stops: the installer is to end",
                                  "<<Enum Desktop Windows end"}),
        LogMessages());
}

TEST_F(FolderWindowClosing, AnEmptyDriveClosesNothing) {
    FolderWindows windows({{"CabinetWClass", "Edit", "E:\\"}});
    g_nEdition = kEditionXP;
    EXPECT_EQ(1, CloseCdromFolders(""));
    Sleep(300); // a close would have arrived by now
    EXPECT_EQ(std::vector<bool>({true}), windows.Open({true}));
    EXPECT_EQ(std::vector<std::string>({">>Enum Desktop Windows begin",
                                        "ERR: No drive to look for in the folder windows",
                                        "<<Enum Desktop Windows end"}),
              LogMessages());
}

namespace {

// An automation object answering to names, as the shell's objects do for scripts.
class NamedObject : public IDispatch {
public:
    using Member = std::function<HRESULT(const DISPPARAMS&, VARIANT*)>;
    explicit NamedObject(std::vector<std::pair<std::wstring, Member>> members)
        : m_members(std::move(members)) {}
    virtual ~NamedObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = (iid == IID_IUnknown || iid == IID_IDispatch) ? this : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        for (size_t i = 0; count == 1 && i < m_members.size(); ++i) {
            if (_wcsicmp(names[0], m_members[i].first.c_str()) == 0) {
                *ids = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (id < 1 || static_cast<size_t>(id) > m_members.size())
            return DISP_E_MEMBERNOTFOUND;
        return m_members[static_cast<size_t>(id - 1)].second(*parameters, result);
    }

private:
    std::vector<std::pair<std::wstring, Member>> m_members;
    ULONG m_references = 1;
};

// The shell's list of folder windows, registered in the test's apartment for the fixture's lifetime in place
// of the one Windows' Explorer serves. A count of -1 is a list that cannot be read.
class ShellListStandIn : public IClassFactory {
public:
    struct Entry {
        HWND window;
        std::wstring location;
    };
    ShellListStandIn(std::vector<Entry> entries, LONG count) : m_entries(std::move(entries)), m_count(count) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(S_OK, CoRegisterClassObject(CLSID_ShellWindows, this, CLSCTX_LOCAL_SERVER,
                                              REGCLS_MULTIPLEUSE, &m_cookie));
    }
    virtual ~ShellListStandIn() {
        CoRevokeClassObject(m_cookie);
        CoUninitialize();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = (iid == IID_IUnknown || iid == IID_IClassFactory) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override {
        auto* list =
            new NamedObject({{L"Count", [this](const DISPPARAMS&, VARIANT* result) { return Count(result); }},
                             {L"Item", [this](const DISPPARAMS& parameters, VARIANT* result) {
                                  return Item(parameters, result);
                              }}});
        HRESULT hr = list->QueryInterface(iid, object);
        list->Release();
        return hr;
    }

private:
    HRESULT Count(VARIANT* result) const {
        if (m_count < 0)
            return E_NOTIMPL;
        result->vt = VT_I4;
        result->lVal = m_count;
        return S_OK;
    }
    // An index past the entries is a window closed while the list is read: no object, as the shell answers.
    HRESULT Item(const DISPPARAMS& parameters, VARIANT* result) const {
        if (parameters.cArgs != 1 || parameters.rgvarg[0].vt != VT_I4)
            return DISP_E_TYPEMISMATCH;
        size_t index = static_cast<size_t>(parameters.rgvarg[0].lVal);
        result->vt = VT_DISPATCH;
        result->pdispVal = nullptr;
        if (index >= m_entries.size())
            return S_FALSE;
        Entry entry = m_entries[index];
        result->pdispVal = new NamedObject({{L"HWND",
                                             [entry](const DISPPARAMS&, VARIANT* value) {
                                                 value->vt = VT_I8;
                                                 value->llVal = reinterpret_cast<LONG_PTR>(entry.window);
                                                 return S_OK;
                                             }},
                                            {L"LocationURL", [entry](const DISPPARAMS&, VARIANT* value) {
                                                 value->vt = VT_BSTR;
                                                 value->bstrVal = SysAllocString(entry.location.c_str());
                                                 return S_OK;
                                             }}});
        return S_OK;
    }

    std::vector<Entry> m_entries;
    LONG m_count;
    DWORD m_cookie = 0;
};

// Windows 11's folder windows: no address control that another program can read.
const FolderWindows::Spec kUnreadableAddress = {"CabinetWClass", "DirectUIHWND", ""};

} // namespace

TEST(FolderAddress, ALocationOfTheShellLiesOnTheDriveItNames) {
    EXPECT_TRUE(LocationShowsDrive("file:///E:/Setup", "e:"));
    EXPECT_TRUE(LocationShowsDrive("file:///e:", "E:"));
    EXPECT_TRUE(LocationShowsDrive("E:\\", "E:"));
    EXPECT_FALSE(LocationShowsDrive("file:///F:/E:/", "E:"));
    EXPECT_FALSE(LocationShowsDrive("file://server/E:/", "E:"));
    EXPECT_FALSE(LocationShowsDrive("file:///E:x", "E:"));
    EXPECT_FALSE(LocationShowsDrive("", "E:"));
    EXPECT_FALSE(LocationShowsDrive("file:///E:/", ""));
}

TEST_F(FolderWindowClosing, OnWindows8AndLaterTheShellsListNamesTheWindows) {
    FolderWindows windows({kUnreadableAddress,
                           kUnreadableAddress,
                           kUnreadableAddress,
                           {"CabinetWClass", "ToolbarWindow32", "Address: E:\\"}});
    std::vector<HWND> handles = windows.Handles();
    // The fourth window shows the drive in an address control, but the shell does not list it.
    ShellListStandIn shell(
        {{handles[0], L"file:///E:/Setup"}, {handles[1], L"file:///F:/"}, {handles[2], L"file:///e:"}}, 4);
    g_nEdition = kEditionNewer64;
    EXPECT_EQ(1, CloseCdromFolders("E:"));
    std::vector<bool> expected = {false, true, false, true};
    EXPECT_EQ(expected, windows.Open(expected));
    std::vector<std::string> messages = LogMessages();
    ASSERT_EQ(8u, messages.size());
    EXPECT_EQ("The shell lists a folder window at file:///e:/setup", messages[1]);
    EXPECT_EQ("Find Windows Path is\xA3\xBA"
              "E:",
              messages[2]);
    EXPECT_EQ("Close Window.", messages[3]);
    EXPECT_EQ("The shell lists a folder window at file:///e:", messages[4]);
}

TEST_F(FolderWindowClosing, AShellListThatCannotBeReadLeavesTheAddressControlsToRead) {
    FolderWindows windows({kUnreadableAddress, {"CabinetWClass", "ToolbarWindow32", "Address: E:\\"}});
    ShellListStandIn shell({{windows.Handles()[0], L"file:///E:/"}}, -1);
    g_nEdition = kEditionNewer32;
    EXPECT_EQ(1, CloseCdromFolders("E:"));
    std::vector<bool> expected = {true, false};
    EXPECT_EQ(expected, windows.Open(expected));
    std::vector<std::string> messages = LogMessages();
    ASSERT_LE(2u, messages.size());
    EXPECT_EQ("ERR: The shell's list of folder windows cannot be read (0x80004001); the folder windows are "
              "searched by their address control",
              messages[1]);
}
