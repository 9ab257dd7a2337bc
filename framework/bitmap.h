// CBitmap: owns one bitmap handle (deleted with the object or when replaced).
#pragma once

#include "common/handles.h"

#include <windows.h>

class CBitmap {
public:
    // Takes ownership of a bitmap; a bitmap held before is deleted.
    BOOL Attach(HBITMAP bitmap);
    // Gives up ownership without deleting.
    HBITMAP Detach() { return static_cast<HBITMAP>(m_bitmap.Release()); }
    BOOL DeleteObject();
    // A bitmap of the program's own resources.
    BOOL LoadBitmap(UINT resourceId);
    // Width, height and format; 0 when no bitmap is held.
    int GetBitmap(BITMAP* info) const;
    SIZE GetSize() const;
    HBITMAP GetSafeHandle() const { return static_cast<HBITMAP>(m_bitmap.Get()); }
    explicit operator bool() const { return static_cast<bool>(m_bitmap); }

private:
    ScopedGdiObject m_bitmap;
};
