#include "mode_switch_command.h"

#include <cstring>

namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool ComposeModeSwitchCommand(const char* currentFolder, const std::string& driverPath, const char* action,
                              char (&tool)[kPathRoom], char (&parameters)[kPathRoom]) {
    char folder[kPathRoom] = {};
    if (!CopyBounded(folder, sizeof folder, currentFolder))
        return false;
    size_t length = strlen(folder);
    if (length > 0 && folder[length - 1] == '\\')
        folder[length - 1] = '\0';
    if (!FormatBounded(tool, sizeof tool, "%s\\%s\\portflip.exe", folder, driverPath.c_str()))
        return false;
    char drive[3] = {Upper(tool[0]), tool[0] ? Upper(tool[1]) : '\0', '\0'};
    return FormatBounded(parameters, sizeof parameters, "%s -cdrom:%s", action, drive);
}
