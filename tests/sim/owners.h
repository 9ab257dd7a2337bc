// Owners of the resources only the simulated PC holds, in the manner of common/handles.h.
#pragma once

#include "common/handles.h"

#include <windows.h>
#include <setupapi.h>

namespace sim {

// Memory that a Wine or Windows function handed over from the process heap.
struct HeapTraits {
    using Value = void*;
    static Value Invalid() { return nullptr; }
    static void Close(Value value) { HeapFree(GetProcessHeap(), 0, value); }
};
using ScopedHeapBlock = ScopedResource<HeapTraits>;

// For its lifetime, file calls of this thread reach the native system folder even in a 32-bit program on
// 64-bit Windows; elsewhere it does nothing. The WOW64 functions are looked up at run time (XP and later).
class ScopedNativeFileSystem {
public:
    ScopedNativeFileSystem();
    ~ScopedNativeFileSystem();
    ScopedNativeFileSystem(const ScopedNativeFileSystem&) = delete;
    ScopedNativeFileSystem& operator=(const ScopedNativeFileSystem&) = delete;

private:
    bool m_disabled = false;
    void* m_old = nullptr;
};

} // namespace sim
