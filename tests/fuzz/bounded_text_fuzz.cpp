// Bounded copying, appending and formatting into rooms of every size: nothing is written past the room,
// the result is always terminated, and the answer says whether the whole text fitted.
#include "common/text.h"
#include "fuzz_check.h"

#include <cstring>
#include <string>

namespace {

constexpr size_t kGuard = 16;
constexpr char kGuardByte = '\x5a';

// A room of `room` bytes followed by guard bytes that must stay untouched.
struct Room {
    explicit Room(size_t room) : bytes(room + kGuard, kGuardByte), size(room) {}
    char* Data() { return &bytes[0]; }
    bool GuardIntact() const { return bytes.find_first_not_of(kGuardByte, size) == std::string::npos; }
    std::string bytes;
    size_t size;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    size_t room = input.ConsumeIntegralInRange<size_t>(0, 300);
    std::string start = input.ConsumeRandomLengthString(300);
    std::string text = input.ConsumeRemainingBytesAsString();
    text = text.substr(0, text.find('\0'));

    Room copy(room);
    bool fitted = CopyBounded(copy.Data(), room, text.c_str());
    FUZZ_EXPECT(copy.GuardIntact());
    FUZZ_EXPECT(fitted == (text.size() < room));
    if (room > 0)
        FUZZ_EXPECT(strncmp(copy.Data(), text.c_str(), room - 1) == 0 && strlen(copy.Data()) < room);

    Room append(room);
    if (room > 0) {
        CopyBounded(append.Data(), room, start.c_str());
        size_t used = strlen(append.Data());
        fitted = AppendBounded(append.Data(), room, text.c_str());
        FUZZ_EXPECT(append.GuardIntact() && strlen(append.Data()) < room);
        FUZZ_EXPECT(fitted == (used + text.size() < room));
    }

    Room formatted(room);
    fitted = FormatBounded(formatted.Data(), room, "%s|%d", text.c_str(), static_cast<int>(room));
    std::string whole = text + "|" + std::to_string(room);
    FUZZ_EXPECT(formatted.GuardIntact());
    FUZZ_EXPECT(fitted == (whole.size() < room));
    if (room > 0)
        FUZZ_EXPECT(strncmp(formatted.Data(), whole.c_str(), room - 1) == 0 &&
                    strlen(formatted.Data()) < room);
    return 0;
}
