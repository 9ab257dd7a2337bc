#include "common/files.h"
#include "common/inf_reader.h"
#include "common/inf_search_ahead.h"
#include "common/newer_api.h"
#include "common/windows_own_files.h"

#include "support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

void Put16(std::string& out, uint16_t v) {
    out.append({char(v & 0xff), char(v >> 8)});
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, uint16_t(v & 0xffff));
    Put16(out, uint16_t(v >> 16));
}

// A 24-bit bottom-up .bmp file of the given size.
std::string BitmapFile(int width, int height) {
    uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
    uint32_t pixelBytes = rowBytes * uint32_t(height);
    std::string bmp = "BM";
    Put32(bmp, 14 + 40 + pixelBytes);
    Put32(bmp, 0);
    Put32(bmp, 14 + 40);
    Put32(bmp, 40);
    Put32(bmp, uint32_t(width));
    Put32(bmp, uint32_t(height));
    Put16(bmp, 1);
    Put16(bmp, 24);
    Put32(bmp, 0); // BI_RGB
    Put32(bmp, pixelBytes);
    Put32(bmp, 2835);
    Put32(bmp, 2835);
    Put32(bmp, 0);
    Put32(bmp, 0);
    bmp.append(pixelBytes, '\x7f');
    return bmp;
}

} // namespace

TEST(ModuleDir, IsTheProgramsFolderWithTrailingBackslash) {
    std::string dir = GetModuleDir();
    EXPECT_EQ(TestDir(), dir);
    EXPECT_EQ('\\', dir.back());
}

TEST(ForceDelete, DeletesAReadOnlyFile) {
    TempDir dir;
    std::string file = dir.File("locked.sys");
    WriteWholeFile(file, "driver");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(ForceDeleteFile(file.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
}

TEST(ForceDelete, ReportsAMissingFileAsFailure) {
    TempDir dir;
    EXPECT_FALSE(ForceDeleteFile(dir.File("absent.sys").c_str()));
}

TEST(TempFolder, ANameTheCodePageCannotSpellIsNotReplacedByALookAlike) {
    EXPECT_EQ(TempFolderForm::kName, ChooseTempFolderForm(true, false));
    EXPECT_EQ(TempFolderForm::kShortName, ChooseTempFolderForm(false, true));
    EXPECT_EQ(TempFolderForm::kRefused, ChooseTempFolderForm(false, false));

    // "Łukasz" on code page 1252, beside another user's "Lukasz", which the look-alike would name.
    TempDir users;
    std::wstring base(users.Path().begin(), users.Path().end());
    std::wstring own = base + L"\x0141ukasz";
    ASSERT_TRUE(CreateDirectoryW(own.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(users.File("Lukasz").c_str(), nullptr));
    wchar_t old[MAX_PATH] = {};
    bool hadTmp = GetEnvironmentVariableW(L"TMP", old, MAX_PATH) > 0;
    SetEnvironmentVariableW(L"TMP", own.c_str());
    char path[kPathRoom] = {};
    bool got = GetTempFolder(path);
    SetEnvironmentVariableW(L"TMP", hadTmp ? old : nullptr);
    if (GetACP() != 1252)
        GTEST_SKIP() << "the code page is not 1252";
    ASSERT_TRUE(got);
    EXPECT_NE(users.File("Lukasz\\"), path);
    // The short name names the user's own folder.
    std::string probe = std::string(path) + "probe.txt";
    WriteWholeFile(probe, "mine");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((own + L"\\probe.txt").c_str(), &found);
    EXPECT_NE(INVALID_HANDLE_VALUE, search) << path;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    DeleteFileA(probe.c_str());
}

TEST(PathIsWithin, ComparesWholeFolderNamesInEitherCase) {
    EXPECT_TRUE(PathIsWithin("C:\\T\\Driver", "C:\\T\\Driver"));
    EXPECT_TRUE(PathIsWithin("C:\\T\\Driver\\", "c:\\t\\driver"));
    EXPECT_TRUE(PathIsWithin("c:\\t\\DRIVER\\x\\y.exe", "C:\\T\\Driver\\"));
    EXPECT_FALSE(PathIsWithin("C:\\T\\Drivers", "C:\\T\\Driver"));
    EXPECT_FALSE(PathIsWithin("C:\\T", "C:\\T\\Driver"));
    EXPECT_FALSE(PathIsWithin("E:\\Driver\\", "C:\\T\\Driver"));
    EXPECT_FALSE(PathIsWithin("C:\\T\\Driver", ""));
}

TEST(FileContainsText, FindsUpperCaseContentOnlyByALowerCaseText) {
    TempDir dir;
    std::string inf = dir.File("oem3.inf");
    WriteWholeFile(
        inf, "[Devices]\r\n%Modem% = Modem, USB\\VID_1A2B&PID_0001&MI_00\r\nServiceBinary=qcusbser.sys\r\n");
    EXPECT_EQ(1, FileContainsText(inf.c_str(), "usb\\vid_1a2b&pid_0001&mi_00", ""));
    EXPECT_EQ(0, FileContainsText(inf.c_str(), "USB\\VID_1A2B&PID_0001&MI_00", ""));
    EXPECT_EQ(1, FileContainsText(inf.c_str(), "usb\\vid_1a2b&pid_0001&mi_00", nullptr));
}

TEST(FileContainsText, NeedsBothTextsWhenTheSecondIsGiven) {
    TempDir dir;
    std::string inf = dir.File("oem4.inf");
    WriteWholeFile(inf, "usb\\vid_1a2b&pid_0001 ServiceBinary=qcusbser.sys");
    EXPECT_EQ(1, FileContainsText(inf.c_str(), "usb\\vid_1a2b&pid_0001", "qcusbser.sys"));
    EXPECT_EQ(0, FileContainsText(inf.c_str(), "usb\\vid_1a2b&pid_0001", "other.sys"));
    EXPECT_EQ(0, FileContainsText(inf.c_str(), "usb\\vid_ffff", "qcusbser.sys"));
}

TEST(FileContainsText, AnswersNoForAnEmptyFirstTextOrAnUnreadableFile) {
    TempDir dir;
    std::string inf = dir.File("oem5.inf");
    WriteWholeFile(inf, "anything");
    EXPECT_EQ(0, FileContainsText(inf.c_str(), "", "anything"));
    EXPECT_EQ(0, FileContainsText(inf.c_str(), nullptr, nullptr));
    EXPECT_EQ(0, FileContainsText(dir.File("absent.inf").c_str(), "anything", ""));
    EXPECT_EQ(0, FileContainsText(dir.Path().c_str(), "anything", "")); // a folder
}

TEST(FileContainsText, ReadsAnInfStoredAsUtf16) {
    TempDir dir;
    std::string inf = dir.File("oem6.inf");
    std::string text = "[Models]\r\n%Modem\u00e9% = Modem, USB\\VID_1A2B&PID_0001&MI_00\r\nqcusbser.sys\r\n";
    std::string wide = "\xFF\xFE";
    for (char c : text)
        wide += std::string{c, '\0'}; // the two bytes of the UTF-8 e-acute stand in for one wide character
    WriteWholeFile(inf, wide);
    EXPECT_EQ(1, FileContainsText(inf.c_str(), "usb\\vid_1a2b&pid_0001&mi_00", "qcusbser.sys"));
    // Without its mark the same bytes are 8-bit text that ends at its second byte.
    WriteWholeFile(inf, wide.substr(2));
    EXPECT_EQ(0, FileContainsText(inf.c_str(), "usb\\vid_1a2b&pid_0001&mi_00", ""));
}

TEST(FileContainsText, SearchEndsAtTheFirstZeroByte) {
    TempDir dir;
    std::string file = dir.File("binary.inf");
    WriteWholeFile(file, std::string("head text\0usb\\vid_1a2b", 23));
    EXPECT_EQ(1, FileContainsText(file.c_str(), "head", ""));
    EXPECT_EQ(0, FileContainsText(file.c_str(), "usb\\vid_1a2b", ""));
    WriteWholeFile(file, "");
    EXPECT_EQ(0, FileContainsText(file.c_str(), "x", ""));
}

TEST(LoweredTextSearch, FindsADeviceIdOnlyAsAWholeId) {
    const std::string id = "usb\\vid_12d1&pid_1001&mi_01";
    LoweredTextSearch search({id, "qvser.sys", id}, {true, false});
    std::vector<bool> held;
    // Inside longer IDs of other devices: after, before and around more ID characters.
    const std::string longer = "USB\\VID_12D1&PID_1001&MI_011, XUSB\\VID_12D1&PID_1001&MI_01\r\n"
                               "usb\\vid_12d1&pid_1001&mi_01&col02 myqvser.sys";
    search.Find(longer, held);
    EXPECT_EQ((std::vector<bool>{false, true, true}), held);
    // A whole one after them, and one at each end of the text or beside INF punctuation.
    for (const std::string& content : std::vector<std::string>{
             longer + " =Mdm,USB\\VID_12D1&PID_1001&MI_01;", "USB\\VID_12D1&PID_1001&MI_01",
             "x=\"usb\\vid_12d1&pid_1001&mi_01\"", std::string("usb\\vid_12d1&pid_1001&mi_01\0&x", 30)}) {
        search.Find(content, held);
        EXPECT_TRUE(held[0]) << content;
    }
}

TEST(LoweredTextSearch, FindsAFileNameOnlyAsAWholeName) {
    LoweredTextSearch search({"usbser.sys", "usbser.sys"}, {}, {true, false});
    std::vector<bool> held;
    // Inside longer names: a name part before it, an extension or a copy's mark after it.
    search.Find("xusbser.sys usbser.sys2 old_usbser.sys usbser.sys.bak", held);
    EXPECT_EQ((std::vector<bool>{false, true}), held);
    // Beside the marks an INF line puts around a file name, and at each end of the text.
    for (const std::string& content : std::vector<std::string>{
             "ServiceBinary=%12%\\USBSER.SYS\r\n", "usbser.sys,,,0x4", "[Files]\r\nusbser.sys",
             "\"usbser.sys\"", "usbser.sys=3426;usbser", "a/usbser.sys"}) {
        search.Find(content, held);
        EXPECT_TRUE(held[0]) << content;
    }
}

// Windows' protection as a stand-in: the files it protects, and the paths it was asked about.
std::vector<std::wstring> g_protectedFiles, g_askedProtection;
BOOL WINAPI StandInProtection(HANDLE rpc, LPCWSTR path) {
    EXPECT_EQ(nullptr, rpc);
    g_askedProtection.push_back(path);
    for (const std::wstring& file : g_protectedFiles) {
        if (_wcsicmp(file.c_str(), path) == 0)
            return TRUE;
    }
    return FALSE;
}

TEST(WindowsOwnFiles, ProtectionOrAWindowsInfMakeAFileWindowsOwnAndTheLogSaysWhich) {
    EXPECT_EQ(WindowsOwn::kProtected, CombineWindowsOwn(true, false));
    EXPECT_EQ(WindowsOwn::kProtected, CombineWindowsOwn(true, true));
    EXPECT_EQ(WindowsOwn::kNamedByWindowsInf, CombineWindowsOwn(false, true));
    EXPECT_EQ(WindowsOwn::kNo, CombineWindowsOwn(false, false));
    EXPECT_EQ("Windows protects it", DescribeWindowsOwn(WindowsOwn::kProtected, ""));
    EXPECT_EQ("Windows' INF mdmcpq.inf names it",
              DescribeWindowsOwn(WindowsOwn::kNamedByWindowsInf, "mdmcpq.inf"));
    // Windows' INFs, not the copies of makers' ones; and only an INF, not a file whose name ends like one.
    for (const char* name : {"mdmcpq.inf", "USBSER.INF", "oemx.inf_", "layout.inf"})
        EXPECT_EQ(strcmp(name, "oemx.inf_") != 0, IsWindowsInfName(name)) << name;
    for (const char* name : {"oem12.inf", "OEM3.INF", "usbser.sys.inf", "inf", ""})
        EXPECT_EQ(strcmp(name, "usbser.sys.inf") == 0, IsWindowsInfName(name)) << name;
    // No INF of Windows names a registered copy or its twin: Windows numbers them.
    for (const char* name : {"oem12.inf", "OEM12.PNF", ""})
        EXPECT_FALSE(InfRuleApplies(name)) << name;
    for (const char* name : {"usbser.sys", "oemser.sys", "winusb.inf"})
        EXPECT_TRUE(InfRuleApplies(name)) << name;
}

TEST(WindowsOwnFiles, ReadsWindowsInfsOnlyWhenProtectionDoesNotAnswerAndEachOnceForTheExpectedNames) {
    TempDir windows;
    std::string folder = windows.Path().substr(0, windows.Path().size() - 1);
    ASSERT_TRUE(CreateDirectoryA(windows.File("inf").c_str(), nullptr));
    WriteWholeFile(windows.File("inf\\mdmcpq.inf"),
                   "[LowerFilter_Service_Inst]\r\nServiceBinary=%12%\\usbser.sys");
    WriteWholeFile(windows.File("inf\\winusb.inf"), "[SourceDisksFiles]\r\nWinUSB.sys=3426\r\nmywudfrd.sys");
    // A maker's copy names its own driver: that makes the file no more Windows' own.
    WriteWholeFile(windows.File("inf\\oem7.inf"), "[Files]\r\nqvusbser.sys\r\nwudfrd.sys");
    CreateDirectoryA(windows.File("inf\\folder.inf").c_str(), nullptr);
    std::string drivers = folder + "\\system32\\drivers\\";
    g_protectedFiles = {std::wstring(L"") + L"C:\\protected\\usbser.sys"};
    g_askedProtection.clear();

    WindowsOwnFiles own(StandInProtection, folder);
    std::string inf = "untouched";
    EXPECT_EQ(WindowsOwn::kProtected, own.Ask("C:\\protected\\usbser.sys", &inf));
    EXPECT_EQ("untouched", inf);
    EXPECT_EQ(0u, own.InfsRead()) << "protection answered: no INF is read";
    EXPECT_EQ(std::vector<std::wstring>{L"C:\\protected\\usbser.sys"}, g_askedProtection);

    own.Expect("winusb.sys");
    own.Expect("qvusbser.sys");
    EXPECT_EQ(WindowsOwn::kNamedByWindowsInf, own.Ask(drivers + "usbser.sys", &inf));
    EXPECT_EQ("mdmcpq.inf", inf);
    size_t oneSweep = own.InfsRead();
    EXPECT_EQ(2u, oneSweep) << "the two INFs of Windows, each once";
    EXPECT_EQ(WindowsOwn::kNamedByWindowsInf, own.Ask(drivers + "WINUSB.SYS", &inf));
    EXPECT_EQ("winusb.inf", inf);
    EXPECT_EQ(WindowsOwn::kNo, own.Ask(drivers + "qvusbser.sys"));
    EXPECT_EQ(oneSweep, own.InfsRead()) << "the expected names were looked for in the first sweep";
    // A name no sweep looked for costs one more; named only inside a longer name, or by a maker's copy, it
    // is not Windows' own.
    EXPECT_EQ(WindowsOwn::kNo, own.Ask(drivers + "wudfrd.sys"));
    EXPECT_EQ(2 * oneSweep, own.InfsRead());
    // A copy of a maker's INF is asked of protection only.
    EXPECT_EQ(WindowsOwn::kNo, own.Ask(folder + "\\inf\\oem7.inf"));
    EXPECT_EQ(2 * oneSweep, own.InfsRead());
}

TEST(WindowsOwnFiles, WineFindsWindowsProtectionButProtectsNothing) {
    // Windows 2000 and later have it in sfc.dll; Wine has it too, and answers that no file is protected
    // (the simulated PC proves the INF rule; protection is proven through the stand-in above).
    auto protection = GetFileProtectionApi().SfcIsFileProtected;
    ASSERT_NE(nullptr, protection);
    wchar_t system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    for (const wchar_t* name : {L"\\kernel32.dll", L"\\drivers\\usbser.sys", L"\\ntoskrnl.exe"})
        EXPECT_FALSE(protection(nullptr, (std::wstring(system) + name).c_str()));
}

TEST(InfSearchAhead, HandsEveryFileOverInTheListsOrderWithItsOwnFindings) {
    TempDir dir;
    // More files than the threads take ahead, so that runs are refilled; every seventh names the modem,
    // every fifth through a token, every eleventh is missing, and one is a folder.
    std::vector<std::string> paths;
    for (int i = 0; i < 300; ++i) {
        paths.push_back(dir.File("oem" + std::to_string(i) + ".inf"));
        std::string text = i % 7 == 3 ? "USB\\VID_1A2B&PID_0001 qcusbser.sys"
                           : i % 5 == 1
                               ? "[M]\r\nm = USB\\%Id%\r\n[Strings]\r\nId = VID_1A2B&PID_0001\r\nqcusbser.sys"
                               : "qcusbser.sys";
        if (i % 11 != 5)
            WriteWholeFile(paths.back(), text);
    }
    CreateDirectoryA(paths[5].c_str(), nullptr);
    InfSearch search({"usb\\vid_1a2b&pid_0001", "qcusbser.sys", ""}, {true});
    InfSearchAhead files(paths, search);
    WholeRead read;
    std::vector<bool> held, added;
    size_t handed = 0;
    for (; files.Next(read, held, added); ++handed) {
        SCOPED_TRACE(paths[handed]);
        ASSERT_EQ(handed % 11 == 5 ? WholeRead::kUnreadable : WholeRead::kRead, read);
        if (read == WholeRead::kRead) {
            EXPECT_EQ((std::vector<bool>{handed % 7 == 3, true, false}), held);
            EXPECT_EQ((std::vector<bool>{handed % 7 != 3 && handed % 5 == 1, false, false}), added);
        }
    }
    EXPECT_EQ(paths.size(), handed);
}

namespace {

// The parts of a table value that '|' separates.
std::vector<std::string> Parts(const std::string& value) {
    std::vector<std::string> parts;
    for (size_t start = 0;;) {
        size_t bar = value.find('|', start);
        parts.push_back(value.substr(start, bar == std::string::npos ? bar : bar - start));
        if (bar == std::string::npos)
            return parts;
        start = bar + 1;
    }
}

std::string TableCharacters(std::string value) {
    const std::pair<const char*, char> names[] = {
        {"<cr>", '\r'}, {"<lf>", '\n'}, {"<tab>", '\t'}, {"<nul>", '\0'}, {"<ctrl-z>", '\x1a'}};
    for (const auto& name : names) {
        for (size_t at = value.find(name.first); at != std::string::npos; at = value.find(name.first, at + 1))
            value.replace(at, strlen(name.first), 1, name.second);
    }
    return value;
}

std::string Lowered(std::string text) {
    for (char& c : text)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

// One case of tests/cases/inf_reading.txt, which the medium checker's reader is held to as well.
void CheckInfReadingCase(const std::string& name, const std::vector<TableCase>& items) {
    SCOPED_TRACE(name);
    std::string text;
    bool wide = false;
    for (const TableCase& item : items) {
        if (item.words == "line " || item.words == "part ")
            text += item.value + (item.words == "line " ? "\r\n" : "");
        wide = wide || item.words == "utf16 ";
    }
    if (wide) { // as Windows' own tools store it, then narrowed as the programs narrow what they read
        std::string units = "\xFF\xFE";
        for (char c : text)
            units += std::string{c, '\0'};
        NarrowUtf16Text(units);
        text = units;
    }
    InfFile inf(text);
    std::map<std::string, std::vector<InfEntry>> wanted; // by the lowered section name
    size_t unreadable = 0;
    std::vector<bool> held, added;
    for (const TableCase& item : items) {
        std::vector<std::string> parts = Parts(item.value);
        std::string word = item.words.substr(0, item.words.find(' '));
        if (word == "entry") {
            InfEntry entry;
            entry.line = std::stoul(item.words.substr(6));
            entry.hasKey = parts.size() > 1 && parts[1] != "<none>";
            entry.key = entry.hasKey ? parts[1] : "";
            entry.fields.assign(parts.begin() + std::min<size_t>(2, parts.size()), parts.end());
            wanted[Lowered(parts[0])].push_back(entry);
        } else if (word == "sections") {
            std::vector<std::string> names;
            for (const InfSection& section : inf.Sections())
                names.push_back(section.name);
            EXPECT_EQ(item.value.empty() ? std::vector<std::string>{} : parts, names);
        } else if (word == "lookup") {
            const InfEntry* entry = inf.Entry(parts.at(0), parts.at(1));
            EXPECT_EQ(parts.at(2), entry ? entry->Field(0) : "(none)") << item.value;
        } else if (word == "unreadable") {
            unreadable = std::stoul(item.words.substr(11));
        } else if (word == "found") {
            // "found first id ": the look that holds it, and whether it is a device ID or a file name.
            std::string look = item.words.substr(6, item.words.find(' ', 6) - 6);
            InfSearch search({item.value}, {item.words.find(" id ") != std::string::npos});
            search.Find(text, held, added);
            EXPECT_EQ(look == "first", held.at(0)) << item.words << item.value;
            EXPECT_EQ(look == "second", added.at(0)) << item.words << item.value;
        }
    }
    EXPECT_EQ(unreadable, inf.BadLine());
    EXPECT_EQ(unreadable == 0, inf.Readable());
    for (const auto& section : wanted) {
        const InfSection* read = inf.Section(section.first);
        ASSERT_NE(nullptr, read) << section.first;
        ASSERT_EQ(section.second.size(), read->entries.size()) << section.first;
        for (size_t i = 0; i < read->entries.size(); ++i) {
            const InfEntry &want = section.second[i], &got = read->entries[i];
            EXPECT_EQ(want.line, got.line) << section.first << " entry " << i;
            EXPECT_EQ(want.hasKey, got.hasKey) << section.first << " line " << want.line;
            EXPECT_EQ(want.key, got.key) << section.first << " line " << want.line;
            EXPECT_EQ(want.fields, got.fields) << section.first << " line " << want.line;
        }
    }
}

} // namespace

TEST(InfReading, ReadsTheCaseTableAsWindowsReadsIt) {
    std::vector<TableCase> rows = ReadCaseTable(INF_READING_CASES);
    std::string name;
    std::vector<TableCase> items;
    size_t cases = 0;
    for (size_t i = 0; i <= rows.size(); ++i) {
        if (i == rows.size() || rows[i].words == "case ") {
            if (!name.empty()) {
                CheckInfReadingCase(name, items);
                ++cases;
            }
            if (i < rows.size())
                name = rows[i].value;
            items.clear();
            continue;
        }
        rows[i].value = TableCharacters(rows[i].value);
        items.push_back(rows[i]);
    }
    EXPECT_GE(cases, 10u);
}

TEST(InfReading, PutsAFileWhereTheSourceDiskSectionsPutItForTheArchitecture) {
    // A path that ends in a backslash is quoted, or the backslash would join the next line.
    InfFile inf("[SourceDisksNames]\r\n1 = %Disk%,,,\r\n2 = Disk2,,,\"\\drivers\\\"\r\n"
                "[SourceDisksNames.amd64]\r\n1 = %Disk%,,,x64\r\n"
                "[SourceDisksFiles]\r\nqcusbser.sys = 1\r\nqcmdm.sys = 2, .\\modem\r\nbad.sys = 1,..\\up\r\n"
                "lost.sys = 9\r\n"
                "[SourceDisksFiles.x86]\r\nqcusbser.sys = 1, i386\r\n"
                "[Strings]\r\nDisk = \"Palvio disk\"\r\n");
    std::string folder = "unchanged";
    // The architecture's own sections before the plain ones, for the file and for its disk.
    EXPECT_TRUE(SourceFolderOf(inf, "QCUSBSER.SYS", "x86", folder));
    EXPECT_EQ("i386", folder);
    EXPECT_TRUE(SourceFolderOf(inf, "qcusbser.sys", "amd64", folder));
    EXPECT_EQ("x64", folder);
    EXPECT_TRUE(SourceFolderOf(inf, "qcmdm.sys", "amd64", folder));
    EXPECT_EQ("drivers\\modem", folder);
    // Not listed, on a disk that is not listed, or above the INF's folder: no place.
    folder = "unchanged";
    EXPECT_FALSE(SourceFolderOf(inf, "absent.sys", "x86", folder));
    EXPECT_FALSE(SourceFolderOf(inf, "lost.sys", "x86", folder));
    EXPECT_FALSE(SourceFolderOf(inf, "bad.sys", "x86", folder));
    EXPECT_EQ("unchanged", folder);
    InfFile own("[SourceDisksNames]\r\n1 = Disk\r\n[SourceDisksFiles]\r\nqcusbser.sys = 1\r\n");
    EXPECT_TRUE(SourceFolderOf(own, "qcusbser.sys", "x86", folder));
    EXPECT_EQ("", folder);
}

TEST(InfSearch, TheSecondLookOnlyAddsWhatTheRawTextMissedAndReadsOnlyWhenTheTextGivesReason) {
    const std::string modem = "usb\\vid_1234&pid_5678&mi_00", serial = "usb\\vid_1234&pid_5678&mi_01";
    InfSearch search({modem, serial, "qcusbser.sys"}, {true, true});
    std::vector<bool> held, added;
    // The modem through a token, the serial port and the driver as plain text: the first look holds what it
    // held before, the second adds the modem.
    const std::string tokens =
        "[Models]\r\n%M% = I, USB\\%ModemId%\r\n%S% = I, USB\\VID_1234&PID_5678&MI_01\r\n"
        "[Strings]\r\nModemId = VID_1234&PID_5678&MI_00\r\n[Files]\r\nqcusbser.sys\r\n";
    search.Find(tokens, held, added);
    EXPECT_EQ((std::vector<bool>{false, true, true}), held);
    EXPECT_EQ((std::vector<bool>{true, false, false}), added);
    // The same INF with its token already put in is found by the first look alone.
    std::vector<bool> raw;
    LoweredTextSearch({modem, serial, "qcusbser.sys"}, {true, true}).Find(tokens, raw);
    EXPECT_EQ(held, raw);
    // A token that begins the ID gives no reason to read the file: not served.
    search.Find("[Models]\r\n%M% = I, %Bus%\\VID_1234&PID_5678&MI_00\r\n[Strings]\r\nBus = USB\r\n", held,
                added);
    EXPECT_EQ((std::vector<bool>{false, false, false}), added);
    // An ID or a driver that only a comment names after a token: the values do not name it.
    search.Find("[Models]\r\n; USB\\%ModemId% %Drv%.sys\r\n[Strings]\r\nModemId = VID_1234&PID_5678&MI_00\r\n"
                "Drv = qcusbser\r\n",
                held, added);
    EXPECT_EQ((std::vector<bool>{false, false, false}), held);
    EXPECT_EQ((std::vector<bool>{false, false, false}), added);
    // A text with a capital is held by neither look, as by the first look alone.
    InfSearch capital({"USB\\VID_1234&PID_5678&MI_00"}, {true});
    capital.Find(tokens, held, added);
    EXPECT_EQ((std::vector<bool>{false}), held);
    EXPECT_EQ((std::vector<bool>{false}), added);
}

TEST(BitmapSize, ReadsWidthAndHeightOfABmpFile) {
    TempDir dir;
    std::string file = dir.File("button.bmp");
    WriteWholeFile(file, BitmapFile(21, 23));
    int width = 0, height = 0;
    EXPECT_EQ(1, GetBmpFileSize(file.c_str(), &width, &height, GetModuleHandleA(nullptr)));
    EXPECT_EQ(21, width);
    EXPECT_EQ(23, height);
}

TEST(BitmapSize, LeavesTheOutputsAloneForAMissingBrokenOrForeignFile) {
    TempDir dir;
    std::string text = dir.File("text.bmp"), truncated = dir.File("truncated.bmp");
    WriteWholeFile(text, "this is not a bitmap");
    WriteWholeFile(truncated, BitmapFile(40, 40).substr(0, 30));
    std::string noRows = dir.File("norows.bmp");
    WriteWholeFile(noRows, BitmapFile(40, 40).substr(0, 54 + 120 * 39)); // last row missing
    for (const std::string& file : {text, truncated, noRows, dir.File("absent.bmp")}) {
        int width = -7, height = -9;
        EXPECT_EQ(0, GetBmpFileSize(file.c_str(), &width, &height, GetModuleHandleA(nullptr))) << file;
        EXPECT_EQ(-7, width);
        EXPECT_EQ(-9, height);
    }
}

TEST(BitmapSize, WholeBitmapNeedsItsHeadersAndEveryPixelRow) {
    std::string bmp = BitmapFile(21, 23); // rows of 64 bytes
    EXPECT_TRUE(IsWholeBitmap(bmp.substr(0, kBitmapHeadSize), bmp.size()));
    EXPECT_FALSE(IsWholeBitmap(bmp.substr(0, kBitmapHeadSize), bmp.size() - 1));
    EXPECT_FALSE(IsWholeBitmap(bmp.substr(0, 20), bmp.size()));
    std::string notBm = bmp;
    notBm[0] = 'X';
    EXPECT_FALSE(IsWholeBitmap(notBm.substr(0, kBitmapHeadSize), notBm.size()));
    std::string huge = bmp;
    huge.replace(18, 4, std::string("\xff\xff\xff\x7f", 4)); // a width no file can hold
    EXPECT_FALSE(IsWholeBitmap(huge.substr(0, kBitmapHeadSize), huge.size()));
    std::string topDown = bmp;
    topDown.replace(22, 4, std::string("\xe9\xff\xff\xff", 4)); // height -23
    EXPECT_TRUE(IsWholeBitmap(topDown.substr(0, kBitmapHeadSize), topDown.size()));
}
