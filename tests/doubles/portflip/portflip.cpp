// portflip.exe double: journals "portflip <command line>", hands the device's answer to a detached copy of
// itself and ends with the configured exit status, at once unless told to take its time (the installer
// waits for the tool before it watches the drive letter). The copy plays, on the simulated PC, what the
// device does for "-switch":
//   the CD-ROM letter goes, the storage nodes go, the modem, serial and ADB nodes come, and the letter
//   comes back with its mounted-device record,
// each step after its delay, in that order. The device's IDs come from drvcfg.ini beside the double
// (section Section_Driver, as the installer beside it reads them); portflip.ini beside it sets the play:
//   [Answer]
//   ExitCode=0
//   EndsAfter=0                   ; milliseconds the tool takes before it ends (a tool that hangs)
//   [Play]
//   Modes=-switch                 ; the mode words the device answers (others are only journaled)
//   LetterGoesAfter=300           ; milliseconds; -1 leaves the step out (the device misbehaves)
//   StorageGoesAfter=100
//   PortsComeAfter=100
//   StorageComesBackAfter=-1      ; the storage and CD-ROM nodes come back (a device that returns unswitched)
//   UnswitchedPlays=0             ; the first plays bring no ports, and the storage back with the letter;
//                                 ; the later ones switch; the plays so far are counted in [Played] Count
//   LetterComesBackAfter=500      ; left out too when the letter never went
//   Interfaces=Key_ModemHwId,Key_SerialHwId ; the profile's interfaces that come (default: all three)
//   CdromFolder=/path/of/medium   ; the Linux folder the CD-ROM shows when it comes back
//   Sign=...                      ; its mounted-device record's sign (default: Key_CDROMSignId)
//   Commands=yes                  ; the mode word needs its command in [Commands], as the shipped tool
//                                 ; reads it (a medium's own portflip.ini): without one the double ends
//                                 ; with the shipped tool's status 2 and plays nothing
// The copy journals each step as "play: ...".
#include "../double.h"

#include "common/text.h"
#include "components/portflip/request.h"
#include "tests/sim/simpc.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

std::string Beside(const char* name) {
    std::string path = DoublePath();
    return path.substr(0, path.rfind('\\') + 1) + name;
}

std::string IniText(const char* file, const char* section, const char* key, const char* fallback) {
    char value[MAX_PATH] = {};
    GetPrivateProfileStringA(section, key, fallback, value, sizeof value, Beside(file).c_str());
    return value;
}

std::string Profile(const char* key) {
    return IniText("drvcfg.ini", "Section_Driver", key, "");
}

// Waits the step's delay; false when the step is left out.
bool After(const char* step, int fallback) {
    int delay = DoubleAnswer("Play", step, fallback);
    if (delay < 0) {
        Journal(std::string("play: ") + step + " left out");
        return false;
    }
    Sleep(static_cast<DWORD>(delay));
    return true;
}

void Report(const std::string& what, const sim::Result& result) {
    Journal("play: " + what + (result ? "" : " failed: " + result.Message()));
}

// The instance ID Windows would give an interface of the device: its hardware ID in capitals and a serial.
std::string InstanceOf(const std::string& hardwareId) {
    std::string instance = hardwareId;
    for (char& c : instance)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return instance + "\\PORTFLIP";
}

// A node of the device with the profile's ID under KEY, unless the profile has none.
void AddNode(const char* key, const std::string& compatibleId, const char* className) {
    std::string id = Profile(key);
    if (id.empty())
        return;
    sim::DeviceNode node;
    node.instanceId = InstanceOf(id);
    node.hardwareIds = {id};
    node.compatibleIds = {compatibleId};
    node.className = className;
    Report("added " + id, sim::AddDevice(node));
}

// An interface of the profile comes unless [Play] Interfaces lists the ones that do and not this one: a
// device shows only the interfaces its profile counts.
void AddInterface(const char* key, const char* className) {
    std::string listed = "," + IniText("portflip.ini", "Play", "Interfaces", "") + ",";
    if (listed != ",," && listed.find(std::string(",") + key + ",") == std::string::npos)
        return;
    AddNode(key, "usb\\class_ff", className);
}

// The device's storage identity as it shows it on the bus: the USB node with the mass-storage class, and
// its CD-ROM.
void AddStorage() {
    AddNode("Key_ProductId", Profile("Key_MassCmpId"), "USB");
    AddNode("Key_UsbStorHwId", Profile("Key_UsbStorCmpId"), "CDROM");
}

void RemoveStorage(const char* key) {
    std::string id = Profile(key);
    int removed = 0;
    sim::Result result = sim::RemoveDevicesWithHardwareId(id.c_str(), &removed);
    Report("removed " + std::to_string(removed) + " nodes of " + id, result);
}

bool IsCdrom(char letter) {
    char root[] = "?:\\";
    root[0] = letter;
    return GetDriveTypeA(root) == DRIVE_CDROM;
}

// Whether this play brings the device back in its CD-ROM mode; counts the play.
bool PlaysUnswitched() {
    int played = DoubleAnswer("Played", "Count", 0);
    WritePrivateProfileStringA("Played", "Count", std::to_string(played + 1).c_str(),
                               Beside("portflip.ini").c_str());
    bool unswitched = played < DoubleAnswer("Play", "UnswitchedPlays", 0);
    if (unswitched)
        Journal("play: " + std::to_string(played + 1) + " comes back unswitched");
    return unswitched;
}

void Play(char letter) {
    bool unswitched = PlaysUnswitched();
    bool letterWent = After("LetterGoesAfter", 300);
    if (letterWent)
        Report(std::string("letter ") + letter + ": gone", sim::RemoveDrive(letter));
    if (After("StorageGoesAfter", 100)) {
        RemoveStorage("Key_ProductId");
        RemoveStorage("Key_UsbStorHwId");
    }
    if (unswitched)
        Journal("play: PortsComeAfter left out");
    else if (After("PortsComeAfter", 100)) {
        AddInterface("Key_ModemHwId", "Modem");
        AddInterface("Key_SerialHwId", "Ports");
        AddInterface("Key_AdbHwId", "AndroidUsbDeviceClass");
    }
    // Left out unless asked for, and quietly so: the journal of an ordinary switch stays as it was.
    int storageBack = DoubleAnswer("Play", "StorageComesBackAfter", -1);
    if (storageBack >= 0) {
        Sleep(static_cast<DWORD>(storageBack));
        AddStorage();
    }
    // A letter that never went cannot come back: defining it again would take it away for a moment.
    if (!letterWent)
        Journal("play: LetterComesBackAfter left out with the letter");
    else if (After("LetterComesBackAfter", 500)) {
        std::string folder = IniText("portflip.ini", "Play", "CdromFolder", "");
        std::string sign = IniText("portflip.ini", "Play", "Sign", Profile("Key_CDROMSignId").c_str());
        char record[512];
        if (folder.empty() || !sim::CdromRecordForSign(sign.c_str(), record, sizeof record)) {
            Journal("play: no CdromFolder or Sign for the letter to come back");
            return;
        }
        // A device that re-attaches in its CD-ROM mode brings its storage identity with the letter.
        if (unswitched)
            AddStorage();
        // Once, on a loaded machine, the letter was no drive after the play had ended, though Wine's mount
        // manager had been asked to define it. The device's CD-ROM does come back: the letter is looked at
        // a moment later and asked for again, and each miss is journaled.
        sim::Result back;
        for (int attempt = 0; attempt < 5; attempt++) {
            back = sim::DefineCdromDrive(letter, folder.c_str(), record);
            Sleep(100);
            if (back && !IsCdrom(letter))
                back = sim::Result::Fail("the letter went again");
            if (back)
                break;
            Journal(std::string("play: letter ") + letter + ": not back yet: " + back.Message());
        }
        Report(std::string("letter ") + letter + ": back", back);
    }
    Journal("play: done");
}

bool ModeIsPlayed(const std::string& mode) {
    std::string modes = IniText("portflip.ini", "Play", "Modes", "-switch");
    for (const std::string& played : sim::SplitList(modes.c_str(), ','))
        if (played == mode)
            return true;
    return false;
}

// Whether the tool beside the double could send the mode word: its portflip.ini names a command for it
// that the shipped tool can send. Journaled either way.
bool CommandIsSendable(const std::string& mode) {
    std::string command = IniText("portflip.ini", "Commands", mode.c_str(), "");
    unsigned char bytes[16];
    int count = 0;
    if (!ParseCommandBytes(command, bytes, count)) {
        Journal("portflip: portflip.ini names no command for " + mode + " that the tool can send ('" +
                command + "')");
        return false;
    }
    Journal("portflip: the command for " + mode + " is " + command + " (" + std::to_string(count) +
            " bytes)");
    return true;
}

bool StartPlay(char letter) {
    char commandLine[MAX_PATH * 2] = {};
    std::string self = DoublePath();
    char arguments[] = " --play X";
    arguments[sizeof arguments - 2] = letter;
    if (!sim::AppendQuotedArgument(commandLine, sizeof commandLine, self.c_str()) ||
        !AppendBounded(commandLine, sizeof commandLine, arguments))
        return false;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(self.c_str(), commandLine, nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // The copy's command line: the quoted program path, then --play and the letter.
    if (const char* play = strstr(commandLine, "--play ")) {
        Play(play[7]);
        return 0;
    }
    Journal(std::string("portflip ") + commandLine);
    std::string mode;
    char letter = 0;
    bool parsed = ParseCommandLine(commandLine, mode, letter);
    if (parsed && IniText("portflip.ini", "Play", "Commands", "") == "yes" && !CommandIsSendable(mode))
        return 2;
    if (parsed && ModeIsPlayed(mode) && !StartPlay(letter))
        Journal("portflip: the play could not be started");
    Sleep(static_cast<DWORD>(DoubleAnswer("Answer", "EndsAfter", 0)));
    return DoubleAnswer("Answer", "ExitCode", 0);
}
