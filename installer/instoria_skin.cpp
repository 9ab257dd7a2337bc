// The installer window's set-up and painting: the skin from the bitmaps of Res beside the program and the
// geometry values of drvcfg.ini, then the worker.
#include "instoria_dlg.h"

#include "package_folder.h"
#include "resource.h"

#include "common/about_entry.h"
#include "common/files.h"
#include "common/log.h"
#include "common/profile.h"
#include "framework/app.h"

namespace {

const char kProfileSection[] = "Section_Driver";

std::string ResFile(const char* name) {
    return InstallerPackageDir() + "Res\\" + name;
}

std::string ProfilePath() {
    return InstallerPackageDir() + "drvcfg.ini";
}

SIZE OuterSize(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// Reads one geometry value as "%d" reads it. A missing value keeps the default (the reader has logged why),
// and so do one that is no number and one that does not suit the window, each with a line saying so.
int ReadGeometryValue(const char* key, int fallback, bool (*suits)(int, int), int windowSide) {
    std::string text;
    if (!ReadCfgValue(kProfileSection, key, 0, text, ProfilePath().c_str()))
        return fallback;
    int value = fallback;
    if (!ScanDecimal(text.c_str(), &value)) {
        WriteLog("ERR: %s = %s is no number; %d is used", key, text.c_str(), fallback);
        return fallback;
    }
    if (!suits(value, windowSide)) {
        WriteLog("ERR: %s = %d does not suit a window of %d pixels; %d is used", key, value, windowSide,
                 fallback);
        return fallback;
    }
    WriteLog("Info:The value of config(Section:%s; Key:%s) is %s.", kProfileSection, key, text.c_str());
    return value;
}

void RemoveCaption(CWnd& window, SIZE size) {
    window.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    window.ModifyStyle(WS_CAPTION, 0, SWP_FRAMECHANGED);
}

} // namespace

BOOL CInstoriaDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    WriteLog("BOOL CInstoriaDlg::OnInitDialog() begin");
    AddAboutEntry(m_hWnd, ProgramInstance(), IDS_ABOUTBOX, IDM_ABOUTBOX);

    g_strMainProduce = "NORMAL";
    std::string skinText;
    if (!ReadCfgValue("Produce_ID", "Main_Produce", 0, skinText, ProfilePath().c_str())) {
        WriteLog("Err:Get config(Section:%s; Key:%s) from cfg file fialed", "Produce_ID", "Main_Produce");
        // Without a skin no worker starts, and nothing else would ever end the window.
        WriteLog("ERR: The device profile names no skin; the installer ends without installing");
        EndDialog(IDABORT);
        return FALSE;
    }
    g_strMainProduce = skinText;
    WriteLog("Info:The value of config(Section:%s; Key:%s) is %s.", "Produce_ID", "Main_Produce",
             skinText.c_str());
    WriteLog("InitialDllPara(), Main_Produce is %s.", skinText.c_str());
    Skin skin = SkinFromText(g_strMainProduce);

    if (!m_hIcon)
        m_hIcon = LoadVendorIcon();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowText(m_strProgramName.c_str());

    SIZE window = LayOutBackground(skin);
    SkinGeometry geometry = ReadGeometry(window);
    RECT bar = ProgressPlace(window.cx, window.cy, geometry);
    WriteLog("ProgressCtrl bmp size is weight:%d height:%d,position is x:%d, y:%d",
             static_cast<int>(bar.right - bar.left), static_cast<int>(bar.bottom - bar.top),
             static_cast<int>(bar.left), static_cast<int>(bar.top));
    m_progress.SetWindowPos(nullptr, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top,
                            SWP_NOZORDER | SWP_NOACTIVATE);
    m_progress.SetRange(100);

    // The exit button of the final window: a control of its own, hidden until the worker shows it.
    HWND exit =
        CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_OWNERDRAW, 0, 0, 0, 0, m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EXIT)), ProgramInstance(), nullptr);
    if (!exit || !m_btnExit.SubclassWindow(exit))
        WriteLog("ERR: The exit button could not be made, error %lu", GetLastError());
    if (skin == Skin::kNormal) {
        SetUpExitButton(window);
        SetShowText(m_strInstallInfo);
    } else if (skin == Skin::kOxa) {
        SetUpCloseButton(window);
        SetUpTextBox(window);
    }

    StartWorker();
    return TRUE;
}

SIZE CInstoriaDlg::LayOutBackground(Skin skin) {
    std::string background = ResFile("DrvInstall.bmp");
    int width = 0, height = 0;
    if (skin == Skin::kNormal) {
        GetBmpFileSize(background.c_str(), &width, &height, ProgramInstance());
        WriteLog("BackGround bmp size is weight:%d height:%d", width, height);
    }
    m_bmpBack.Attach(LoadWholeBitmapFile(background.c_str(), ProgramInstance()));
    if (m_bmpBack && skin == Skin::kOxa) {
        SIZE size = m_bmpBack.GetSize();
        width = size.cx;
        height = size.cy;
        WriteLog("BackGround bmp size is weight:%d height:%d", width, height);
    }
    // A skin without a usable background keeps the window's template size: a window of no size could be
    // neither seen nor ended by the user.
    if (width <= 0 || height <= 0) {
        if (skin != Skin::kOther)
            WriteLog("ERR: The background %s is missing or damaged; the window keeps its size",
                     background.c_str());
        SIZE size = OuterSize(m_hWnd);
        width = size.cx;
        height = size.cy;
    }
    SIZE window = {width, height};
    if (skin != Skin::kOther)
        RemoveCaption(*this, window);
    return window;
}

SkinGeometry CInstoriaDlg::ReadGeometry(SIZE window) {
    const SkinGeometry defaults;
    SkinGeometry geometry;
    geometry.progressHeight =
        ReadGeometryValue("Key_ProgressHeight", defaults.progressHeight, ProgressHeightSuits, window.cy);
    geometry.xPos = ReadGeometryValue("Key_ProgressXPos", defaults.xPos, XPosSuits, window.cx);
    geometry.textSpare = ReadGeometryValue("Key_TextSpare", defaults.textSpare, TextSpareSuits, window.cy);
    m_nXPos = geometry.xPos;
    m_nTextSpare = geometry.textSpare;
    return geometry;
}

void CInstoriaDlg::SetUpExitButton(SIZE window) {
    std::string normal = ResFile("exit.bmp"), selected = ResFile("exitsel.bmp");
    int width = 0, height = 0;
    GetBmpFileSize(normal.c_str(), &width, &height, ProgramInstance());
    WriteLog("Exit bmp size is weight:%d height:%d", width, height);
    if (!m_btnExit.m_hWnd)
        return;
    if (!m_btnExit.LoadBitmapFiles(normal.c_str(), selected.c_str(), ProgramInstance()))
        m_btnExit.LoadBitmaps(IDB_EXIT_FALLBACK);
    // Sized to the image it shows, the built-in one too, and placed by that size, so that it stays inside
    // the window's right edge.
    m_btnExit.SizeToContent();
    RECT button = {};
    m_btnExit.GetWindowRect(&button);
    POINT place = NormalExitPlace(window.cx, SIZE{button.right - button.left, button.bottom - button.top});
    m_btnExit.SetWindowPos(nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CInstoriaDlg::SetUpCloseButton(SIZE window) {
    const COLORREF white = RGB(255, 255, 255);
    m_btnClose.SetStateColor(2, white, FALSE);
    m_btnClose.SetStateColor(0, white, FALSE);
    m_btnClose.SetStateColor(4, white, FALSE);
    std::string normal = ResFile("exit.bmp");
    int width = 0, height = 0;
    GetBmpFileSize(normal.c_str(), &width, &height, ProgramInstance());
    POINT place = OxaClosePlace(window.cx, m_nXPos, SIZE{width, height});
    m_btnClose.SetWindowPos(nullptr, place.x, place.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    m_btnClose.m_hModule = ProgramInstance();
    m_btnClose.SetBitmapFiles(normal, ResFile("exitsel.bmp"));
    m_btnClose.SetPressedBitmap(ResFile("exitMouseDown.bmp"));
}

void CInstoriaDlg::SetUpTextBox(SIZE window) {
    RECT client = {};
    GetClientRect(&client);
    SetShowText(m_strInstallInfo);
    // Measured with the percentage the text once carried, so that the box has room for it.
    std::string measured = m_strInstallInfo + " 100%...";
    RECT box = {m_nXPos, 0, client.right - m_nXPos, window.cy / 2};
    {
        ScopedWindowDC dc(m_hWnd);
        if (dc.Get())
            DrawTextA(dc.Get(), measured.c_str(), -1, &box, DT_CALCRECT | DT_WORDBREAK);
    }
    m_rcText = OxaTextBox(m_nXPos, window.cy, box.right, box.bottom - box.top);
    // The region cuts one pixel off the left and top edges; once set, it belongs to the window.
    HRGN region = CreateRectRgn(1, 1, window.cx, window.cy);
    if (region && !SetWindowRgn(m_hWnd, region, FALSE))
        DeleteObject(region);
}

bool CInstoriaDlg::PaintSkin() {
    // Without a usable background the dialog's own face stands in for it; the text is drawn all the same.
    Skin skin = SkinFromText(g_strMainProduce);
    if (skin == Skin::kOther)
        return false;
    ScopedPaint paint(m_hWnd);
    HDC dc = paint.Get();
    if (!dc)
        return true;
    RECT client = {};
    GetClientRect(&client);
    std::string text = GetShowText();
    int oldMode = SetBkMode(dc, TRANSPARENT);
    if (skin == Skin::kNormal) {
        SIZE size = m_bmpBack.GetSize();
        ScopedMemoryDC memory(m_bmpBack ? CreateCompatibleDC(dc) : nullptr);
        if (memory) {
            ScopedSelection selected(memory.Get(), m_bmpBack.GetSafeHandle());
            StretchBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, size.cx, size.cy, SRCCOPY);
        }
        SIZE extent = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        int right = client.right - m_nXPos;
        int middle = client.bottom / 2;
        RECT place = {m_nXPos, NormalTextTop(middle, m_nTextSpare, extent.cx, extent.cy, right), right,
                      middle};
        DrawTextA(dc, text.c_str(), -1, &place, DT_WORDBREAK);
    } else {
        RECT box = OxaWhiteBox(client);
        {
            ScopedSelection brush(dc, GetStockObject(WHITE_BRUSH));
            Rectangle(dc, box.left, box.top, box.right, box.bottom);
        }
        if (!m_progress.IsWindowVisible())
            m_rcText.bottom = box.bottom;
        DrawTextA(dc, text.c_str(), -1, &m_rcText, DT_WORDBREAK);
    }
    SetBkMode(dc, oldMode);
    return true;
}
