// Files that belong to Windows itself, which the programs never delete or replace, whatever a package or a
// profile names: a modem or serial package is usually an INF over Windows' own usbser.sys, an ADB one over
// winusb.sys, and deleting or overwriting those breaks every other device that uses them. A file is Windows'
// own when Windows protects it (System File Protection on Windows 2000 and XP, Windows Resource Protection on
// Vista and later), or when an INF of Windows' own names it: one in {WinDir}\inf that is not an oem*.inf
// copy of a maker's package.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// Why a file is Windows' own, or that it is not.
enum class WindowsOwn { kNo, kProtected, kNamedByWindowsInf };

// The pure parts.
// How the two signs combine: a protected file is Windows' own whatever names it; else one that an INF of
// Windows' own names.
WindowsOwn CombineWindowsOwn(bool protectedByWindows, bool namedByWindowsInf);
// Whether a file of {WinDir}\inf is one of Windows' own INFs: its extension is ".inf" (any case) and its
// name does not begin with "oem" (Windows names the registered copy of a maker's INF oemN.inf).
bool IsWindowsInfName(const char* fileName);
// Whether a Windows INF can name the file at all: Windows numbers the copies of makers' INFs and their .PNF
// twins (oemN.inf, oemN.PNF) when it registers them, so no INF of its own names one of those.
bool InfRuleApplies(const char* fileName);
// The reason as the log lines give it: "Windows protects it" or "Windows' INF mdmcpq.inf names it".
std::string DescribeWindowsOwn(WindowsOwn own, const std::string& inf);

// SfcIsFileProtected, or a stand-in that answers as Windows does.
using FileProtectionQuery = BOOL(WINAPI*)(HANDLE rpcHandle, LPCWSTR path);

// The answers of one run. Windows' INFs are read only for a question that protection does not answer, and
// each at most once per run: the first sweep looks for every name expected so far and the one asked; a
// later question of a name no sweep looked for costs a sweep for it alone.
class WindowsOwnFiles {
public:
    // protection null: nothing counts as protected. windows: the Windows folder ({WinDir}, no trailing
    // backslash).
    WindowsOwnFiles(FileProtectionQuery protection, std::string windows);
    // A file name that a later question of this run may ask about: the first sweep looks for it too.
    void Expect(const std::string& name);
    // Whether the file (its full path; the name is its last part) is Windows' own; inf, when it is by an INF,
    // that INF's name.
    WindowsOwn Ask(const std::string& path, std::string* inf = nullptr);
    // Reads Windows' INFs now for the names expected and not yet looked for, so that later questions are
    // answered from the INF folder as it was before the run registered anything there.
    void Sweep();
    // How many INF files were read so far (each counts once per sweep).
    size_t InfsRead() const { return m_infsRead; }

private:
    bool Protected(const std::string& path) const;

    FileProtectionQuery m_protection;
    std::string m_windows;
    std::vector<std::string> m_pending;           // lowered names no sweep has looked for yet
    std::map<std::string, std::string> m_namedBy; // lowered name: the Windows INF naming it, or empty
    size_t m_infsRead = 0;
};

// The run's answers, with Windows' own SfcIsFileProtected (sfc.dll, looked up at run time).
WindowsOwnFiles& RunWindowsOwnFiles();
