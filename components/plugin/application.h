// One companion application as the plug-in's .ini describes it (a section per application):
//
//   [Palvio]                                          ; [Dial] for the dial-up application
//   Enabled=yes                                       ; offered by the launcher
//   InstalledFile=%ProgramFiles%\Palvio\Palvio.exe    ; installed while this file exists ...
//   InstalledValue=HKLM\SOFTWARE\Palvio\InstallPath   ; ... or while this registry value exists
//   Setup=Setup\PalvioSetup.exe                       ; installs it; started and awaited
//   SetupParameters=/S
//   Update=Setup\PalvioSetup.exe                      ; updates it; started and awaited (none: up to date)
//   UpdateParameters=/update
//   Program=%ProgramFiles%\Palvio\Palvio.exe          ; starts it
//   ProgramParameters=
//   Process=Palvio.exe                                ; it runs while a process of this name runs
//
// Paths may hold environment variables, %ProgramFiles% the native Program Files folder also on 64-bit
// Windows, where the companions' setups install them; relative paths are taken from the library's folder.
#pragma once

#include <string>

class CompanionApplication {
public:
    CompanionApplication(std::string ini, std::string folder, const char* section)
        : m_ini(std::move(ini)), m_folder(std::move(folder)), m_section(section) {}

    int IsEnabled() const;
    int IsInstalled() const;
    int IsRunning() const;
    int Install() const;
    int Update() const;
    int Run() const;

private:
    std::string Value(const char* key) const;
    // A configured path with its variables expanded (ExpandNativePath) and, when relative, put in the
    // library's folder; empty when the key is missing or the path does not fit.
    std::string PathOf(const char* key) const;
    // Starts the program of a key with the parameters of key + "Parameters" and waits for it to end.
    bool RunAndWait(const char* key) const;

    std::string m_ini;
    std::string m_folder;
    const char* m_section;
};

// "HKLM\SOFTWARE\Palvio\InstallPath" as its root, key path and value name; false when it is not such a text.
bool SplitRegistryValuePath(const std::string& text, std::string& root, std::string& key, std::string& value);
