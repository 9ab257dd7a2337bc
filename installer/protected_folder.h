// The elevated installer's own copy of its package. The staged package in the user's temp folder, and the
// folder the launcher starts the installer from, belong to the user: any program of that user may change
// them while the elevated installer works. So the installer takes its package from the device's read-only
// CD-ROM into a folder that it makes itself, below the Windows folder's temp, with an access list that lets
// only SYSTEM and the administrators change anything, and from then on places, reads and starts only what
// lies there.
#pragma once

#include "common/handles.h"
#include "common/text.h"

#include <windows.h>

#include <string>
#include <vector>

// One entry of a folder's access list, with its SID as text ("S-1-5-18").
struct AccessEntry {
    std::string sid;
    bool allows = true;       // an allowing entry (a denying one takes nothing from the decision)
    bool inheritOnly = false; // for what is made inside later, not for the folder itself
    DWORD mask = 0;
};

// Whether nobody but SYSTEM, the administrators and Windows' servicing account can change the folder: its
// owner is one of them (an owner may always rewrite the list), and no entry that applies to the folder
// itself lets anyone else write, append, delete, change attributes, the list or the owner. A folder without
// an access list (null) lets everyone do everything.
bool KeepsOthersOut(const std::string& ownerSid, bool hasList, const std::vector<AccessEntry>& entries);
// The same for a security descriptor (a folder's, read by handle, or one about to be given to a folder).
// False when it cannot be read.
bool DescriptorKeepsOthersOut(PSECURITY_DESCRIPTOR descriptor);

// The descriptor the installer gives the folder it makes: owned by the administrators, SYSTEM and the
// administrators with full control, everyone else reading and running, nothing inherited from above.
extern const char kProtectedFolderDescriptor[];

// Whether the folder (full path, with or without a trailing backslash) keeps others out, asked of the
// folder opened by handle without following a link. The handle is kept in hold without leave to delete,
// so that nobody moves the folder away while the program runs from it. False, with nothing held, for a
// link, a missing folder or one whose list cannot be read.
bool HoldFolderThatKeepsOthersOut(const std::string& folder, ScopedFileHandle& hold);

// Makes a new folder below {WinDir}\Temp with kProtectedFolderDescriptor: "Instoria-1", or the first number
// whose name nobody has taken (a folder of that name that another made is never used: it might be theirs).
// root gets its full path with a trailing backslash. False (logged) when none could be made.
bool MakeProtectedFolder(std::string& root);

// Every path given, below root (relative paths; a folder's ends in a backslash), and root itself, are
// deleted when Windows next starts: the installer runs from there and cannot remove its own copy while it
// runs. Children go before their folders.
void RemoveAtRestart(const std::string& root, const std::vector<std::string>& paths);
