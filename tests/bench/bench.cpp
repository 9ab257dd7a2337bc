// bench.exe: the measurements of 'make bench' that run inside the simulated PC. Each prints lines
// "NAME VALUE" for run-bench to put into its table.
//
//   bench.exe inf-scan PROFILE    RemoveOemInfFiles over 2000 oem*.inf of 20 KB, none of them the device's,
//                                 against reading the same files whole with a plain loop
//   bench.exe staging PACKAGE     the installer's staging of the package folder into the temp folder, against
//                                 the same folders copied by a plain Win32 loop
//   bench.exe log LINES           that many lines written to the diagnostic log, one WriteLog each
//   bench.exe empty               nothing: the start and end of a program, to compare program starts with
#include "common/files.h"
#include "common/edition.h"
#include "common/handles.h"
#include "common/log.h"
#include "common/profile.h"
#include "common/staging.h"
#include "installer/removal.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kInfCopies = 2000;
constexpr size_t kInfBytes = 20 * 1024;

std::string InfFolder() {
    char windows[kPathRoom];
    return GetWindowsFolder(windows) ? std::string(windows) + "\\inf\\" : std::string();
}

bool WriteFileWhole(const std::string& path, const std::string& content) {
    ScopedFileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

// The same bytes the scan reads, read by the plainest loop: find each file, read it whole, nothing else.
unsigned long long ReadAllPlainly(const std::string& folder) {
    unsigned long long total = 0;
    WIN32_FIND_DATAA found;
    ScopedFindHandle search(FindFirstFileA((folder + "oem*.inf").c_str(), &found));
    if (!search)
        return 0;
    std::vector<char> buffer(64 * 1024);
    do {
        ScopedFileHandle file(CreateFileA((folder + found.cFileName).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
        DWORD read = 0;
        while (file &&
               ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
               read > 0)
            total += read;
    } while (FindNextFileA(search.Get(), &found));
    return total;
}

int InfScan(const char* profile) {
    if (!ReadDrvCfg(profile, "Section_Driver")) {
        fprintf(stderr, "bench: the profile %s cannot be read\n", profile);
        return 1;
    }
    std::string folder = InfFolder();
    std::string content = "[Models]\r\n%Other%=Other, USB\\VID_1111&PID_2222&MI_00\r\n";
    content.resize(kInfBytes, 'x');
    for (int i = 0; i < kInfCopies; ++i) {
        if (!WriteFileWhole(folder + "oem" + std::to_string(1000 + i) + ".inf", content)) {
            fprintf(stderr, "bench: cannot write the INF copies into %s\n", folder.c_str());
            return 1;
        }
    }
    DWORD started = GetTickCount();
    unsigned long long plainBytes = ReadAllPlainly(folder);
    DWORD plain = GetTickCount() - started;
    started = GetTickCount();
    bool scanned = RemoveOemInfFiles();
    DWORD scan = GetTickCount() - started;
    printf("inf_files %d\ninf_bytes %llu\ninf_scan_ms %lu\ninf_plain_ms %lu\n", kInfCopies, plainBytes,
           static_cast<unsigned long>(scan), static_cast<unsigned long>(plain));
    return scanned ? 0 : 1;
}

// The files of one folder copied by the plainest Win32 loop (find, copy over); false when one failed.
bool CopyFolderPlainly(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    ScopedFindHandle search(FindFirstFileA((from + "\\*").c_str(), &found));
    if (!search)
        return false;
    bool copied = true;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            copied = CopyFileA((from + "\\" + found.cFileName).c_str(), (to + "\\" + found.cFileName).c_str(),
                               FALSE) &&
                     copied;
    } while (FindNextFileA(search.Get(), &found));
    return copied;
}

int Staging(const char* package) {
    std::string folder = package;
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    if (!ReadDrvCfg(folder + "drvcfg.ini", "Section_Driver")) {
        fprintf(stderr, "bench: the profile of %s cannot be read\n", package);
        return 1;
    }
    CDriverPrepare_Setup setup(folder);
    DWORD started = GetTickCount();
    int staged = setup.AutoRun_PrepareTmpDriver();
    DWORD took = GetTickCount() - started;
    // The same folders copied by a plain loop: what copying costs under this Windows, without the staging's
    // record, its checks and its log lines.
    char temp[kPathRoom];
    std::string plain = GetTempFolder(temp) ? std::string(temp) + "PlainCopy" : std::string();
    std::string edition = "\\" + EditionFolder(g_nEdition, DeviceProfile.NewerWindows);
    started = GetTickCount();
    bool copied = !plain.empty() && CopyFolderPlainly(folder.substr(0, folder.size() - 1), plain) &&
                  CopyFolderPlainly(folder + edition, plain + edition) &&
                  CopyFolderPlainly(folder + "Res", plain + "\\Res");
    DWORD plainTook = GetTickCount() - started;
    printf("staging_ms %lu\nstaging_plain_ms %lu\n", static_cast<unsigned long>(took),
           static_cast<unsigned long>(plainTook));
    return staged && copied ? 0 : 1;
}

int Log(const char* count) {
    int lines = atoi(count);
    DWORD started = GetTickCount();
    for (int i = 0; i < lines; ++i)
        WriteLog("INF: bench line %d of %d", i + 1, lines);
    printf("log_ms %lu\n", static_cast<unsigned long>(GetTickCount() - started));
    return lines > 0 ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "inf-scan") == 0)
        return InfScan(argv[2]);
    if (argc == 3 && strcmp(argv[1], "staging") == 0)
        return Staging(argv[2]);
    if (argc == 3 && strcmp(argv[1], "log") == 0)
        return Log(argv[2]);
    if (argc == 2 && strcmp(argv[1], "empty") == 0)
        return 0;
    fprintf(stderr, "usage: bench.exe inf-scan PROFILE | staging PACKAGE | log LINES | empty\n");
    return 2;
}
