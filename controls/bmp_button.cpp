#include "bmp_button.h"

#include "common/files.h"
#include "common/log.h"

int CMyBmpButton::LoadBitmapFiles(const char* normal, const char* selected, HINSTANCE instance) {
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    if (!m_bitmap.Attach(LoadWholeBitmapFile(normal, instance))) {
        WriteLog("ERR: Bitmap file %s is missing or damaged.", normal ? normal : "");
        return 0;
    }
    if (!selected || !*selected)
        return 1;
    if (!m_bitmapSel.Attach(LoadWholeBitmapFile(selected, instance))) {
        WriteLog("ERR: Bitmap file %s is missing or damaged.", selected);
        return 0;
    }
    return 1;
}
