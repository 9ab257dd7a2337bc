#include "bitmap.h"

#include "app.h"

BOOL CBitmap::Attach(HBITMAP bitmap) {
    m_bitmap.Reset(bitmap);
    return bitmap != nullptr;
}

BOOL CBitmap::DeleteObject() {
    bool held = static_cast<bool>(m_bitmap);
    m_bitmap.Reset();
    return held;
}

BOOL CBitmap::LoadBitmap(UINT resourceId) {
    return Attach(::LoadBitmapA(ProgramInstance(), MAKEINTRESOURCEA(resourceId)));
}

int CBitmap::GetBitmap(BITMAP* info) const {
    return m_bitmap ? GetObjectA(m_bitmap.Get(), sizeof *info, info) : 0;
}

SIZE CBitmap::GetSize() const {
    BITMAP info = {};
    if (!GetBitmap(&info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}
