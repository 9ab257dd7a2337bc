// CInstoriaDlg: the installer's one window, and the object that holds every start-up result and the user
// texts. Start-up fills it before the window exists; its set-up lays out the skin and starts one worker
// (install or update), which shows its progress here and ends the program by posting a message.
//
// The worker runs on its own thread and uses this object until it ends: the window waits for it before it
// goes, whichever way it goes (the worker's own end, or a close from outside, which asks the worker to stop
// at its next pause).
#pragma once

#include "framework/dialog.h"
#include "controls/bmp_button.h"
#include "controls/progress.h"
#include "common/handles.h"
#include "common/text.h"
#include "skin_layout.h"
#include "xp_button.h"

#include <windows.h>

#include <atomic>
#include <string>

// A worker asks the window to end the program (wParam 0) or to set the progress to lParam (wParam 1).
constexpr UINT WM_INSTALL_END = WM_USER + 1;

// The skin's name from drvcfg.ini ("NORMAL" or "OXA"), set by the window's set-up before the worker starts.
extern std::string g_strMainProduce;

class CInstoriaDlg : public CDialog {
public:
    CInstoriaDlg();
    ~CInstoriaDlg() override;

    // Reads the twelve texts of section "Section_LID0x%04x" of {ModuleDir}DrvLang.ini. 1 all read; 0 at the
    // first key missing or empty (the texts read before it keep their new values, the others their old).
    int LoadLanguageTexts(WORD languageId);
    // The same from a given file.
    int LoadLanguageTextsFrom(const std::string& file, WORD languageId);

    // Sets the progress bar to a position clamped to 0 .. 100 and logs it; callable from the worker.
    void SetProgress(int position);
    // Neither Enter nor Escape closes the window.
    BOOL PreTranslateMessage(MSG* message) override;

    // What the worker uses from its thread.
    // The text drawn over the skin; the window paints it meanwhile, so it is exchanged under a lock.
    void SetShowText(const std::string& text);
    std::string GetShowText() const;
    // A pause of the worker: false, at once, when the window is going and the worker is to stop.
    bool WorkerPause(DWORD milliseconds);
    bool StopRequested() const;
    // Set when the worker is to stop: for waits on other programs.
    HANDLE StopEvent() const { return m_stopEvent.Get(); }
    // The worker ends the program: WM_QUIT when its work is done, WM_INSTALL_END after a failure.
    void EndFromWorker(bool done);
    // After a failed step: a 2 s pause, then WM_INSTALL_END (nothing when the worker is to stop).
    void EndAfterFailure();

    CMyBmpButton m_btnExit; // the NORMAL skin's exit button (control 1004, made at set-up)
    CBitmap m_bmpBack;      // Res\DrvInstall.bmp
    std::string m_strInstallInfo;
    std::string m_strInfoAfterDriver;
    std::string m_strProgramName;
    std::string m_strBoxTitle;
    std::string m_strPhoneNotConnect;
    std::string m_strDriverExist;
    std::string m_strOnlyOnePhone;
    std::string m_strUpdateSuc;
    std::string m_strUpdateFailed;
    std::string m_strUpdateNotation;
    std::string m_strRestartNotation;
    std::string m_strUpdating;
    int m_nDoType = 0;                    // run mode, from the command line
    char m_szCdromDrive[kPathRoom] = {};  // the device's CD-ROM drive, "E:"
    char m_szInstallType[kPathRoom] = {}; // "/install", "/uninstall" or empty
    int m_nCdromCount = 0;                // the device's CD-ROM drives found
    std::atomic<int> m_bExitClicked{0};   // set by the exit buttons, read by the install worker
    CXPButton m_btnClose;                 // the OXA skin's exit button (control 1009)
    int m_nXPos = 15;                     // margin of the progress bar and the text
    int m_nTextSpare = -1;                // the NORMAL text's top above the middle line; -1 computed
    HICON m_hIcon = nullptr;              // Res\vender.ico, once the window is made; null when missing
    RECT m_rcText = {};                   // the OXA skin's text box
    CMyProgress m_progress;               // control 1008

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* exchange) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The window's size from the background bitmap (and the bitmap kept for painting); the size the
    // window has when the skin gives none.
    SIZE LayOutBackground(Skin skin);
    // The geometry values of drvcfg.ini (also kept in m_nXPos and m_nTextSpare).
    SkinGeometry ReadGeometry(SIZE window);
    void SetUpExitButton(SIZE window);
    void SetUpCloseButton(SIZE window);
    void SetUpTextBox(SIZE window);
    void StartWorker();
    // Asks the worker to stop and waits for its end, answering the calls it makes to the window meanwhile.
    void StopWorker();
    bool PaintSkin();

    std::string m_strShowText; // a copy of one of the texts above, drawn over the skin
    mutable CriticalSection m_showTextLock;
    ScopedHandle m_stopEvent; // set when the window goes: the worker's pauses end at once
    ScopedHandle m_worker;
    std::atomic<bool> m_bWorkerEnding{false}; // the worker has asked for the end and is about to return
};

// Which worker the window starts: the update worker when start-up found an outdated driver.
enum class InstallerWorker { kInstall, kUpdate };
InstallerWorker ChooseWorker(int modemUpdate, int serialUpdate, int adbUpdate);
