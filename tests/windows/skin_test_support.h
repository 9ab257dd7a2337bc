// What the two skin test programs share: the report the test script reads, input as a person gives it, and
// dialogs that advance step by step, in time with the script.
//
// The script starts a program with its work folder (C:\skintest\) as the only argument. For every step the
// program does the step's action and then sets a window title that the script waits for (StepTitle);
// the script looks at the window and creates the file go-3 in the work folder, and the program goes on.
#pragma once

#include "framework/dialog.h"

#include "common/text.h"

#include <string>

namespace skintest {

// The work folder, with its trailing backslash, and a file in it.
std::string Folder();
void SetFolder(const char* folder);
std::string File(const char* name);
// The title that marks step N: "<program> skin test N", so that programs on one display never mix.
void SetTitlePrefix(const char* prefix);
std::string StepTitle(int step);

// Appends "ok: WHAT" or "FAIL: WHAT" to the report; answers the condition.
bool Check(bool condition, const char* what, ...) SUITE_PRINTF(2, 3);

// Input as the user gives it: the mouse to the centre of a window, its left button, a key.
void MoveMouseTo(HWND window);
void MoveMouseToScreen(int x, int y);
void LeftButton(bool down);
void PressKey(WORD key);

// Checks of the program's own resources: a string, the manifest and the version information.
void CheckProgramResources(UINT aboutStringId, const char* aboutText, const char* executionLevel,
                           const char* description);
// Client size of a window against its template's size in dialog units.
void CheckTemplateSize(HWND window, int widthUnits, int heightUnits, const char* what);

constexpr char kLater[] = "later";

// A dialog whose steps run in time with the test script.
class StepDialog : public CDialog {
public:
    using CDialog::CDialog;

protected:
    // Does step `step` (1, 2, ... of this dialog) and answers the title that tells the script it is done, or
    // an empty text when the dialog has no more steps (it then ends itself), or kLater when the step
    // publishes its title itself, with PublishLater.
    virtual std::string Step(int step) = 0;
    // Publishes a title later, when a step's work ends on another thread.
    void PublishLater(const std::string& title);

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Advance();
    void Publish(const std::string& title);

    int m_nLocalStep = 0;
    int m_nAwaited = 0; // the global step whose go file ends the wait; 0 while a step works
    bool m_bBusy = false;
    std::string m_strLater;
};

} // namespace skintest
