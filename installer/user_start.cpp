#include "user_start.h"

#include "automation.h"

#include "common/edition.h"
#include "common/handles.h"
#include "common/log.h"
#include "common/processes.h"
#include "common/profile.h"
#include "common/registry.h"
#include "common/text.h"

#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

namespace {

// The shell's answer for a program it was handed: it says nothing of the start itself.
constexpr unsigned kHandedToTheShell = 33;

// TokenElevation (Windows Vista and later) of the token information classes, and its answer.
constexpr int kTokenElevation = 20;

bool ProcessIsElevated() {
    ScopedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()))
        return false;
    DWORD elevated = 0, size = 0;
    // Older Windows know no such class: there is no elevation.
    return GetTokenInformation(token.Get(), static_cast<TOKEN_INFORMATION_CLASS>(kTokenElevation), &elevated,
                               sizeof elevated, &size) &&
           elevated != 0;
}

bool UserAccountControlOn() {
    if (EditionIsBeforeVista(g_nEdition))
        return false;
    DWORD value = 0, size = sizeof value;
    // Without the value Windows takes user account control as on.
    if (!GetRegKeyValue("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system", "EnableLUA", &value,
                        &size))
        return true;
    return value != 0;
}

// A text as the shell takes it; null when it cannot be converted.
BSTR WideText(const char* text) {
    wchar_t wide[kPathRoom] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, wide, kPathRoom))
        return nullptr;
    return GetAutomationApi().SysAllocString(wide);
}

// Releases a COM interface pointer when it goes.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (m_object)
            m_object->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    Interface** Receive() { return &m_object; }
    void** ReceiveVoid() { return reinterpret_cast<void**>(&m_object); }
    Interface* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    Interface* m_object = nullptr;
};

// A text value for the shell's call, freed with it.
class TextVariant {
public:
    explicit TextVariant(const char* text) {
        VARIANT* value = &m_value;
        value->vt = VT_BSTR;
        value->bstrVal = WideText(text);
    }
    bool Made() const { return m_value.Get().bstrVal != nullptr; }
    const VARIANT& Get() const { return m_value.Get(); }

private:
    ScopedVariant m_value;
};

// The desktop's own shell object, reached from the desktop window's view. S_OK and the object, or the
// first failure on the way (S_FALSE: no desktop window is listed).
HRESULT FindDesktopShell(ComPtr<IShellDispatch2>& shell) {
    const AutomationApi& api = GetAutomationApi();
    ComPtr<IShellWindows> windows;
    HRESULT hr = api.CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                      windows.ReceiveVoid());
    if (FAILED(hr))
        return hr;
    ScopedVariant location, root;
    (&location)->vt = VT_I4;
    (&location)->lVal = CSIDL_DESKTOP;
    LONG window = 0;
    ComPtr<IDispatch> desktop;
    hr = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.Receive());
    if (hr != S_OK || !desktop)
        return hr == S_OK ? S_FALSE : hr;
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    if (FAILED(hr = desktop->QueryInterface(IID_IServiceProvider, services.ReceiveVoid())) ||
        FAILED(hr = services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.ReceiveVoid())) ||
        FAILED(hr = browser->QueryActiveShellView(view.Receive())) ||
        FAILED(hr = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.ReceiveVoid())) ||
        FAILED(hr = background->QueryInterface(IID_IShellFolderViewDual, folderView.ReceiveVoid())) ||
        FAILED(hr = folderView->get_Application(application.Receive())))
        return hr;
    return application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(shell.Receive()));
}

HRESULT StartThroughDesktopShell(const char* program, const char* parameters, const char* directory,
                                 int show) {
    const AutomationApi& api = GetAutomationApi();
    if (!api.Loaded())
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    ComApartment apartment;
    ComPtr<IShellDispatch2> shell;
    HRESULT hr = FindDesktopShell(shell);
    if (hr != S_OK)
        return hr;
    BSTR file = WideText(program);
    TextVariant arguments(parameters), folder(directory), verb("open");
    ScopedVariant shown;
    (&shown)->vt = VT_I4;
    (&shown)->lVal = show;
    hr = file && arguments.Made() && folder.Made() && verb.Made()
             ? shell->ShellExecute(file, arguments.Get(), folder.Get(), verb.Get(), shown.Get())
             : E_OUTOFMEMORY;
    api.SysFreeString(file);
    return hr;
}

} // namespace

bool WantsDesktopShell(bool userAccountControlOn, bool elevated) {
    return userAccountControlOn && elevated;
}

unsigned StartWithUsersRights(const char* program, const char* parameters, const char* directory, int show) {
    if (WantsDesktopShell(UserAccountControlOn(), ProcessIsElevated())) {
        HRESULT hr = StartThroughDesktopShell(program, parameters, directory, show);
        if (SUCCEEDED(hr)) {
            WriteLog("INF: %s %s is started through the desktop's shell, with the user's rights", program,
                     parameters);
            return kHandedToTheShell;
        }
        WriteLog("INF: The desktop's shell does not answer (0x%08lX); %s is started with this installer's "
                 "rights",
                 static_cast<unsigned long>(hr), program);
    } else {
        WriteLog("INF: %s is started by this installer, which runs with the user's own rights", program);
    }
    return ShellOpen(program, parameters, directory, show);
}
