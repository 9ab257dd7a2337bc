// The text forms of device identities and driver versions: pure functions of their bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The strings of a multi-string property, lowered (A to Z), in order: up to the first empty string or the
// end of the data. A last string without its terminator is left out rather than read past the data.
std::vector<std::string> LoweredIdList(const char* data, size_t length);

// A driver version text of up to four decimal numbers separated by dots or blanks ("2.1.0.8") as the
// 64-bit number Windows uses: major in the top 16 bits, then minor, build and revision. Missing parts are
// 0; a part without leading digits is 0; a part above 65535 counts as 65535.
unsigned long long ParseDriverVersion(const char* text);
