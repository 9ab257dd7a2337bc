// Hardware-ID lists as a device's registry may hold them (any bytes, any length), and driver version
// texts and IDs as a profile may hold them.
#include "common/device_ids.h"
#include "fuzz_check.h"

#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    size_t consumed = 0;
    for (const std::string& id : LoweredIdList(bytes, size)) {
        FUZZ_EXPECT(!id.empty());
        for (size_t i = 0; i < id.size(); ++i) {
            FUZZ_EXPECT(!IsUpperAscii(id[i]) && id[i] != '\0');
            // Each string is the device's own, lowered: nothing else changes.
            char original = bytes[consumed + i];
            FUZZ_EXPECT(id[i] == (IsUpperAscii(original) ? original - 'A' + 'a' : original));
        }
        consumed += id.size() + 1;
        FUZZ_EXPECT(consumed <= size && bytes[consumed - 1] == '\0');
    }

    std::string text(bytes, size);
    unsigned long long version = ParseDriverVersion(text.c_str());
    // The major part is the text's first number (after blanks and dots), at most 65535.
    const char* at = text.c_str() + strspn(text.c_str(), ". ");
    unsigned long major = 0;
    for (; *at >= '0' && *at <= '9'; ++at) {
        major = major * 10 + static_cast<unsigned long>(*at - '0');
        if (major > 0xffff)
            major = 0xffff;
    }
    FUZZ_EXPECT(version >> 48 == major);
    FUZZ_EXPECT(ParseDriverVersion(text.c_str()) == version);

    // The profile's ID rules, on any text: each narrower rule takes only what the wider one takes, and a
    // whole ID holds an enumerator, a backslash, and neither a blank, a comma nor a control character.
    if (IsUsbFunctionId(text))
        FUZZ_EXPECT(IsInterfaceId(text));
    if (IsInterfaceId(text))
        FUZZ_EXPECT(IsWholeDeviceId(text));
    if (IsWholeDeviceId(text)) {
        FUZZ_EXPECT(text.find('\\') > 0 && text.find('\\') != std::string::npos);
        for (char c : text)
            FUZZ_EXPECT(static_cast<unsigned char>(c) > ' ' && static_cast<unsigned char>(c) < 0x7f &&
                        c != ',');
    }
    return 0;
}
