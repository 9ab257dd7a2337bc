// What the installer starts for the user once the drivers are in (the start-up tool, and through it the
// companion application) runs with the user's rights, not with the installer's. On Windows with user account
// control the installer runs elevated; a program it starts itself would be elevated too. The shell of the
// user's desktop runs as the user: a start through it is a start as the user.
#pragma once

// Whether a start goes through the desktop's shell: only from an elevated process under user account
// control; elsewhere the installer runs with the user's own rights already.
bool WantsDesktopShell(bool userAccountControlOn, bool elevated);

// Starts the program (not waited for) through the desktop's shell where WantsDesktopShell says so and that
// shell answers, else as ShellOpen does; logs which way was taken. Answers a shell code: above 32 when the
// program was started (or handed to the desktop's shell, which says no more).
unsigned StartWithUsersRights(const char* program, const char* parameters, const char* directory, int show);
