// Command lines and configured word lists: portflip's command line and SCSI bytes, and the installer's list
// of products to remove.
#include "components/portflip/request.h"
#include "fuzz_check.h"
#include "installer/removal_decisions.h"

#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string text = input.ConsumeRemainingBytesAsString();
    text = text.substr(0, text.find('\0'));

    std::string mode;
    char letter = 0;
    if (ParseCommandLine(text.c_str(), mode, letter)) {
        FUZZ_EXPECT(IsUpperAscii(letter) && mode.size() >= 2 && mode[0] == '-');
        FUZZ_EXPECT(text.find(mode) != std::string::npos);
    }

    unsigned char bytes[16];
    int count = -1;
    if (ParseCommandBytes(text, bytes, count)) {
        FUZZ_EXPECT(count >= 1 && count <= 16);
        // Written out again, the bytes read back the same.
        std::string written;
        for (int i = 0; i < count; ++i) {
            char hex[4];
            snprintf(hex, sizeof hex, "%02X ", bytes[i]);
            written += hex;
        }
        unsigned char again[16];
        int againCount = 0;
        FUZZ_EXPECT(ParseCommandBytes(written, again, againCount) && againCount == count);
        for (int i = 0; i < count; ++i)
            FUZZ_EXPECT(again[i] == bytes[i]);
    }

    std::string joined, kept;
    for (const std::string& token : SplitPidList(text.c_str())) {
        FUZZ_EXPECT(!token.empty() && token.find_first_of(" ,") == std::string::npos);
        joined += token;
    }
    for (char c : text) {
        if (c != ' ' && c != ',')
            kept += c;
    }
    FUZZ_EXPECT(joined == kept);
    return 0;
}
