// The installer's start-up: every check before its window, and the three roads it takes from there.
//   /uninstall          the removal of the listed products' drivers, without a window;
//   from the medium     the package is staged into a folder of the installer's own and the copy started;
//   from its own copy   install or update: the window, once per system (named mutex).
// An installer started from any other folder (the launcher's staging in the user's temp folder) reads
// nothing there: it takes its package from the device's CD-ROM into a folder of its own and goes on from
// that copy.
#pragma once

#include "instoria_dlg.h"

#include "common/staging.h"
#include "framework/app.h"

#include <windows.h>

#include <string>

// Set by DetectDriverUpdates: 1 when that interface's installed driver is older than the package's.
extern int g_bModemUpdate;
extern int g_bSerialUpdate;
extern int g_bAdbUpdate;

class CInstoriaApp : public CWinApp {
public:
    BOOL InitInstance() override;
    // The documented exit status of the run (run_outcome.h), also written to the install status file.
    int ExitInstance() override;
};

// Reads the process's command line into the window object; answers the number of words, or -1 when the
// line cannot be split or its road or mode word cannot be read (the run cannot know what it was asked).
int param_print(CInstoriaDlg& dlg);
// The same for a given command line.
int ApplyCommandLine(CInstoriaDlg& dlg, const wchar_t* commandLine);
// The texts of the system's language, else of 0x0809. 1 loaded, 0 neither language usable.
int SelectLanguage(CInstoriaDlg& dlg);
// 1 exactly one CD-ROM drive of the device (stored in the window object), 0 none, -1 several or failure.
int check_rdrom_state(CInstoriaDlg& dlg);
// Where the installer finds its package, and so what start-up does with it.
enum class PackagePlace {
    kOwnCopy,    // a folder that only administrators can change (the installer's own copy): work from it
    kMedium,     // the device's CD-ROM: stage into a folder of its own, start the copy there, end
    kChangeable, // anywhere else: take the package from the device's CD-ROM into a folder of its own, go on
};
PackagePlace DecidePackagePlace(bool keepsOthersOut, bool onCdrom);
// A drive word as the starters pass it ("E:", either case): the drive upper-cased. False for anything else.
bool ParseDriveWord(const char* word, char (&drive)[3]);

// 0 go on to the window, -1 end the program.
int PrepareDriverSetup(CInstoriaDlg& dlg, PackagePlace place);
// 1 the installer works on from its own copy; 0 the staged copy was started (or staging failed): this one
// ends.
int install_driver_prepare(CInstoriaDlg& dlg, CDriverPrepare_Setup& setup, PackagePlace place);
// 1 at least one driver is outdated; 0 every driver is current (the user is told).
int update_driver_prepare(CInstoriaDlg& dlg);
void DetectDriverUpdates();
// Runs the window unless another installer holds the mutex. 1 the window ran, 0 not.
int RunWithMutex(CInstoriaDlg& dlg);

// The pieces of start-up that need no system call.
// A run mode word read as "%d" does: blanks, a sign and digits, anything after them ignored; 0 when it
// does not begin with a number; a number past the range of int counts as the nearest end of it.
int ParseRunMode(const char* word);
// A command-line word in the thread's code page, into a slot of kPathRoom bytes. False, with the slot
// empty, for a word that does not fit or cannot be converted.
bool ConvertWord(const wchar_t* word, char (&slot)[kPathRoom]);
