// The launcher window's set-up and painting: the skin from the bitmaps of Res beside the program, the band
// height and the buttons' order from autoruncfg.cfg, then the watch of the medium's drive.
#include "palvio_dlg.h"

#include "resource.h"
#include "window_layout.h"

#include "common/about_entry.h"
#include "common/files.h"
#include "common/log.h"
#include "common/profile.h"
#include "common/text.h"
#include "framework/app.h"

namespace {

const char kAutorunSection[] = "Section_Autorun";
constexpr int kDefaultBand = 30;
constexpr int kDefaultSequence = 1234;

std::string ResFile(const char* name) {
    return GetModuleDir() + "Res" + "\\" + name;
}

SIZE BmpFileSize(const char* name) {
    int width = 0, height = 0;
    GetBmpFileSize(ResFile(name).c_str(), &width, &height, ProgramInstance());
    return {width, height};
}

SIZE WindowSize(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

bool IsYes(const std::string& value) {
    // The system's own comparison: without regard to case, and aware of double-byte characters.
    return lstrcmpiA(value.c_str(), "yes") == 0;
}

} // namespace

BOOL CPalvioDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    WriteLog("CPalvioDlg::OnInitDialog() begin");
    AddAboutEntry(m_hWnd, ProgramInstance(), IDS_ABOUTBOX, IDM_ABOUTBOX);
    if (!m_hIcon)
        m_hIcon = LoadVendorIcon();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_nButtonCount = 0;
    for (const std::string* value :
         {&m_strIsSupportMtp, &m_strIsSupportSd, &m_strIsSupportPalvio, &m_strIsSupportDialup})
        m_nButtonCount += IsYes(*value) ? 1 : 0;

    int band = kDefaultBand;
    std::string text;
    if (ReadCfgValue(kAutorunSection, "Key_SystemHeight", 0, text, m_pDriverPrepare->m_strCfgPath.c_str()))
        ScanDecimal(text.c_str(), &band);
    WriteLog("Window system weight:%d height:%d", 5, band);

    SetWindowText(m_strProgramName.c_str());
    SetDlgItemTextA(m_hWnd, IDC_BUT_SD, m_strButton1.c_str());
    SetDlgItemTextA(m_hWnd, IDC_BUT_MTP, m_strButton2.c_str());
    SetDlgItemTextA(m_hWnd, IDC_BUT_PALVIO, m_strButton3.c_str());
    SetDlgItemTextA(m_hWnd, IDC_BUT_DIALUP, m_strButton4.c_str());

    SIZE window = LayOutBackground();
    LayOutBandButton(m_btnLogo, "vender.bmp", nullptr, -1, band, "Logo bmp size is weight:%d height:%d");
    LayOutBandButton(m_btnClose, "exit.bmp", "exitsel.bmp", window.cx, band,
                     "Exit bmp size is weight:%d height:%d");
    LayOutMainButtons(window, band);

    m_watch.Start(m_hWnd);
    WriteLog("CPalvioDlg::OnInitDialog() end");
    return TRUE;
}

SIZE CPalvioDlg::LayOutBackground() {
    std::string background = ResFile("palviobk.bmp");
    SIZE size = BmpFileSize("palviobk.bmp");
    WriteLog("BackGround bmp size is weight:%d height:%d", static_cast<int>(size.cx),
             static_cast<int>(size.cy));
    // A window of no size could be neither seen nor closed, and the launcher would wait for it for ever: a
    // missing background leaves the window at its template's size, in the dialog's own colours.
    if (size.cx <= 0 || size.cy <= 0) {
        WriteLog("ERR: The background %s is missing or damaged; the window keeps its size",
                 background.c_str());
        size = WindowSize(m_hWnd);
    }
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ModifyStyle(WS_CAPTION, 0, SWP_FRAMECHANGED);
    m_bmpBack.Attach(LoadWholeBitmapFile(background.c_str(), ProgramInstance()));
    return size;
}

void CPalvioDlg::LayOutBandButton(CMyBmpButton& button, const char* normal, const char* selected,
                                  int rightEdge, int band, const char* logLine) {
    SIZE image = BmpFileSize(normal);
    WriteLog(logLine, static_cast<int>(image.cx), static_cast<int>(image.cy));
    if (!button.m_hWnd)
        return;
    std::string selectedFile = selected ? ResFile(selected) : std::string();
    if (!button.LoadBitmapFiles(ResFile(normal).c_str(), selected ? selectedFile.c_str() : nullptr,
                                ProgramInstance()))
        button.LoadBitmaps(IDB_IMAGE_FALLBACK);
    // Sized to the image it shows, the built-in one too: a logo left at the window's size would lie over the
    // main buttons, and a close button of a missing image's size 0 x 0 could not be pressed.
    button.SizeToContent();
    SIZE shown = WindowSize(button.m_hWnd);
    int x = rightEdge < 0 ? 5 : rightEdge - shown.cx - 5;
    button.SetWindowPos(nullptr, x, BandTop(band, shown.cy), 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPalvioDlg::LayOutMainButtons(SIZE window, int band) {
    SIZE button = BmpFileSize("button.bmp");
    WriteLog("Button bmp size is weight:%d height:%d", static_cast<int>(button.cx),
             static_cast<int>(button.cy));
    // Buttons of no size could not be pressed: without their image they keep the template's size.
    if (button.cx <= 0 || button.cy <= 0) {
        WriteLog("ERR: The button image %s is missing or damaged; the buttons keep their size",
                 ResFile("button.bmp").c_str());
        button = WindowSize(m_btnPalvio.m_hWnd);
    }
    int gap = ButtonGap(window.cy, m_nButtonCount, button.cy, band);
    int column = (window.cx - button.cx) / 2;

    int sequence = kDefaultSequence;
    std::string text;
    if (ReadCfgValue(kAutorunSection, "Key_ButtonSequency", 0, text, m_pDriverPrepare->m_strCfgPath.c_str()))
        ScanDecimal(text.c_str(), &sequence);
    else
        text.clear(); // logged as empty, not as the reader's placeholder
    WriteLog("Button sequency is %s", text.c_str());

    struct Placed {
        CXPButton& button;
        const std::string& enabled;
        ButtonRole role;
    };
    const Placed buttons[] = {{m_btnSd, m_strIsSupportSd, ButtonRole::kSd},
                              {m_btnMtp, m_strIsSupportMtp, ButtonRole::kMtp},
                              {m_btnPalvio, m_strIsSupportPalvio, ButtonRole::kPalvio},
                              {m_btnDialup, m_strIsSupportDialup, ButtonRole::kDialup}};
    for (const Placed& placed : buttons) {
        if (!placed.button.m_hWnd)
            continue;
        if (!IsYes(placed.enabled)) {
            placed.button.EnableWindow(FALSE);
            placed.button.ShowWindow(SW_HIDE);
            continue;
        }
        placed.button.m_hModule = ProgramInstance();
        int top = ButtonTop(SequenceDigit(sequence, placed.role), gap, button.cy, band);
        placed.button.SetWindowPos(nullptr, column, top, button.cx, button.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        placed.button.SetBitmapFiles(ResFile("button.bmp"), ResFile("buttonsel.bmp"));
    }
}

bool CPalvioDlg::PaintSkin() {
    if (IsIconic(m_hWnd)) {
        ScopedPaint paint(m_hWnd);
        if (!paint.Get())
            return true;
        RECT client = {};
        GetClientRect(&client);
        int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        if (m_hIcon)
            DrawIcon(paint.Get(), x, y, m_hIcon);
        return true;
    }
    if (!m_bmpBack)
        return false;
    ScopedPaint paint(m_hWnd);
    HDC dc = paint.Get();
    if (!dc)
        return true;
    RECT client = {};
    GetClientRect(&client);
    SIZE size = m_bmpBack.GetSize();
    ScopedMemoryDC memory(CreateCompatibleDC(dc));
    if (memory) {
        ScopedSelection selected(memory.Get(), m_bmpBack.GetSafeHandle());
        StretchBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, size.cx, size.cy, SRCCOPY);
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 30, 9, m_strProgramName.c_str(), static_cast<int>(m_strProgramName.size()));
    SetBkMode(dc, oldMode);
    return true;
}
