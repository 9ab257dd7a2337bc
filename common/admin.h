// Whether this process may go on with administrator work.
#pragma once

#include <windows.h>

// 1 when the account is in the Administrators group directly or through its linked (elevated) token, and,
// on Windows with user account control (Vista and later), also for a standard user while it is on
// (the program then relies on elevation). 0 otherwise. Logs every step.
int CheckAdmin();

// The questions CheckAdmin asks the system, separated from its decision so that every branch can be tested
// (under Wine the account is always an administrator).
enum class Membership { kError, kMember, kNotMember };

class AdminProbe {
public:
    virtual ~AdminProbe() = default;
    // Whether the thread's token is in the Administrators group; logs its own failures.
    virtual Membership Direct() = 0;
    // The same for the process token's linked token; logs its own failures and the release of the tokens.
    virtual Membership Linked() = 0;
    // The "EnableLUA" policy value; false when it cannot be read.
    virtual bool ReadEnableLua(DWORD* value) = 0;
};

// CheckAdmin's decision for an edition code, asking the probe only what that decision needs.
int DecideAdmin(AdminProbe& probe, int edition);
