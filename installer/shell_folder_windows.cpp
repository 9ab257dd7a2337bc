#include "shell_folder_windows.h"

#include "automation.h"

#include "common/newer_api.h"

#include <exdisp.h>

namespace {

// Late binding by name: the shell's objects answer to the names that scripts use, and no type library of a
// particular Windows is needed.
HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* argument, VARIANT* result) {
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    DISPPARAMS parameters = {argument, nullptr, argument ? 1u : 0u, 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, nullptr, nullptr);
}

bool IntegerOf(const VARIANT& value, LONGLONG& number) {
    switch (value.vt) {
    case VT_I4:
    case VT_INT:
        number = value.lVal;
        return true;
    case VT_UI4:
    case VT_UINT:
        number = value.ulVal;
        return true;
    case VT_I8:
    case VT_UI8:
        number = value.llVal;
        return true;
    default:
        return false;
    }
}

std::string NarrowText(const wchar_t* text) {
    if (!text)
        return "";
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return "";
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size - 1));
    return narrow;
}

// The window and location of one entry of the list. S_FALSE for an entry that is no longer there (a window
// closed while the list is read).
HRESULT ReadEntry(IDispatch* list, LONG index, ShellFolderWindow& entry) {
    ScopedVariant argument;
    (&argument)->vt = VT_I4;
    (&argument)->lVal = index;
    ScopedVariant item;
    HRESULT hr = Invoke(list, L"Item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, &argument, &item);
    if (FAILED(hr))
        return hr;
    if (item.Get().vt != VT_DISPATCH || !item.Get().pdispVal)
        return S_FALSE;
    ScopedVariant window;
    ScopedVariant location;
    LONGLONG handle = 0;
    if (FAILED(hr = Invoke(item.Get().pdispVal, L"HWND", DISPATCH_PROPERTYGET, nullptr, &window)))
        return hr;
    if (FAILED(hr = Invoke(item.Get().pdispVal, L"LocationURL", DISPATCH_PROPERTYGET, nullptr, &location)))
        return hr;
    if (!IntegerOf(window.Get(), handle) || location.Get().vt != VT_BSTR)
        return DISP_E_TYPEMISMATCH;
    entry.window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
    entry.location = NarrowText(location.Get().bstrVal);
    return S_OK;
}

} // namespace

int ListShellFolderWindows(std::vector<ShellFolderWindow>& windows, HRESULT& failure) {
    windows.clear();
    const AutomationApi& api = GetAutomationApi();
    if (!api.Loaded()) {
        failure = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    ComApartment apartment;
    IDispatch* list = nullptr;
    failure = api.CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IDispatch,
                                   reinterpret_cast<void**>(&list));
    if (FAILED(failure))
        return 0;
    ScopedVariant count;
    LONGLONG entries = 0;
    failure = Invoke(list, L"Count", DISPATCH_PROPERTYGET, nullptr, &count);
    if (SUCCEEDED(failure) && !IntegerOf(count.Get(), entries))
        failure = DISP_E_TYPEMISMATCH;
    for (LONG index = 0; SUCCEEDED(failure) && index < entries; ++index) {
        ShellFolderWindow entry{};
        failure = ReadEntry(list, index, entry);
        if (failure == S_OK)
            windows.push_back(entry);
    }
    list->Release();
    if (FAILED(failure)) {
        windows.clear();
        return 0;
    }
    failure = S_OK;
    return 1;
}
