// A drive's mounted-device record (any bytes, odd lengths included) tested for the device's sign: the
// answer must be the plain search over the record's characters, lowered.
#include "fuzz_check.h"
#include "installer/cdrom_records.h"

#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string sign = LowerAscii(input.ConsumeRandomLengthString(40));
    std::string record = input.ConsumeRemainingBytesAsString();
    // The registry hands the record over in memory of its own, aligned for its UTF-16 characters.
    MallocBuffer copy(static_cast<unsigned char*>(malloc(record.size() + 1)));
    FUZZ_EXPECT(copy != nullptr);
    memcpy(copy.get(), record.data(), record.size());

    RecordMatch match = RecordHoldsSign(copy.get(), static_cast<DWORD>(record.size()), sign);
    std::string characters;
    for (size_t i = 0; i + 1 < record.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(record[i]) |
                                              static_cast<unsigned char>(record[i + 1]) << 8);
        characters += unit < 0x100 ? static_cast<char>(unit) : '?';
    }
    bool expected = !characters.empty() && LowerAscii(characters).find(sign) != std::string::npos;
    FUZZ_EXPECT(match == (expected ? RecordMatch::kYes : RecordMatch::kNo));

    std::string drive = input.ConsumeRandomLengthString(4);
    FUZZ_EXPECT(AddressShowsDrive("Edit", record.c_str(), "Edit", drive.c_str()) ==
                (LowerAscii(record.c_str()).find(LowerAscii(drive.c_str())) != std::string::npos));
    return 0;
}
