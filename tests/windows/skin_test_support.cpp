#include "skin_test_support.h"

#include "common/handles.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace skintest {

namespace {

std::string g_strFolder;
std::string g_strTitlePrefix = "Skin test";
int g_nPublishedStep = 0;
constexpr UINT_PTR kGoTimer = 1;
constexpr UINT kPublishLater = WM_APP + 40;

void AppendReport(const std::string& line) {
    ScopedFileHandle file(CreateFileA(File("report.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    std::string text = line + "\r\n";
    if (file)
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string ResourceText(const char* type, UINT id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(nullptr, found)) : std::string();
}

} // namespace

std::string Folder() {
    return g_strFolder;
}
void SetFolder(const char* folder) {
    g_strFolder = folder ? folder : "";
}
std::string File(const char* name) {
    return g_strFolder + name;
}
void SetTitlePrefix(const char* prefix) {
    g_strTitlePrefix = prefix;
}
std::string StepTitle(int step) {
    return g_strTitlePrefix + " " + std::to_string(step);
}

bool Check(bool condition, const char* what, ...) {
    char text[512];
    va_list args;
    va_start(args, what);
    FormatBoundedV(text, sizeof text, what, args);
    va_end(args);
    AppendReport(std::string(condition ? "ok: " : "FAIL: ") + text);
    return condition;
}

void MoveMouseToScreen(int x, int y) {
    SetCursorPos(x, y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void MoveMouseTo(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MoveMouseToScreen((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void LeftButton(bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

void PressKey(WORD key) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof inputs[0]);
}

void CheckProgramResources(UINT aboutStringId, const char* aboutText, const char* executionLevel,
                           const char* description) {
    char text[128] = {};
    LoadStringA(GetModuleHandleA(nullptr), aboutStringId, text, sizeof text);
    Check(strcmp(text, aboutText) == 0, "string %u is \"%s\" (\"%s\")", aboutStringId, aboutText, text);

    std::string manifest = ResourceText(MAKEINTRESOURCEA(24), 1);
    Check(manifest.find(std::string("level=\"") + executionLevel + "\"") != std::string::npos,
          "the manifest asks for the %s level", executionLevel);
    Check(manifest.find("{e2011457-1546-43c5-a5fe-008deee3d3f0}") != std::string::npos &&
              manifest.find("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}") != std::string::npos,
          "the manifest declares Windows Vista and 7");

    // The version block holds its texts in UTF-16; compare the description as such.
    std::string version = ResourceText(MAKEINTRESOURCEA(16), 1);
    std::string wide;
    for (const char* c = description; *c; ++c)
        wide.append({*c, '\0'});
    Check(!version.empty() && version.find(wide) != std::string::npos, "the version information describes %s",
          description);
}

void CheckTemplateSize(HWND window, int widthUnits, int heightUnits, const char* what) {
    RECT units = {0, 0, widthUnits, heightUnits};
    MapDialogRect(window, &units);
    RECT client = {};
    GetClientRect(window, &client);
    Check(client.right == units.right && client.bottom == units.bottom,
          "%s is %d x %d dialog units: %ld x %ld pixels (client %ld x %ld)", what, widthUnits, heightUnits,
          units.right, units.bottom, client.right, client.bottom);
}

BOOL StepDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetTimer(m_hWnd, kGoTimer, 50, nullptr);
    PostMessage(WM_TIMER, kGoTimer, 0); // the first step runs once the window is shown
    return TRUE;
}

void StepDialog::Advance() {
    m_nAwaited = 0;
    m_bBusy = true;
    std::string title = Step(++m_nLocalStep);
    m_bBusy = false;
    if (!m_hWnd)
        return;
    if (title.empty()) {
        KillTimer(m_hWnd, kGoTimer);
        return;
    }
    if (title != kLater)
        Publish(title);
}

void StepDialog::Publish(const std::string& title) {
    // Paint what the step changed before telling the script to look (the X server may still lag behind:
    // the script waits for a sign pixel where it matters).
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SetWindowText(title.c_str());
    m_nAwaited = ++g_nPublishedStep;
}

void StepDialog::PublishLater(const std::string& title) {
    m_strLater = title;
    PostMessage(kPublishLater);
}

LRESULT StepDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kGoTimer) {
        if (m_bBusy)
            return 0;
        char go[16];
        FormatBounded(go, sizeof go, "go-%d", m_nAwaited);
        if (m_nLocalStep == 0 ||
            (m_nAwaited && GetFileAttributesA(File(go).c_str()) != INVALID_FILE_ATTRIBUTES))
            Advance();
        return 0;
    }
    if (message == kPublishLater) {
        Publish(m_strLater);
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

} // namespace skintest
