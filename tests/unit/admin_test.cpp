#include "common/admin.h"

#include "common/log.h"
#include "common/profile.h"
#include "support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testsupport;

namespace {

// Answers as configured and records which questions were asked.
class FakeProbe : public AdminProbe {
public:
    Membership direct = Membership::kNotMember;
    Membership linked = Membership::kNotMember;
    bool luaReadable = true;
    DWORD lua = 1;
    std::vector<std::string> asked;

    Membership Direct() override {
        asked.push_back("direct");
        return direct;
    }
    Membership Linked() override {
        asked.push_back("linked");
        return linked;
    }
    bool ReadEnableLua(DWORD* value) override {
        asked.push_back("lua");
        *value = lua;
        return luaReadable;
    }
};

const char kBegin[] = ">>Begin To check the user is administrator or not.";
const char kEnd[] = "<<End To check the user is administrator or not.";

class AdminDecision : public LoggingTest {
protected:
    FakeProbe probe;
};

} // namespace

TEST_F(AdminDecision, ElevatedAdministratorOnWindows7) {
    probe.direct = Membership::kMember;
    EXPECT_EQ(1, DecideAdmin(probe, 5));
    EXPECT_EQ(std::vector<std::string>({kBegin, "First Check:The current acount is Administrator",
                                        "The system is vista or windows7", "The User is admin.", kEnd}),
              LogMessages());
    EXPECT_EQ(std::vector<std::string>({"direct"}), probe.asked) << "no token was opened";
}

TEST_F(AdminDecision, NonElevatedAdministratorThroughTheLinkedToken) {
    probe.linked = Membership::kMember;
    EXPECT_EQ(1, DecideAdmin(probe, 6));
    EXPECT_EQ(std::vector<std::string>({kBegin, "First Check: The current acount is Non-Administrator",
                                        "The system is vista", "The system is vista or windows7",
                                        "The User is admin.", kEnd}),
              LogMessages());
    EXPECT_EQ(std::vector<std::string>({"direct", "linked"}), probe.asked);
}

TEST_F(AdminDecision, StandardUserOnWindows7DependsOnUserAccountControl) {
    probe.lua = 1;
    EXPECT_EQ(1, DecideAdmin(probe, 5));
    std::vector<std::string> messages = LogMessages();
    EXPECT_EQ(
        std::vector<std::string>({kBegin, "First Check: The current acount is Non-Administrator",
                                  "The system is vista", "The system is vista or windows7",
                                  "The User is standard user!", "EnableLUA is: 1 ", "UAC is open", kEnd}),
        messages);

    DeleteLog();
    probe.lua = 0;
    EXPECT_EQ(0, DecideAdmin(probe, 5));
    EXPECT_EQ("UAC is not open", LogMessages().at(6));
}

TEST_F(AdminDecision, UnreadableUserAccountControlKeepsNo) {
    probe.luaReadable = false;
    EXPECT_EQ(0, DecideAdmin(probe, 3));
    EXPECT_EQ("GetRegKeyValue Error.", LogMessages().at(5));
}

TEST_F(AdminDecision, StandardUserOnXpIsNoWithoutAnyRegistryRead) {
    EXPECT_EQ(0, DecideAdmin(probe, 2));
    EXPECT_EQ(std::vector<std::string>({kBegin, "First Check: The current acount is Non-Administrator",
                                        "The system is not vista or WINDOWS7", kEnd}),
              LogMessages());
    EXPECT_EQ(std::vector<std::string>({"direct"}), probe.asked);
}

TEST_F(AdminDecision, BeforeTheProfileIsReadUserAccountControlIsNeverAsked) {
    EXPECT_EQ(0, DecideAdmin(probe, 0));
    EXPECT_EQ(std::vector<std::string>({"direct"}), probe.asked);
}

TEST_F(AdminDecision, FailedFirstCheckStillAsksUserAccountControlOnVista) {
    probe.direct = Membership::kError;
    EXPECT_EQ(1, DecideAdmin(probe, 4));
    EXPECT_EQ(
        std::vector<std::string>({kBegin, "The system is vista or windows7", "The User is standard user!",
                                  "EnableLUA is: 1 ", "UAC is open", kEnd}),
        LogMessages());
    DeleteLog();
    EXPECT_EQ(0, DecideAdmin(probe, 1));
    EXPECT_EQ(std::vector<std::string>({kBegin, kEnd}), LogMessages());
}

TEST_F(AdminDecision, FailedLinkedTokenFallsBackToUserAccountControl) {
    probe.linked = Membership::kError;
    probe.lua = 0;
    EXPECT_EQ(0, DecideAdmin(probe, 6));
    EXPECT_EQ(std::vector<std::string>({"direct", "linked", "lua"}), probe.asked);
}

// Wine's account is an administrator: the real probe finds it in the Administrators group at once.
TEST_F(AdminDecision, RealAccountUnderWineIsAnAdministrator) {
    g_nEdition = 5;
    EXPECT_EQ(1, CheckAdmin());
    g_nEdition = 0;
    EXPECT_EQ(std::vector<std::string>({kBegin, "First Check:The current acount is Administrator",
                                        "The system is vista or windows7", "The User is admin.", kEnd}),
              LogMessages());
}
