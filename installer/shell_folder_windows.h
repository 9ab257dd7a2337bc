// The folder windows that the shell itself lists as open. Windows 11's Explorer may show no address control
// that another program can read, but the shell's list still names each window's location.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ShellFolderWindow {
    HWND window;
    std::string location; // as the shell names it: "file:///E:/Setup"
};

// Reads the shell's list of open folder windows through automation. 1 and the list when it could be read;
// 0 and the failing result otherwise (the list is then incomplete and must not be trusted).
int ListShellFolderWindows(std::vector<ShellFolderWindow>& windows, HRESULT& failure);
