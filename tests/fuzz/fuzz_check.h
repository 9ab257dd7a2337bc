// What every fuzzer shares: a failed expectation is a finding. It is reported with its line and ends the
// run through abort(), which libFuzzer records as a crash with the input that caused it.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

#define FUZZ_EXPECT(condition)                                                                               \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            fprintf(stderr, "%s:%d: expected %s\n", __FILE__, __LINE__, #condition);                         \
            abort();                                                                                         \
        }                                                                                                    \
    } while (0)

inline bool IsUpperAscii(char c) {
    return c >= 'A' && c <= 'Z';
}
