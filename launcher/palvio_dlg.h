// CPalvioDlg: the launcher's one window, and the object that holds everything a run of the launcher knows:
// the staging object, the bound plug-in library, the switches of autoruncfg.cfg and the user texts.
// Start-up fills it before the window exists and decides with it whether the window is shown at all.
//
// The window: a skinned, captionless dialog with up to four buttons, which closes when a button has done its
// work, when its close button is pressed, or when the medium's drive letter goes away (a watcher thread asks
// for that by a message). A button's handler runs on the window thread and may sit in a message box or a
// plug-in call for long; a close asked for meanwhile waits until the handler has returned, since closing
// frees the library and the staging object the handler is using.
#pragma once

#include "drive_watch.h"
#include "xp_button.h"

#include "controls/bmp_button.h"
#include "common/handles.h"
#include "common/plugin_api.h"
#include "common/staging.h"
#include "framework/bitmap.h"
#include "framework/dialog.h"

#include <windows.h>

#include <memory>
#include <string>

class CPalvioDlg : public CDialog {
public:
    CPalvioDlg();
    ~CPalvioDlg() override;

    // Plug-in binding. LoadProductDll creates the staging object (which reads the library's name and the
    // package folder), reads the launcher's switches of Section_Autorun, loads the library and resolves its
    // 13 entry points: 1 bound; 0 at the first thing missing (what was bound so far stays until
    // FreeProductDll). FreeProductDll frees the library and the staging object; a second call does nothing.
    int LoadProductDll();
    void FreeProductDll();

    // Whether one of the companion applications runs, as the library tells: the Palvio application when it is
    // offered, else the dial-up application when it is offered. 1 running, 0 not.
    int IsApplicationRunning();

    // The texts of autorunlanguage.ini in the system's default language, or in British English (0x0809).
    // 1 all read, 0 a text is missing (those read before it keep their new values).
    int LoadLanguageText();
    int LoadDefaultLanguageText();

    // 1 when the user may do administrator work (CheckAdmin); else 0, after telling the user so when prompt
    // is not 0.
    int CheckAdminPrompt(int prompt);
    // Hands the device to the installer copy staged in the temp folder, with the medium's drive and the
    // run mode, without waiting: 0 started; -1 the user is no administrator or the installer could not be
    // started.
    int call_instoria(int mode);

    // Shows the CD prompt, then the window again. 1.
    int ShowInstallCdPrompt();

    // The button handlers: each does its one job, then closes the window or shows it again.
    void OnButSorvane();
    void OnButDialup();
    void OnButChangeUsb();
    void OnButMtp();

    BOOL DestroyWindow() override;
    // Neither Enter nor Escape closes the window.
    BOOL PreTranslateMessage(MSG* message) override;

    std::unique_ptr<CDriverPrepare_PcOptions> m_pDriverPrepare; // the staging object; null when not created
    ScopedModule m_hProductDll;                                 // the plug-in library; null when not loaded
    std::string m_strPrgMutex;                                  // Key_PrgMutex: the single-instance mutex

    PluginInitFunction m_FunInitialDllPara = nullptr;
    PluginQueryFunction m_FunCheckPalvioPrgInstall = nullptr;
    PluginQueryFunction m_FunInstallPalvio = nullptr;
    PluginQueryFunction m_FunUpdatePalvio = nullptr;
    PluginQueryFunction m_FunRunPalvio = nullptr;
    PluginQueryFunction m_FunCheckPalvioIsRunning = nullptr;
    PluginQueryFunction m_FunPalvioIsEnable = nullptr;
    PluginQueryFunction m_FunCheckDialPrgInstall = nullptr;
    PluginQueryFunction m_FunInstallDialPrg = nullptr;
    PluginQueryFunction m_FunUpdateDial = nullptr;
    PluginQueryFunction m_FunRunDial = nullptr;
    PluginQueryFunction m_FunCheckDialIsRunning = nullptr;
    PluginQueryFunction m_FunDialIsEnable = nullptr;

    // Texts of autorunlanguage.ini.
    std::string m_strButton1; // SD button
    std::string m_strButton2; // MTP button
    std::string m_strButton3; // Palvio application button
    std::string m_strButton4; // dial-up button
    std::string m_strDriverUpdateNotation;
    std::string m_strDriverUpdateNotationTitle;
    std::string m_strProgramName;
    std::string m_strAdminPromptMsg;
    std::string m_strPleaseInstallCd;

    // Switches of autoruncfg.cfg, as read: "yes" counts, any case for the buttons and exact case for the lite
    // switches.
    std::string m_strUsePalvioLite;
    std::string m_strUseDailupLite;
    std::string m_strUseDriverLite;
    std::string m_strIsSupportMtp;
    std::string m_strIsSupportSd;
    std::string m_strIsSupportPalvio;
    std::string m_strIsSupportDialup;

    int m_nButtonCount = 0;  // the button switches that are "yes" (any case)
    CBitmap m_bmpBack;       // Res\palviobk.bmp
    CMyBmpButton m_btnLogo;  // control 1007
    CMyBmpButton m_btnClose; // control 1008
    CXPButton m_btnPalvio;   // control 1000
    CXPButton m_btnSd;       // control 1001
    CXPButton m_btnDialup;   // control 1003
    CXPButton m_btnMtp;      // control 1002
    HICON m_hIcon = nullptr; // Res\vender.ico beside the program, once the window is made; null when missing

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The texts of one language section, and the CD prompt of the lite switches. 1 all read.
    int LoadTexts(WORD languageId);
    int LoadCdPrompt(WORD languageId);
    // A lite switch is on: a button may ask the user to install from the CD.
    bool MayShowCdPrompt() const;

    // Set-up of the skin: the window's size from the background (the size it has when the background
    // gives none), the logo and close buttons in the band, the main buttons by their order.
    SIZE LayOutBackground();
    // A button of the band, 5 pixels from the left edge, or from rightEdge when that is not -1.
    void LayOutBandButton(CMyBmpButton& button, const char* normal, const char* selected, int rightEdge,
                          int band, const char* logLine);
    void LayOutMainButtons(SIZE window, int band);
    bool PaintSkin();

    // Runs a button's handler; a close asked for while it runs is carried out when it has returned.
    void RunHandler(void (CPalvioDlg::*handler)());
    // The medium's drive letter has gone: the window closes now, or after the running handler.
    void CloseForMedium();
    // Hides the window behind the wait cursor while a handler works; Close ends the window, Show brings
    // it back.
    void BeginWork();
    void Close();
    void Show();
    // One step of an application button: its log line (if any), then the library's entry point. A step
    // that answers 0 brings the window back, and the handler is to stop.
    bool StepSucceeds(const char* line, PluginQueryFunction step);
    // One of the SD and MTP buttons: portflip.exe of the package folder on the medium with the action.
    void RunModeSwitch(const char* action);
    // What the application buttons share after their application is ready: the driver, the update offer.
    // True when the handler is to go on and start its application.
    bool EnsureDriver(int installerMode);

    int m_nHandlerDepth = 0;       // a button's handler runs (it may have a message box open)
    bool m_bCloseDeferred = false; // the medium went while it ran
    DriveWatch m_watch;            // the watcher of the medium's drive letter
};

// The medium's drive ("E:"): the first two characters of the current folder, where autorun starts the
// launcher (the root of the medium). Empty when the current folder cannot be read.
std::string MediumDrive();
