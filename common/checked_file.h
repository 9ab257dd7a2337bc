// Files the suite writes in folders that other programs of the PC may write to as well ({WinDir}\temp, the
// user's temp folder): each is opened without following a link at its name, judged by the handle it was
// opened with, and written through that same handle. A path is never checked first and opened again
// afterwards: in between, another program could put a link in its place.
#pragma once

#include "handles.h"

#include <windows.h>

#include <cstddef>

// Why an opened file is not the suite's own to write.
enum class FileRefusal {
    kNone,
    kLink,       // a symbolic link or another reparse point, or a name that leads to no file
    kFolder,     // a folder
    kElsewhere,  // the opened file lies at another path than the one opened (Wine follows a Linux link)
    kSecondName, // the file has another name as well (a hard link)
    kUnreadable, // what the file system says of it cannot be read
};

// What the file system says of an opened file.
struct OpenedFileFacts {
    DWORD names = 0;        // number of names (hard links)
    DWORD attributes = 0;   // FILE_ATTRIBUTE_*
    bool atThePath = false; // its name on its volume is the path that was opened
    unsigned long long size = 0;
};

// The decision: kNone when the file is its own, with one name, at the path that was opened.
FileRefusal JudgeOpenedFile(const OpenedFileFacts& facts);

// What a log line says of a refusal ("it is a link", ...).
const char* RefusalReason(FileRefusal refusal);

// Whether the name an opened file has on its volume, as the file system gives it (FileNameInformation:
// "\windows\temp\x.tmp" for C:\WINDOWS\Temp\x.tmp, "\server\share\x" for \\server\share\x), names path,
// compared without regard to case as Windows compares file names. False for a path of another form.
bool OpenedNameIsPath(const wchar_t* name, size_t nameLength, const char* path);

// Opens path with access and share without following a link at its name, creating a missing file when
// create is true (never through a name that leads nowhere), and judges it by the handle. The handle when
// the file is its own; otherwise an empty handle and the refusal. An empty handle with kNone: the file could
// not be opened (GetLastError says why). facts, when given, receives what was read of the file.
ScopedFileHandle OpenOwnFile(const char* path, DWORD access, DWORD share, bool create, FileRefusal& refusal,
                             OpenedFileFacts* facts = nullptr);

// Deletes the file of a handle opened by OpenOwnFile with DELETE and FILE_WRITE_ATTRIBUTES access, clearing
// a read-only attribute (of the attributes it had) first. True when the file is deleted (once its last
// handle is closed).
bool DeleteOwnFile(HANDLE file, DWORD attributes);
