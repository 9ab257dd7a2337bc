#include "installer/protected_folder.h"

#include "support.h"

#include <gtest/gtest.h>

#include <sddl.h>

namespace {

// The decision for a descriptor in the system's own notation.
bool KeepsOthersOutOf(const char* notation) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(notation, SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
        ADD_FAILURE() << "not a descriptor: " << notation;
        return false;
    }
    bool keeps = DescriptorKeepsOthersOut(descriptor);
    LocalFree(descriptor);
    return keeps;
}

} // namespace

TEST(ProtectedFolder, TheInstallersOwnFolderKeepsOthersOut) {
    EXPECT_TRUE(KeepsOthersOutOf(kProtectedFolderDescriptor));
    // Owned by SYSTEM, with what others may do inherited only by what is made inside.
    EXPECT_TRUE(KeepsOthersOutOf("O:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICIIO;FA;;;CO)(D;;FA;;;WD)"));
    // A folder an administrator made in Program Files, below the servicing account's own.
    EXPECT_TRUE(KeepsOthersOutOf("O:S-1-5-80-956008885-3418522649-1831038044-1850103356-4261254000"
                                 "D:(A;;FA;;;S-1-5-80-956008885-3418522649-1831038044-1850103356-4261254000)"
                                 "(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)(A;OICIIO;GA;;;CO)"));
}

TEST(ProtectedFolder, AFolderThatAUserCanChangeDoesNot) {
    for (const char* notation :
         {// {WinDir}\Temp: every user may make files and folders there.
          "O:SYD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;CI;0x100026;;;BU)(A;OICIIO;FA;;;CO)",
          // A folder the user made there, or any folder of the user's: the owner may rewrite the list.
          "O:S-1-5-21-1-2-3-1001D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
          // What Wine 8 answers for every file: owner and full control the account itself.
          "O:S-1-5-21-0-0-0-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-0-0-0-1000)(A;OICI;0x1200a9;;;WD)",
          // One changing right is enough: appending, deleting, the list, the owner.
          "O:BAD:P(A;;FA;;;SY)(A;;0x4;;;BU)", "O:BAD:P(A;;FA;;;SY)(A;;SD;;;AU)",
          "O:BAD:P(A;;FA;;;SY)(A;;WD;;;WD)", "O:BAD:P(A;;FA;;;SY)(A;;GA;;;IU)"})
        EXPECT_FALSE(KeepsOthersOutOf(notation)) << notation;
}

TEST(ProtectedFolder, NoListAtAllLetsEveryoneIn) {
    // Built by hand: Wine reads "D:NO_ACCESS_CONTROL" as an empty list, Windows as none.
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    PSID administrators = nullptr;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                         0, 0, 0, 0, &administrators));
    ASSERT_TRUE(SetSecurityDescriptorOwner(&descriptor, administrators, FALSE));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE));
    EXPECT_FALSE(DescriptorKeepsOthersOut(&descriptor));
    FreeSid(administrators);
}

TEST(ProtectedFolder, ReadingAndRunningIsLeftToEveryone) {
    EXPECT_TRUE(
        KeepsOthersOut("S-1-5-32-544", true, {{"S-1-1-0", true, false, FILE_GENERIC_READ | FILE_EXECUTE}}));
    EXPECT_FALSE(KeepsOthersOut("S-1-5-32-545", true, {}));
    EXPECT_FALSE(KeepsOthersOut("S-1-5-18", false, {}));
}

TEST(ProtectedFolder, WhatItsCopyLeavesGoesAtRestartChildrenFirst) {
    // The order PendingFileRenameOperations is worked through: a folder goes only once it is empty.
    HKEY key = nullptr;
    const char* sessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, sessionManager, 0, KEY_READ | KEY_WRITE, &key));
    RegDeleteValueA(key, "PendingFileRenameOperations");
    testsupport::TempDir root;
    std::vector<std::string> paths = {"Driver\\",      "Driver\\Win7\\",
                                      "Driver\\Res\\", "Driver\\Win7\\x64\\",
                                      "Driver\\a.inf", "Driver\\Win7\\b.sys"};
    for (const std::string& path : paths) {
        if (path.back() == '\\')
            CreateDirectoryA(root.File(path).c_str(), nullptr);
        else
            testsupport::WriteWholeFile(root.File(path), "staged");
    }
    RemoveAtRestart(root.Path(), paths);
    char value[2048] = {};
    DWORD size = sizeof value, type = 0;
    LONG read = RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type,
                                 reinterpret_cast<BYTE*>(value), &size);
    RegDeleteValueA(key, "PendingFileRenameOperations");
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, read);
    std::vector<std::string> sources;
    // Pairs of a source and an empty target, each with its terminator.
    for (const char* at = value; *at; at += strlen(at) + 1, at += strlen(at) + 1)
        sources.push_back(at);
    std::vector<std::string> expected;
    for (const char* path : {"Driver\\a.inf", "Driver\\Win7\\b.sys", "Driver\\Win7\\x64", "Driver\\Win7",
                             "Driver\\Res", "Driver"})
        expected.push_back("\\??\\" + root.File(path));
    expected.push_back("\\??\\" + root.Path().substr(0, root.Path().size() - 1));
    EXPECT_EQ(expected, sources);
}
