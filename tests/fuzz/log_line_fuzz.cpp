// Log lines of any time, program name and message: each is one whole line in CR LF form that carries the
// name and the message in full, and a program path always gives a name without folders.
#include "common/log_line.h"
#include "fuzz_check.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    SYSTEMTIME time = {};
    time.wYear = input.ConsumeIntegral<WORD>();
    time.wMonth = input.ConsumeIntegral<WORD>();
    time.wDay = input.ConsumeIntegral<WORD>();
    time.wHour = input.ConsumeIntegral<WORD>();
    time.wMinute = input.ConsumeIntegral<WORD>();
    time.wSecond = input.ConsumeIntegral<WORD>();
    std::string path = input.ConsumeRandomLengthString(300);
    std::string message = input.ConsumeRemainingBytesAsString();
    message = message.substr(0, message.find('\0'));

    std::string name = ProgramNameFromPath(path.c_str());
    FUZZ_EXPECT(name.find('\\') == std::string::npos && name.size() <= path.size());

    std::string line = ComposeLogLine(time, name, message.c_str());
    FUZZ_EXPECT(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0);
    size_t at = line.find(name + ": ");
    FUZZ_EXPECT(at != std::string::npos && at < 32);
    // The message follows whole, each line break as CR LF.
    std::string expected;
    for (char c : message) {
        if (c == '\n')
            expected += '\r';
        expected += c;
    }
    FUZZ_EXPECT(line.compare(at + name.size() + 2, std::string::npos, expected + "\r\n") == 0);
    return 0;
}
