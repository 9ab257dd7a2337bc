// Move-only owners of Win32 resources, so that no path can forget a release.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <utility>

// Owns one resource, released with Traits::Close unless it holds Traits::Invalid().
template <typename Traits>
class ScopedResource {
public:
    using Value = typename Traits::Value;

    ScopedResource() = default;
    explicit ScopedResource(Value value) : m_value(value) {}
    ~ScopedResource() { Reset(); }
    ScopedResource(ScopedResource&& other) noexcept : m_value(other.Release()) {}
    ScopedResource& operator=(ScopedResource&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;

    explicit operator bool() const { return m_value != Traits::Invalid(); }
    Value Get() const { return m_value; }
    // For the out parameter of a Win32 call; the previous value is released first.
    Value* Receive() {
        Reset();
        return &m_value;
    }
    Value Release() { return std::exchange(m_value, Traits::Invalid()); }
    void Reset(Value value = Traits::Invalid()) {
        if (m_value != Traits::Invalid())
            Traits::Close(m_value);
        m_value = value;
    }

private:
    Value m_value = Traits::Invalid();
};

// Kernel objects whose failure value is INVALID_HANDLE_VALUE: files, snapshots.
struct FileHandleTraits {
    using Value = HANDLE;
    static Value Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Value value) { CloseHandle(value); }
};
using ScopedFileHandle = ScopedResource<FileHandleTraits>;

// Kernel objects whose failure value is null: processes, threads, mutexes, tokens.
struct KernelHandleTraits {
    using Value = HANDLE;
    static Value Invalid() { return nullptr; }
    static void Close(Value value) { CloseHandle(value); }
};
using ScopedHandle = ScopedResource<KernelHandleTraits>;

struct RegKeyTraits {
    using Value = HKEY;
    static Value Invalid() { return nullptr; }
    static void Close(Value value) { RegCloseKey(value); }
};
using ScopedRegKey = ScopedResource<RegKeyTraits>;

struct GdiObjectTraits {
    using Value = HGDIOBJ;
    static Value Invalid() { return nullptr; }
    static void Close(Value value) { DeleteObject(value); }
};
using ScopedGdiObject = ScopedResource<GdiObjectTraits>;

struct DevInfoTraits {
    using Value = HDEVINFO;
    static Value Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Value value) { SetupDiDestroyDeviceInfoList(value); }
};
using ScopedDevInfo = ScopedResource<DevInfoTraits>;

struct ModuleTraits {
    using Value = HMODULE;
    static Value Invalid() { return nullptr; }
    static void Close(Value value) { FreeLibrary(value); }
};
using ScopedModule = ScopedResource<ModuleTraits>;

// File searches (FindFirstFileA).
struct FindHandleTraits {
    using Value = HANDLE;
    static Value Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Value value) { FindClose(value); }
};
using ScopedFindHandle = ScopedResource<FindHandleTraits>;

// Memory device contexts (CreateCompatibleDC).
struct MemoryDcTraits {
    using Value = HDC;
    static Value Invalid() { return nullptr; }
    static void Close(Value value) { DeleteDC(value); }
};
using ScopedMemoryDC = ScopedResource<MemoryDcTraits>;

// Selects a GDI object into a device context and puts the previous one back. Declare it after the owner of
// the object, so that the object is deselected before it is deleted.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelection() {
        if (m_old)
            SelectObject(m_dc, m_old);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// The paint context of one WM_PAINT (BeginPaint / EndPaint).
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    ~ScopedPaint() { EndPaint(m_window, &m_paint); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint = {};
    HDC m_dc;
};

// A window's client drawing context outside WM_PAINT (GetDC / ReleaseDC).
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~ScopedWindowDC() {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// A critical section for data that two threads share, and its hold for one scope.
class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&m_section); }
    ~CriticalSection() { DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

private:
    friend class ScopedLock;
    CRITICAL_SECTION m_section;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& section) : m_section(section.m_section) {
        EnterCriticalSection(&m_section);
    }
    ~ScopedLock() { LeaveCriticalSection(&m_section); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};
