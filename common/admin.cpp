#include "admin.h"

#include "edition.h"
#include "handles.h"
#include "log.h"
#include "newer_api.h"
#include "profile.h"
#include "registry.h"

namespace {

constexpr int kWinBuiltinAdministratorsSid = 26;
constexpr DWORD kSidRoom = SECURITY_MAX_SID_SIZE;

class SystemAdminProbe : public AdminProbe {
public:
    Membership Direct() override {
        if (!BuildAdministratorsSid())
            return Membership::kError;
        BOOL member = FALSE;
        if (!CheckTokenMembership(nullptr, Sid(), &member)) {
            WriteLog("CheckTokenMembership Error:%d", static_cast<int>(GetLastError()));
            return Membership::kError;
        }
        return member ? Membership::kMember : Membership::kNotMember;
    }

    Membership Linked() override {
        Membership result = AskLinkedToken();
        if (m_processToken) {
            WriteLog("Close handle hProcessToken");
            if (!CloseHandle(m_processToken))
                WriteLog("Close handle hProcessToken Error:%d", static_cast<int>(GetLastError()));
            m_processToken = nullptr;
        }
        if (m_linkedToken) {
            WriteLog("Close handle hLinkedTOken");
            if (!CloseHandle(m_linkedToken))
                WriteLog("Close handle hLinkedTOken Error:%d", static_cast<int>(GetLastError()));
            m_linkedToken = nullptr;
        }
        return result;
    }

    bool ReadEnableLua(DWORD* value) override {
        DWORD size = sizeof *value;
        return GetRegKeyValue("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\system", "EnableLUA",
                              value, &size) != 0;
    }

private:
    PSID Sid() { return m_sidBuffer; }

    // Windows 2000 has no CreateWellKnownSid: there the SID is built from its authority and RIDs.
    bool BuildAdministratorsSid() {
        if (auto create = GetNewerApi().CreateWellKnownSid) {
            DWORD size = kSidRoom;
            if (!create(kWinBuiltinAdministratorsSid, nullptr, Sid(), &size)) {
                WriteLog("CreateWellKnownSid Error:%d", static_cast<int>(GetLastError()));
                return false;
            }
            return true;
        }
        SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
        PSID built = nullptr;
        if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                      0, 0, 0, 0, 0, 0, &built)) {
            WriteLog("AllocateAndInitializeSid Error:%d", static_cast<int>(GetLastError()));
            return false;
        }
        BOOL copied = CopySid(kSidRoom, Sid(), built);
        FreeSid(built);
        if (!copied)
            WriteLog("AllocateAndInitializeSid Error:%d", static_cast<int>(GetLastError()));
        return copied != FALSE;
    }

    Membership AskLinkedToken() {
        HANDLE process = GetCurrentProcess();
        if (!process) {
            WriteLog("GetCurrentProcess Error:%d", static_cast<int>(GetLastError()));
            return Membership::kError;
        }
        if (!OpenProcessToken(process, TOKEN_QUERY, &m_processToken)) {
            m_processToken = nullptr;
            WriteLog("OpenProcessToken Error:%d", static_cast<int>(GetLastError()));
            return Membership::kError;
        }
        TOKEN_LINKED_TOKEN linked = {};
        DWORD length = 0;
        if (!GetTokenInformation(m_processToken, TokenLinkedToken, &linked, sizeof linked, &length)) {
            WriteLog("GetTokenInformation Error:%d", static_cast<int>(GetLastError()));
            return Membership::kError;
        }
        m_linkedToken = linked.LinkedToken;
        BOOL member = FALSE;
        if (!CheckTokenMembership(m_linkedToken, Sid(), &member)) {
            WriteLog("CheckTokenMembership Error:%d", static_cast<int>(GetLastError()));
            return Membership::kError;
        }
        return member ? Membership::kMember : Membership::kNotMember;
    }

    alignas(8) BYTE m_sidBuffer[kSidRoom] = {};
    HANDLE m_processToken = nullptr;
    HANDLE m_linkedToken = nullptr;
};

} // namespace

int DecideAdmin(AdminProbe& probe, int edition) {
    WriteLog(">>Begin To check the user is administrator or not.");
    int result = 0;
    switch (probe.Direct()) {
    case Membership::kMember:
        WriteLog("First Check:The current acount is Administrator");
        result = 1;
        break;
    case Membership::kNotMember:
        WriteLog("First Check: The current acount is Non-Administrator");
        if (!EditionHasAccountControl(edition)) {
            WriteLog("The system is not vista or WINDOWS7");
        } else {
            WriteLog("The system is vista");
            result = probe.Linked() == Membership::kMember ? 1 : 0;
        }
        break;
    case Membership::kError:
        break;
    }
    if (EditionHasAccountControl(edition)) {
        WriteLog("The system is vista or windows7");
        if (result) {
            WriteLog("The User is admin.");
        } else {
            WriteLog("The User is standard user!");
            DWORD enableLua = 0;
            if (!probe.ReadEnableLua(&enableLua)) {
                WriteLog("GetRegKeyValue Error.");
            } else {
                WriteLog("EnableLUA is: %d ", static_cast<int>(enableLua));
                if (enableLua) {
                    WriteLog("UAC is open");
                    result = 1;
                } else {
                    WriteLog("UAC is not open");
                }
            }
        }
    }
    WriteLog("<<End To check the user is administrator or not.");
    return result;
}

int CheckAdmin() {
    SystemAdminProbe probe;
    return DecideAdmin(probe, g_nEdition);
}
