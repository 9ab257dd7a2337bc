#include "common/log.h"

#include "common/checked_file.h"
#include "common/handles.h"
#include "support.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME time = {};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

// Every line of the log is "MM/DD/YY HH:MM:SS  name: message".
const std::regex kStampedLine(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d  [^:]*: .*)");

void WriteLogOfSize(unsigned size, bool readOnly = false) {
    DeleteLog();
    WriteWholeFile(LogPath(), std::string(size, 'x'));
    if (readOnly)
        SetFileAttributesA(LogPath().c_str(), FILE_ATTRIBUTE_READONLY);
}

bool LogExists() {
    return GetFileAttributesA(LogPath().c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Where a program writes once it has refused the log's own name.
std::string SecondLogPath() {
    return LogPath().substr(0, LogPath().size() - 4) + "2.tmp";
}
std::string SecondLogText() {
    return Exists(SecondLogPath()) ? ReadWholeFile(SecondLogPath()) : std::string();
}

// Checks that the log holds exactly the `count` lines of each writer tag, whole and in each writer's order.
void ExpectWholeLinesOfWriters(const std::vector<std::string>& tags, int count) {
    std::vector<int> next(tags.size(), 0);
    for (const std::string& message : LogMessages()) {
        bool matched = false;
        for (size_t w = 0; w < tags.size(); ++w) {
            char expected[160];
            snprintf(expected, sizeof expected,
                     "%s line %04d of a writer that shares the log with another writer", tags[w].c_str(),
                     next[w]);
            if (message == expected) {
                ++next[w];
                matched = true;
                break;
            }
        }
        ASSERT_TRUE(matched) << "broken or out-of-order line: " << message;
    }
    for (size_t w = 0; w < tags.size(); ++w)
        EXPECT_EQ(count, next[w]) << "lines of writer " << tags[w];
}

class LogFile : public LoggingTest {};

} // namespace

TEST(LogLine, HoldsDateTimeTwoBlanksNameAndMessage) {
    EXPECT_EQ("12/07/26 05:11:05  Instoria: Run CheckAdmin\r\n",
              ComposeLogLine(At(2026, 12, 7, 5, 11, 5), "Instoria", "Run CheckAdmin"));
    EXPECT_EQ("01/02/00 23:59:09  Palvio: x\r\n", ComposeLogLine(At(2000, 1, 2, 23, 59, 9), "Palvio", "x"));
}

TEST(LogLine, LineBreaksOfTheMessageBecomeCrLf) {
    EXPECT_EQ("12/07/26 05:11:05  Instoria: \r\n\r\n\r\nStart\r\n",
              ComposeLogLine(At(2026, 12, 7, 5, 11, 5), "Instoria", "\n\n\nStart"));
}

TEST(LogLine, EmptyProgramNameLeavesTwoBlanksBeforeTheColon) {
    EXPECT_EQ("12/07/26 05:11:05  : m\r\n", ComposeLogLine(At(2026, 12, 7, 5, 11, 5), "", "m"));
}

TEST(LogProgramName, IsTheFileNameWithoutFolderAndExtension) {
    EXPECT_EQ("Instoria", ProgramNameFromPath("E:\\Pkg\\Instoria.exe"));
    EXPECT_EQ("Palvio", ProgramNameFromPath("Palvio.exe"));
    EXPECT_EQ("setup.v2", ProgramNameFromPath("C:\\a\\setup.v2.exe"));
    EXPECT_EQ("", ProgramNameFromPath("C:\\a.b\\prog")); // a dot in the folder is not an extension
    EXPECT_EQ("", ProgramNameFromPath(""));
}

TEST(LogProgramName, TheRunningProgramKnowsItsNameWithoutTheLog) {
    EXPECT_EQ("common_tests", RunningProgramName());
}

TEST(LogReset, StartsAtExactly512000Bytes) {
    EXPECT_FALSE(LogNeedsReset(0));
    EXPECT_FALSE(LogNeedsReset(511999));
    EXPECT_TRUE(LogNeedsReset(512000));
    // A log of 4 GiB and more is reset too, however its low 32 bits look.
    EXPECT_TRUE(LogNeedsReset(1ull << 32));
}

TEST(OpenedFileJudgement, OnlyAPlainFileWithOneNameAtItsPathIsTheProgramsOwn) {
    auto judge = [](DWORD names, DWORD attributes, bool atThePath) {
        OpenedFileFacts facts;
        facts.names = names;
        facts.attributes = attributes;
        facts.atThePath = atThePath;
        return JudgeOpenedFile(facts);
    };
    EXPECT_EQ(FileRefusal::kNone, judge(1, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, true));
    EXPECT_EQ(FileRefusal::kSecondName, judge(2, FILE_ATTRIBUTE_NORMAL, true));
    // Windows opens a link itself and shows it; Wine opens a Linux link's target, elsewhere.
    EXPECT_EQ(FileRefusal::kLink, judge(1, FILE_ATTRIBUTE_REPARSE_POINT, true));
    EXPECT_EQ(FileRefusal::kElsewhere, judge(1, FILE_ATTRIBUTE_NORMAL, false));
    EXPECT_EQ(FileRefusal::kFolder, judge(1, FILE_ATTRIBUTE_DIRECTORY, true));
}

TEST(OpenedFileName, IsThePathBelowItsVolumeInEitherCase) {
    auto names = [](const wchar_t* name, const char* path) {
        return OpenedNameIsPath(name, wcslen(name), path);
    };
    const wchar_t log[] = L"\\windows\\temp\\AutoRunLog.tmp";
    EXPECT_TRUE(names(log, "C:\\WINDOWS\\Temp\\autorunlog.TMP"));
    EXPECT_TRUE(names(log, "C:\\windows\\system32\\..\\temp\\AutoRunLog.tmp"));
    EXPECT_TRUE(names(L"\\server\\share\\x.ini", "\\\\server\\share\\x.ini"));
    // What Wine names a Linux link to C:\windows\win.ini.
    EXPECT_FALSE(names(L"\\windows\\win.ini", "C:\\windows\\temp\\AutoRunLog.tmp"));
    EXPECT_FALSE(names(L"\\windows\\temp\\AutoRunLog.tm", "C:\\windows\\temp\\AutoRunLog.tmp"));
    EXPECT_FALSE(names(log, "C:\\windows\\temp\\AutoRunLog.tmp2"));
    EXPECT_FALSE(names(log, "\\\\.\\C:\\windows\\temp\\AutoRunLog.tmp"));
}

// Another program plants the log's name as a second name of a file it wants an elevated writer to change.
TEST_F(LogFile, PlantedHardLinkIsRefusedAndTheProgramsLinesGoToTheSecondLog) {
    TempDir folder;
    std::string victim = folder.File("settings.ini");
    WriteWholeFile(victim, std::string(600000, 'p'));
    ASSERT_TRUE(CreateHardLinkA(LogPath().c_str(), victim.c_str(), nullptr)) << GetLastError();
    ASSERT_EQ(0u, RunAndWait(TestDir() + "log_helper.exe", "lines 1 planted"));
    std::string second = SecondLogText();
    DeleteFileA(SecondLogPath().c_str());
    // Neither written to nor, for its size, deleted at start-up.
    EXPECT_EQ(std::string(600000, 'p'), ReadWholeFile(victim));
    EXPECT_TRUE(LogExists());
    EXPECT_NE(std::string::npos, second.find("log_helper: ERR: The log " + LogPath() +
                                             " is refused: the file has a second name; this program's lines "
                                             "go to " +
                                             SecondLogPath() + "\r\n"))
        << second;
    EXPECT_NE(std::string::npos, second.find("log_helper: planted line 0000")) << second;
}

TEST_F(LogFile, LinesCarryTheProgramNameAndEndInCrLf) {
    EXPECT_EQ("common_tests", g_strModuleName);
    WriteLog("Run CheckAdmin");
    WriteLog("INF: Create Mutex:%s success", "Palvio");
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_TRUE(std::regex_match(lines[0], kStampedLine)) << lines[0];
    EXPECT_EQ("  common_tests: Run CheckAdmin", lines[0].substr(17));
    EXPECT_EQ(std::vector<std::string>({"Run CheckAdmin", "INF: Create Mutex:Palvio success"}),
              LogMessages());
}

TEST_F(LogFile, PercentSignsOfTheMessageAreWrittenAsFormatted) {
    WriteLog("Inf: sys file(%s) exist", "C:\\my%20driver%d.sys");
    EXPECT_EQ(std::vector<std::string>({"Inf: sys file(C:\\my%20driver%d.sys) exist"}), LogMessages());
}

TEST_F(LogFile, MessageLongerThan259CharactersIsCutAtItsRoom) {
    std::string longText(400, 'a');
    WriteLog("ERR: %s", longText.c_str());
    WriteLog("next");
    std::vector<std::string> messages = LogMessages();
    ASSERT_EQ(2u, messages.size());
    EXPECT_EQ("ERR: " + std::string(254, 'a'), messages[0]);
    EXPECT_EQ("next", messages[1]);
}

TEST_F(LogFile, WithoutTheWindowsTempFolderNothingIsWrittenOrCreated) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string temp = std::string(windows) + "\\temp";
    std::string hidden = temp + ".hidden-by-test";
    ASSERT_TRUE(MoveFileA(temp.c_str(), hidden.c_str()));
    WriteLog("dropped");
    DWORD attributes = GetFileAttributesA(temp.c_str());
    ASSERT_TRUE(MoveFileA(hidden.c_str(), temp.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, attributes) << "the temp folder was created";
    EXPECT_FALSE(LogExists());
}

TEST_F(LogFile, LinesOfTwoThreadsNeverInterleave) {
    struct Writer {
        static DWORD WINAPI Run(void* tag) {
            for (int i = 0; i < 1000; ++i)
                WriteLog("%s line %04d of a writer that shares the log with another writer",
                         static_cast<const char*>(tag), i);
            return 0;
        }
    };
    static char first[] = "thread-A", second[] = "thread-B";
    ScopedHandle a(CreateThread(nullptr, 0, Writer::Run, first, 0, nullptr));
    ScopedHandle b(CreateThread(nullptr, 0, Writer::Run, second, 0, nullptr));
    ASSERT_TRUE(a && b);
    WaitForSingleObject(a.Get(), INFINITE);
    WaitForSingleObject(b.Get(), INFINITE);
    ExpectWholeLinesOfWriters({"thread-A", "thread-B"}, 1000);
}

TEST_F(LogFile, LinesOfTwoProcessesNeverInterleave) {
    std::string helper = TestDir() + "log_helper.exe";
    ScopedHandle a(StartProgram(helper, "lines 1000 process-A"));
    ScopedHandle b(StartProgram(helper, "lines 1000 process-B"));
    ASSERT_TRUE(a && b);
    WaitForSingleObject(a.Get(), INFINITE);
    WaitForSingleObject(b.Get(), INFINITE);
    ExpectWholeLinesOfWriters({"process-A", "process-B"}, 1000);
    for (const std::string& line : LogLines())
        ASSERT_EQ("  log_helper: ", line.substr(17, 14)) << line;
}

TEST_F(LogFile, ProgramFileWithoutExtensionLogsAnEmptyName) {
    TempDir dir;
    std::string program = dir.File("log_helper");
    ASSERT_TRUE(CopyFileA((TestDir() + "log_helper.exe").c_str(), program.c_str(), FALSE));
    ASSERT_EQ(0u, RunAndWait(program, "lines 1 bare"));
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("  : bare line 0000 of a writer that shares the log with another writer", lines[0].substr(17));
}

TEST_F(LogFile, ModuleDirOfAProgramAtADriveRootIsTheRootWithBackslash) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string program = std::string(windows, 3) + "log_helper_at_root.exe"; // C:\ ...
    ASSERT_TRUE(CopyFileA((TestDir() + "log_helper.exe").c_str(), program.c_str(), FALSE));
    DWORD code = RunAndWait(program, "moduledir");
    DeleteFileA(program.c_str());
    ASSERT_EQ(0u, code);
    EXPECT_EQ(std::vector<std::string>({"dir=" + std::string(windows, 3)}), LogMessages());
}

TEST_F(LogFile, StartUpKeepsALogBelow512000Bytes) {
    for (unsigned size : {0u, 1u, 511999u}) {
        WriteLogOfSize(size);
        InitLogFile();
        EXPECT_TRUE(LogExists()) << "size " << size;
        EXPECT_EQ(size, ReadWholeFile(LogPath()).size());
    }
}

TEST_F(LogFile, StartUpDeletesALogOf512000BytesOrMore) {
    WriteLogOfSize(512000);
    InitLogFile();
    EXPECT_FALSE(LogExists());
    WriteLog("fresh");
    EXPECT_EQ(std::vector<std::string>({"fresh"}), LogMessages());
}

TEST_F(LogFile, StartUpDeletesAReadOnlyOversizedLog) {
    WriteLogOfSize(600000, true);
    InitLogFile();
    EXPECT_FALSE(LogExists());
}

TEST_F(LogFile, StartUpDoesNotDeleteALogThatAnotherWriterHoldsOpen) {
    WriteLogOfSize(100);
    // Another program in the middle of appending a line.
    ScopedFileHandle writer(CreateFileA(LogPath().c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    InitLogFile();
    writer.Reset();
    EXPECT_EQ(100u, ReadWholeFile(LogPath()).size());
}
