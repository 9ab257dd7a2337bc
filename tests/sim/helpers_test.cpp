#include "tests/sim/simpc.h"

#include <gtest/gtest.h>

#include <setupapi.h>

#include <cstring>

namespace {

TEST(SimHelpers, DriveLettersAreReadInTheirUsualForms) {
    char letter = 0;
    for (const char* text : {"e", "E", "e:", "E:", "E:\\"}) {
        letter = 0;
        EXPECT_TRUE(sim::ParseDriveLetter(text, &letter)) << text;
        EXPECT_EQ('E', letter) << text;
    }
    for (const char* text : {"", "1:", "EF", "E:x", "E\\", ":", "E:\\\\"})
        EXPECT_FALSE(sim::ParseDriveLetter(text, &letter)) << text;
}

TEST(SimHelpers, IdListsBecomeRegistryMultiStringsAndBack) {
    std::vector<std::string> ids = sim::SplitList("USB\\VID_1&PID_2,,USB\\Class_ff,", ',');
    ASSERT_EQ(2u, ids.size());
    EXPECT_EQ("USB\\VID_1&PID_2", ids[0]);
    EXPECT_EQ("USB\\Class_ff", ids[1]);
    EXPECT_TRUE(sim::SplitList("", ',').empty());
    EXPECT_TRUE(sim::SplitList(nullptr, ',').empty());

    std::string image = sim::MultiSz(ids);
    EXPECT_EQ(std::string("USB\\VID_1&PID_2\0USB\\Class_ff\0\0", 30), image);
    EXPECT_EQ(ids, sim::SplitMultiSz(image.data(), image.size()));
    // The reader stops at the empty string and at the size read, whichever comes first.
    EXPECT_EQ(std::vector<std::string>{"USB\\VID_1&PID_2"}, sim::SplitMultiSz(image.data(), 16));
    EXPECT_EQ(std::vector<std::string>{"US"}, sim::SplitMultiSz(image.data(), 2));
    EXPECT_TRUE(sim::SplitMultiSz("\0a\0", 4).empty());
}

TEST(SimHelpers, NumberedTextsReplaceEveryHashAndRefuseWhatDoesNotFit) {
    char out[32];
    ASSERT_TRUE(sim::NumberedText("USB\\VID_1&PID_2\\#&#", 7, out, sizeof out));
    EXPECT_STREQ("USB\\VID_1&PID_2\\0007&0007", out);
    ASSERT_TRUE(sim::NumberedText("N#", 12345, out, sizeof out));
    EXPECT_STREQ("N12345", out);
    ASSERT_TRUE(sim::NumberedText("plain", 3, out, sizeof out));
    EXPECT_STREQ("plain", out);
    EXPECT_FALSE(sim::NumberedText("0123456789012345678901234567#", 1, out, sizeof out));
    EXPECT_EQ(sizeof out - 1, strlen(out));
}

TEST(SimHelpers, CountsAreShortDecimalNumbers) {
    int value = -1;
    EXPECT_TRUE(sim::ParseCount("500", &value));
    EXPECT_EQ(500, value);
    EXPECT_TRUE(sim::ParseCount("0", &value));
    EXPECT_EQ(0, value);
    for (const char* text : {"", "-1", "5x", " 5", "1234567", "0x10"})
        EXPECT_FALSE(sim::ParseCount(text, &value)) << text;
}

TEST(SimHelpers, ClassNamesAndGuidsNameTheSetupClasses) {
    GUID modem, parsed;
    ASSERT_TRUE(sim::DeviceClassGuid("modem", &modem));
    ASSERT_TRUE(sim::ParseGuid("{4d36E96D-E325-11CE-BFC1-08002BE10318}", &parsed));
    EXPECT_TRUE(IsEqualGUID(modem, parsed));
    EXPECT_EQ("Modem", sim::DeviceClassName(modem));
    ASSERT_TRUE(sim::DeviceClassGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}", &parsed));
    EXPECT_EQ(0x01234567ul, parsed.Data1);
    EXPECT_EQ(0xCDEF, parsed.Data3);
    EXPECT_EQ(0xEF, parsed.Data4[7]);
    EXPECT_EQ("{01234567-89AB-CDEF-0123-456789ABCDEF}", sim::DeviceClassName(parsed));
    EXPECT_FALSE(sim::DeviceClassGuid("Printer", &parsed));
    EXPECT_FALSE(sim::ParseGuid("{01234567-89AB-CDEF-0123-456789ABCDEG}", &parsed));
    EXPECT_FALSE(sim::ParseGuid("01234567-89AB-CDEF-0123-456789ABCDEF", &parsed));
    EXPECT_FALSE(sim::ParseGuid("{01234567-89AB-CDEF-0123-456789ABCDEF}x", &parsed));
}

TEST(SimHelpers, QuotedArgumentsKeepTheirBackslashesAndQuotes) {
    char line[64] = "";
    ASSERT_TRUE(sim::AppendQuotedArgument(line, sizeof line, "E:\\"));
    ASSERT_TRUE(sim::AppendQuotedArgument(line, sizeof line, "say \"hi\""));
    ASSERT_TRUE(sim::AppendQuotedArgument(line, sizeof line, "C:\\a b\\c"));
    ASSERT_TRUE(sim::AppendQuotedArgument(line, sizeof line, ""));
    EXPECT_STREQ("\"E:\\\\\" \"say \\\"hi\\\"\" \"C:\\a b\\c\" \"\"", line);
    char small[8] = "";
    EXPECT_FALSE(sim::AppendQuotedArgument(small, sizeof small, "E:\\folder"));
}

TEST(SimHelpers, CdromRecordsHoldTheSignInAScsiCdromPath) {
    char record[200];
    ASSERT_TRUE(sim::CdromRecordForSign("Ven_Palvio&Prod_Virtual_Modem", record, sizeof record));
    EXPECT_EQ(0, strncmp(record, "\\??\\SCSI#CdRom&Ven_Palvio&Prod_Virtual_Modem#", 45)) << record;
    char small[40];
    EXPECT_FALSE(sim::CdromRecordForSign("Ven_Palvio", small, sizeof small));
}

TEST(SimHelpers, ErrorsAreDescribedWithTheirCodeAndName) {
    EXPECT_EQ("error 0xe0000207, ERROR_DEVINST_ALREADY_EXISTS",
              sim::DescribeError(ERROR_DEVINST_ALREADY_EXISTS));
    EXPECT_EQ("error 0x2, ERROR_FILE_NOT_FOUND", sim::DescribeError(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ("error 0x4d2", sim::DescribeError(1234));
}

} // namespace
