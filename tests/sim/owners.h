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

} // namespace sim
