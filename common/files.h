// Small file utilities shared by both programs.
#pragma once

#include "file_contents.h"
#include "plain_files.h"
#include "text.h"

#include <windows.h>

#include <string>

// The running program's folder with its trailing backslash ("E:\Pkg\" for E:\Pkg\Instoria.exe); empty when
// the program's path holds no backslash.
std::string GetModuleDir();

// Appends one part to a path the way PathAppendA does, within room: a backslash is put between the two
// unless the path is empty or already ends with one, and the part's own leading backslashes are dropped
// ("\Win7" appends "Win7"). A null or empty part appends nothing. False, with path untouched, when the
// result would not fit: a path is never cut.
bool AppendPath(char* path, size_t room, const char* part);

// The text lowered as Windows lowers it in the program's code page.
std::string LowerText(std::string text);
// Whether path is folder itself or lies inside it, compared without regard to case ("C:\T\Driver\x" lies in
// "c:\t\driver"; "C:\T\Drivers" does not).
bool PathIsWithin(const std::string& path, const std::string& folder);

// 1 when the file's text (ReadInfText), lowered (A to Z only) and read up to its first zero byte, contains
// text1 and, unless text2 is empty, text2 as well; 0 otherwise (also for an empty text1 or an unreadable
// file). The search texts are taken as given: callers pass lower-case texts.
int FileContainsText(const char* path, const char* text1, const char* text2);
// An INF file's text, whole (a file far larger than an INF file is refused, logged), a UTF-16 one narrowed
// to 8 bits (NarrowUtf16Text). False for a file that cannot be read. Reading many files into one string
// reuses its room.
bool ReadInfText(const char* path, std::string& content);
// How reading a file whole went.
enum class WholeRead { kUnreadable, kRead, kTooLarge };
// ReadInfText without its log line, for a thread that must not write one: ReportWholeRead writes it later.
WholeRead ReadInfTextQuietly(const char* path, std::string& content);
// The line ReadInfText writes for that outcome (a file too large); true when the file was read.
bool ReportWholeRead(const char* path, WholeRead read);
// The text FileContainsText searches in: the file up to its first zero byte, lowered. False for a file that
// cannot be read; a caller testing one file for several texts reads it once.
bool ReadSearchableText(const char* path, std::string& text);

// {Temp}: the temp folder, with its trailing backslash, in the code page of the programs' file functions.
// GetTempPathA would replace a character that the code page lacks by a look-alike ("Ł" by "L"), which names
// another folder, maybe another user's: such a folder is named by its short name where that fits the code
// page, and refused otherwise. False (logged) when it cannot be had, does not fit or is refused.
bool GetTempFolder(char (&path)[kPathRoom]);
// How the temp folder is named: as it is, by its short name, or not at all.
enum class TempFolderForm { kName, kShortName, kRefused };
TempFolderForm ChooseTempFolderForm(bool nameFitsCodePage, bool shortNameFitsCodePage);

// Width and height of a .bmp file; 1 when it could be loaded as a bitmap, else 0 with the outputs untouched.
// A file cut short is refused before it is loaded (some loaders would take garbage for the missing rows).
int GetBmpFileSize(const char* path, int* width, int* height, HINSTANCE instance);
// Loads a .bmp file as a bitmap (LoadImageA, LR_LOADFROMFILE) after the same check; null for a missing,
// foreign or cut file. The caller owns the bitmap.
HBITMAP LoadWholeBitmapFile(const char* path, HINSTANCE instance);
// The program's window icon, Res\vender.ico beside the program; null when it is missing. Loaded by the
// window that shows it: loading an icon brings the theme library in, which a run without a window never
// needs.
HICON LoadVendorIcon();
