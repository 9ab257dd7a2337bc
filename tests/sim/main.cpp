// simpc.exe: the simulated PC for scenario scripts. Run under Wine inside the prefix it changes:
//
//   simpc.exe COMMAND ARGUMENTS...
//
// Exit status: 0 done, 1 the change failed (the reason on stderr), 2 the command line is unusable (with the
// usage on stderr). window-exists answers 0 when the window is there and 1 when it is not.
#include "owners.h"
#include "simpc.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum ExitCode { kDone = 0, kFailed = 1, kBadUsage = 2 };

struct Arguments {
    std::vector<const char*> positional;
    std::vector<std::pair<std::string, const char*>> options; // a flag's value is ""

    const char* Option(const char* name) const {
        for (const auto& option : options) {
            if (option.first == name)
                return option.second;
        }
        return nullptr;
    }
};

struct Command {
    const char* name;
    const char* synopsis;
    const char* help;
    int minPositional, maxPositional;
    // The options the command takes, each followed by a blank; a name ending in '!' is a flag.
    const char* options;
    int (*run)(const Arguments&);
};

const Command* g_command = nullptr;

void Print(FILE* stream, const char* format, ...) SUITE_PRINTF(2, 3);
void Print(FILE* stream, const char* format, ...) {
    char text[4096];
    va_list args;
    va_start(args, format);
    FormatBoundedV(text, sizeof text, format, args);
    va_end(args);
    fputs(text, stream);
}

int Failed(const sim::Result& result) {
    Print(stderr, "simpc: %s: %s\n", g_command->name, result.Message().c_str());
    return kFailed;
}

int ShowUsage(FILE* stream);

int BadUsage(const char* format, ...) SUITE_PRINTF(1, 2);
int BadUsage(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    FormatBoundedV(text, sizeof text, format, args);
    va_end(args);
    if (g_command) {
        Print(stderr, "simpc: %s: %s\nusage: simpc.exe %s%s%s\n", g_command->name, text, g_command->name,
              *g_command->synopsis ? " " : "", g_command->synopsis);
    } else {
        Print(stderr, "simpc: %s\n", text);
        ShowUsage(stderr);
    }
    return kBadUsage;
}

bool Letter(const char* text, char* letter) {
    return sim::ParseDriveLetter(text, letter);
}

// A file named by a Windows path, or by an absolute Linux path (through Wine's own conversion).
sim::Result ReadSourceFile(const char* path, std::string* content) {
    ScopedFileHandle file;
    using ToDosName = WCHAR*(CDECL*)(const char*);
    FARPROC found =
        path[0] == '/' ? GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name") : nullptr;
    if (found) {
        sim::ScopedHeapBlock dosName(reinterpret_cast<ToDosName>(reinterpret_cast<void*>(found))(path));
        if (dosName)
            file.Reset(CreateFileW(static_cast<WCHAR*>(dosName.Get()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    } else {
        file.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    if (!file)
        return sim::Result::Fail("cannot open %s: %s", path, sim::DescribeError(GetLastError()).c_str());
    content->clear();
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        content->append(buffer, got);
    return sim::Result();
}

// --- edition ---------------------------------------------------------------------------------------------

int RunEdition(const Arguments& args) {
    sim::NewerVersionValues newer;
    int major = 0;
    if (args.Option("major") && (!sim::ParseCount(args.Option("major"), &major) || major <= 0))
        return BadUsage("'%s' is not a major version number", args.Option("major"));
    newer.majorNumber = static_cast<DWORD>(major);
    newer.buildNumber = args.Option("build");
    sim::Result result =
        sim::SetEdition(args.positional[0], args.positional.size() > 1 ? args.positional[1] : nullptr, newer);
    return result ? kDone : Failed(result);
}

int RunEditionShow(const Arguments&) {
    sim::EditionValues values = sim::ReadEdition();
    if (values.hasCurrentVersion)
        Print(stdout, "CurrentVersion=%s\n", values.currentVersion.c_str());
    else
        Print(stdout, "CurrentVersion absent\n");
    if (values.hasBuildLabEx)
        Print(stdout, "BuildLabEx=%s\n", values.buildLabEx.c_str());
    else
        Print(stdout, "BuildLabEx absent\n");
    if (values.hasMajorNumber)
        Print(stdout, "CurrentMajorVersionNumber=%lu\n", static_cast<unsigned long>(values.majorNumber));
    else
        Print(stdout, "CurrentMajorVersionNumber absent\n");
    if (values.hasBuildNumber)
        Print(stdout, "CurrentBuildNumber=%s\n", values.buildNumber.c_str());
    return kDone;
}

// --- devices ---------------------------------------------------------------------------------------------

sim::DeviceNode NodeFromOptions(const Arguments& args) {
    sim::DeviceNode node;
    node.instanceId = args.Option("instance");
    node.hardwareIds = sim::SplitList(args.Option("hwid"), ',');
    node.compatibleIds = sim::SplitList(args.Option("compat"), ',');
    if (args.Option("class"))
        node.className = args.Option("class");
    return node;
}

int RunDeviceAdd(const Arguments& args) {
    if (!args.Option("instance"))
        return BadUsage("--instance is missing");
    sim::Result result = sim::AddDevice(NodeFromOptions(args));
    return result ? kDone : Failed(result);
}

int RunDeviceAddMany(const Arguments& args) {
    int count = 0, first = 0;
    if (!sim::ParseCount(args.positional[0], &count))
        return BadUsage("'%s' is not a count", args.positional[0]);
    if (args.Option("first") && !sim::ParseCount(args.Option("first"), &first))
        return BadUsage("'%s' is not a number", args.Option("first"));
    if (!args.Option("instance"))
        return BadUsage("--instance is missing");
    DWORD start = GetTickCount();
    sim::Result result = sim::AddNumberedDevices(NodeFromOptions(args), count, first);
    if (!result)
        return Failed(result);
    Print(stdout, "added %d device nodes in %lu ms\n", count,
          static_cast<unsigned long>(GetTickCount() - start));
    return kDone;
}

int RunDeviceRemove(const Arguments& args) {
    const char* instance = args.Option("instance");
    const char* hardwareId = args.Option("hwid");
    if ((instance != nullptr) == (hardwareId != nullptr))
        return BadUsage("give either --instance or --hwid");
    if (instance) {
        sim::Result result = sim::RemoveDevice(instance);
        return result ? kDone : Failed(result);
    }
    int removed = 0;
    DWORD start = GetTickCount();
    sim::Result result = sim::RemoveDevicesWithHardwareId(hardwareId, &removed);
    if (!result)
        return Failed(result);
    Print(stdout, "removed %d device nodes in %lu ms\n", removed,
          static_cast<unsigned long>(GetTickCount() - start));
    return kDone;
}

void PrintList(const std::vector<std::string>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            fputc(',', stdout);
        fputs(items[i].c_str(), stdout);
    }
}

int RunDeviceList(const Arguments& args) {
    std::vector<sim::DeviceNode> nodes;
    sim::Result result = sim::ListDevices(&nodes);
    if (!result)
        return Failed(result);
    const char* wanted = args.Option("hwid");
    for (const sim::DeviceNode& node : nodes) {
        bool matches = !wanted;
        for (const std::string& id : node.hardwareIds)
            matches = matches || sim::EqualsIgnoreCase(id.c_str(), wanted);
        if (!matches)
            continue;
        // One node a line: instance ID, class, hardware IDs, compatible IDs, separated by tabs.
        fputs(node.instanceId.c_str(), stdout);
        Print(stdout, "\t%s\t", node.className.c_str());
        PrintList(node.hardwareIds);
        fputc('\t', stdout);
        PrintList(node.compatibleIds);
        fputc('\n', stdout);
    }
    return kDone;
}

// --- drives ----------------------------------------------------------------------------------------------

// The record text of --sign or --record (null for neither); false when both are given.
bool RecordFromOptions(const Arguments& args, char* record, size_t room, const char** text) {
    const char* sign = args.Option("sign");
    const char* full = args.Option("record");
    *text = nullptr;
    if (sign && full)
        return false;
    if (full)
        *text = full;
    if (sign) {
        if (!sim::CdromRecordForSign(sign, record, room))
            return false;
        *text = record;
    }
    return true;
}

int RunCdromDefine(const Arguments& args) {
    char letter;
    if (!Letter(args.positional[0], &letter))
        return BadUsage("'%s' is not a drive letter", args.positional[0]);
    char record[1024];
    const char* text = nullptr;
    if (!RecordFromOptions(args, record, sizeof record, &text))
        return BadUsage("give --sign or --record, not both (and a sign that fits)");
    sim::Result result = sim::DefineCdromDrive(letter, args.positional[1], text);
    return result ? kDone : Failed(result);
}

int RunDriveRemove(const Arguments& args) {
    char letter;
    if (!Letter(args.positional[0], &letter))
        return BadUsage("'%s' is not a drive letter", args.positional[0]);
    sim::Result result = sim::RemoveDrive(letter);
    return result ? kDone : Failed(result);
}

int RunMountedRecord(const Arguments& args) {
    char letter;
    if (!Letter(args.positional[0], &letter))
        return BadUsage("'%s' is not a drive letter", args.positional[0]);
    char record[1024];
    const char* text = nullptr;
    bool remove = args.Option("delete") != nullptr;
    if (!RecordFromOptions(args, record, sizeof record, &text) || (text != nullptr) == remove)
        return BadUsage("give one of --sign, --record and --delete");
    sim::Result result = sim::WriteMountedRecord(letter, text);
    return result ? kDone : Failed(result);
}

int RunDriveInfo(const Arguments& args) {
    char letter;
    if (!Letter(args.positional[0], &letter))
        return BadUsage("'%s' is not a drive letter", args.positional[0]);
    char root[] = "?:\\";
    root[0] = letter;
    Print(stdout, "type %u\n", GetDriveTypeA(root));
    Print(stdout, "listed %s\n", (GetLogicalDrives() >> (letter - 'A')) & 1 ? "yes" : "no");
    char name[] = "\\DosDevices\\?:";
    name[12] = letter;
    ScopedRegKey key;
    std::vector<BYTE> data(4096);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\MountedDevices", 0, KEY_READ, key.Receive()) ==
            ERROR_SUCCESS &&
        RegQueryValueExA(key.Get(), name, nullptr, nullptr, data.data(), &size) == ERROR_SUCCESS) {
        std::string text(size, '\0');
        int length = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(data.data()),
                                         static_cast<int>(size / 2), &text[0], static_cast<int>(text.size()),
                                         nullptr, nullptr);
        text.resize(length > 0 ? static_cast<size_t>(length) : 0);
        Print(stdout, "record %s\n", text.c_str());
    } else {
        Print(stdout, "record absent\n");
    }
    if (args.positional.size() > 1) {
        char path[kPathRoom];
        std::string content;
        if (FormatBounded(path, sizeof path, "%c:\\%s", letter, args.positional[1]) &&
            ReadSourceFile(path, &content)) {
            size_t end = content.find_first_of("\r\n");
            Print(stdout, "file %s\n", content.substr(0, end).c_str());
        } else {
            Print(stdout, "file unreadable\n");
        }
    }
    return kDone;
}

// --- files -----------------------------------------------------------------------------------------------

int RunOemInfPlace(const Arguments& args) {
    int number = -1;
    if (args.Option("number") && !sim::ParseCount(args.Option("number"), &number))
        return BadUsage("'%s' is not a number", args.Option("number"));
    std::string content, pnf;
    sim::Result result = ReadSourceFile(args.positional[0], &content);
    if (result && args.Option("pnf"))
        result = ReadSourceFile(args.Option("pnf"), &pnf);
    int placed = -1;
    if (result)
        result = sim::PlaceOemInf(content, number, args.Option("pnf") ? &pnf : nullptr, &placed);
    if (!result)
        return Failed(result);
    Print(stdout, "oem%d.inf\n", placed);
    return kDone;
}

int PlaceOne(const char* source, const char* relativePath) {
    std::string content;
    sim::Result result = ReadSourceFile(source, &content);
    if (result)
        result = sim::PlaceSystemFile(relativePath, content);
    return result ? kDone : Failed(result);
}

int RunSystemFilePlace(const Arguments& args) {
    return PlaceOne(args.positional[0], args.positional[1]);
}

int RunWindowsOwnDrivers(const Arguments& args) {
    std::vector<std::string> placed;
    sim::Result result = sim::PlaceWindowsOwnDrivers(args.positional[0], &placed);
    if (!result)
        return Failed(result);
    for (const std::string& name : placed)
        Print(stdout, "%s\n", name.c_str());
    return kDone;
}

int RunDriverPlace(const Arguments& args) {
    for (const char* source : args.positional) {
        const char* name = source;
        for (const char* at = source; *at; ++at) {
            if (*at == '\\' || *at == '/')
                name = at + 1;
        }
        char relative[kPathRoom];
        if (!*name || !FormatBounded(relative, sizeof relative, "drivers\\%s", name))
            return BadUsage("'%s' names no file", source);
        int status = PlaceOne(source, relative);
        if (status != kDone)
            return status;
    }
    return kDone;
}

// --- windows ---------------------------------------------------------------------------------------------

sim::FolderWindowSpec SpecFromOptions(const Arguments& args) {
    sim::FolderWindowSpec spec;
    if (args.Option("title"))
        spec.title = args.Option("title");
    if (args.Option("top-class"))
        spec.topClass = args.Option("top-class");
    if (args.Option("class"))
        spec.addressClass = args.Option("class");
    if (args.Option("text"))
        spec.addressText = args.Option("text");
    if (args.Option("journal"))
        spec.journal = args.Option("journal");
    spec.visible = args.Option("hidden") == nullptr;
    return spec;
}

// Starts a copy of this program that owns the window, and answers once the window is up: the scenario goes
// on while the window waits to be closed.
int RunFolderWindow(const Arguments& args) {
    if (!args.Option("text"))
        return BadUsage("--text is missing");
    char self[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self)
        return Failed(sim::Result::Fail("cannot find this program's own path"));
    char eventName[96];
    FormatBounded(eventName, sizeof eventName, "simpc-folder-window-%lu-%lu",
                  static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long>(GetTickCount()));
    ScopedHandle ready(CreateEventA(nullptr, TRUE, FALSE, eventName));
    if (!ready)
        return Failed(
            sim::Result::Fail("cannot create an event: %s", sim::DescribeError(GetLastError()).c_str()));
    sim::FolderWindowSpec spec = SpecFromOptions(args);
    char commandLine[8192] = "";
    bool fits = sim::AppendQuotedArgument(commandLine, sizeof commandLine, self) &&
                AppendBounded(commandLine, sizeof commandLine, " folder-window-serve --ready") &&
                sim::AppendQuotedArgument(commandLine, sizeof commandLine, eventName);
    const char* names[] = {"title", "top-class", "class", "text", "journal"};
    const std::string* values[] = {&spec.title, &spec.topClass, &spec.addressClass, &spec.addressText,
                                   &spec.journal};
    for (size_t i = 0; i < 5 && fits; ++i) {
        char option[32];
        FormatBounded(option, sizeof option, " --%s", names[i]);
        fits = AppendBounded(commandLine, sizeof commandLine, option) &&
               sim::AppendQuotedArgument(commandLine, sizeof commandLine, values[i]->c_str());
    }
    if (fits && !spec.visible)
        fits = AppendBounded(commandLine, sizeof commandLine, " --hidden");
    if (!fits)
        return BadUsage("the window's texts are too long");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Detached and inheriting nothing: it must not hold the caller's console or output pipes open.
    if (!CreateProcessA(self, commandLine, nullptr, nullptr, FALSE,
                        DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process))
        return Failed(sim::Result::Fail("cannot start the window's program: %s",
                                        sim::DescribeError(GetLastError()).c_str()));
    ScopedHandle child(process.hProcess);
    ScopedHandle thread(process.hThread);
    HANDLE either[] = {ready.Get(), child.Get()};
    DWORD which = WaitForMultipleObjects(2, either, FALSE, 60000);
    if (which == WAIT_OBJECT_0) {
        Print(stdout, "%lu\n", static_cast<unsigned long>(process.dwProcessId));
        return kDone;
    }
    DWORD code = 0;
    GetExitCodeProcess(child.Get(), &code);
    return Failed(which == WAIT_OBJECT_0 + 1 ? sim::Result::Fail("the window's program ended with status %lu",
                                                                 static_cast<unsigned long>(code))
                                             : sim::Result::Fail("the window did not come up within 60 s"));
}

int RunFolderWindowServe(const Arguments& args) {
    if (!args.Option("ready"))
        return BadUsage("--ready is missing");
    ScopedHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, args.Option("ready")));
    if (!ready)
        return Failed(sim::Result::Fail("cannot open event %s: %s", args.Option("ready"),
                                        sim::DescribeError(GetLastError()).c_str()));
    sim::Result result = sim::RunFolderWindow(SpecFromOptions(args), ready.Get(), nullptr);
    return result ? kDone : Failed(result);
}

HWND FindFolderWindow(const Arguments& args) {
    const char* topClass = args.Option("top-class") ? args.Option("top-class") : "CabinetWClass";
    return FindWindowA(topClass, args.positional[0]);
}

int RunWindowExists(const Arguments& args) {
    return FindFolderWindow(args) ? kDone : kFailed;
}

int RunWindowClose(const Arguments& args) {
    HWND window = FindFolderWindow(args);
    if (!window)
        return Failed(sim::Result::Fail("no window '%s'", args.positional[0]));
    if (!PostMessageA(window, WM_CLOSE, 0, 0))
        return Failed(
            sim::Result::Fail("cannot post WM_CLOSE: %s", sim::DescribeError(GetLastError()).c_str()));
    return kDone;
}

int RunLanguage(const Arguments&) {
    Print(stdout, "0x%04x\n", GetSystemDefaultLangID());
    return kDone;
}

int RunHelp(const Arguments&) {
    return ShowUsage(stdout);
}

const Command kCommands[] = {
    {"edition", "VERSION [BUILDLABEX] [--major N] [--build B]",
     "set CurrentVersion and BuildLabEx for 32- and 64-bit programs (no BUILDLABEX: delete it); Windows 10 "
     "and 11: CurrentMajorVersionNumber N (no --major: delete it); CurrentBuildNumber B (no --build: keep "
     "it)",
     1, 2, "major build ", RunEdition},
    {"edition-show", "", "print the values as this program reads them", 0, 0, "", RunEditionShow},
    {"device-add", "--instance ID [--hwid A,B] [--compat C,D] [--class NAME]",
     "create a device node (classes: USB (default), Modem, Ports, CDROM, DiskDrive, Net, Volume, "
     "AndroidUsbDeviceClass, {GUID})",
     0, 0, "instance hwid compat class ", RunDeviceAdd},
    {"device-add-many", "N --instance PATTERN [--hwid ...] [--compat ...] [--class NAME] [--first K]",
     "create N nodes; each '#' becomes the node's number (0000, 0001, ...)", 1, 1,
     "instance hwid compat class first ", RunDeviceAddMany},
    {"device-remove", "--instance ID | --hwid ID",
     "remove one node, or every node with that hardware ID (any case), through DIF_REMOVE", 0, 0,
     "instance hwid ", RunDeviceRemove},
    {"device-list", "[--hwid ID]",
     "print the present nodes: instance ID, class, hardware IDs, compatible IDs", 0, 0, "hwid ",
     RunDeviceList},
    {"cdrom-define", "X: LINUX_FOLDER [--sign TEXT | --record TEXT]",
     "define X: as a CD-ROM drive on a Linux folder, then write its mounted-device record", 2, 2,
     "sign record ", RunCdromDefine},
    {"drive-remove", "X:", "take drive X: away", 1, 1, "", RunDriveRemove},
    {"mounted-record", "X: (--sign TEXT | --record TEXT | --delete)",
     "write (or delete) the \\DosDevices\\X: value under HKLM\\SYSTEM\\MountedDevices", 1, 1,
     "sign record delete! ", RunMountedRecord},
    {"drive-info", "X: [FILE]",
     "print the drive's type, whether it is listed, its record and FILE's first line", 1, 2, "",
     RunDriveInfo},
    {"oeminf-place", "INF_FILE [--number N] [--pnf PNF_FILE]",
     "place %WINDIR%\\inf\\oemN.inf and oemN.PNF (first free N by default); print its name", 1, 1,
     "number pnf ", RunOemInfPlace},
    {"driver-place", "FILE...", "place files in the native system32\\drivers", 1, 64, "", RunDriverPlace},
    {"system-file-place", "FILE RELATIVE_PATH", "place a file under the native system32", 2, 2, "",
     RunSystemFilePlace},
    {"windows-own-drivers", "xp|vista|10",
     "place Windows' own usbser.sys (and on Vista and later winusb.sys, WUDFRd.sys), read-only, with the "
     "INFs of Windows that name them; print the drivers' names",
     1, 1, "", RunWindowsOwnDrivers},
    {"folder-window",
     "--text TEXT [--class Edit|ToolbarWindow32|NAME] [--title TITLE] [--top-class NAME] [--journal FILE] "
     "[--hidden]",
     "open an Explorer-like folder window owned by a detached copy of simpc; print that copy's process ID "
     "(a visible one may take a managed Wine 2 s to close)",
     0, 0, "text class title top-class journal hidden! ", RunFolderWindow},
    {"folder-window-serve", "--ready EVENT ...", "(used by folder-window)", 0, 0,
     "ready text class title top-class journal hidden! ", RunFolderWindowServe},
    {"window-exists", "TITLE [--top-class NAME]", "status 0 when such a window exists, 1 when not", 1, 1,
     "top-class ", RunWindowExists},
    {"window-close", "TITLE [--top-class NAME]", "post WM_CLOSE to that window", 1, 1, "top-class ",
     RunWindowClose},
    {"language", "", "print the system's default language ID (Wine takes it from LC_ALL)", 0, 0, "",
     RunLanguage},
    {"help", "", "print this text", 0, 0, "", RunHelp},
};

int ShowUsage(FILE* stream) {
    Print(stream, "usage: simpc.exe COMMAND ARGUMENTS...  (X: is a drive letter from D: to Y:; files may be\n"
                  "given as Windows paths or absolute Linux paths)\n");
    for (const Command& command : kCommands) {
        if (strcmp(command.name, "folder-window-serve") != 0)
            Print(stream, "  %s%s%s\n      %s\n", command.name, *command.synopsis ? " " : "",
                  command.synopsis, command.help);
    }
    return kDone;
}

// "--name value" and "--flag" options anywhere, the rest positional; false (after a message) when the
// command does not take an option or its value is missing.
bool ParseArguments(const Command& command, int argc, char** argv, Arguments* args) {
    for (int i = 0; i < argc; ++i) {
        const char* word = argv[i];
        if (strncmp(word, "--", 2) != 0) {
            args->positional.push_back(word);
            continue;
        }
        char name[64], flag[64];
        if (!FormatBounded(name, sizeof name, " %s ", word + 2) ||
            !FormatBounded(flag, sizeof flag, " %s! ", word + 2)) {
            BadUsage("unknown option %s", word);
            return false;
        }
        char allowed[256];
        FormatBounded(allowed, sizeof allowed, " %s", command.options);
        if (strstr(allowed, flag)) {
            args->options.emplace_back(word + 2, "");
        } else if (strstr(allowed, name)) {
            if (i + 1 >= argc) {
                BadUsage("%s needs a value", word);
                return false;
            }
            args->options.emplace_back(word + 2, argv[++i]);
        } else {
            BadUsage("unknown option %s", word);
            return false;
        }
    }
    int count = static_cast<int>(args->positional.size());
    if (count < command.minPositional || count > command.maxPositional) {
        BadUsage(count < command.minPositional ? "an argument is missing" : "too many arguments");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Scripts read the output: lines end in LF, not the runtime's CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (argc < 2) {
        BadUsage("no command");
        return kBadUsage;
    }
    for (const Command& command : kCommands) {
        if (strcmp(command.name, argv[1]) != 0)
            continue;
        g_command = &command;
        Arguments args;
        if (!ParseArguments(command, argc - 2, argv + 2, &args))
            return kBadUsage;
        int status = command.run(args);
        fflush(stdout);
        return status;
    }
    BadUsage("unknown command '%s'", argv[1]);
    return kBadUsage;
}
