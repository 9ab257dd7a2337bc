// Bounded text: every composed path, command line and message goes through these, so that nothing is ever
// written past its room. Each returns whether the whole text fitted; the output is always zero-terminated
// (when room > 0) and, when the text did not fit, holds it cut at its room.
#pragma once

#include <cstdarg>
#include <cstddef>

#define SUITE_PRINTF(fmt, args) __attribute__((format(ms_printf, fmt, args)))

bool FormatBounded(char* out, size_t room, const char* format, ...) SUITE_PRINTF(3, 4);
bool FormatBoundedV(char* out, size_t room, const char* format, va_list args);
bool CopyBounded(char* out, size_t room, const char* text);
bool AppendBounded(char* out, size_t room, const char* text);

// Reads a decimal number the way "%d" does: blanks, a sign and digits, anything after them ignored; a number
// past the range of int counts as the nearest end of it. False, with *value untouched, when the text does
// not begin with a number.
bool ScanDecimal(const char* text, int* value);

// Room of every path and command line the system composes (MAX_PATH).
constexpr size_t kPathRoom = 260;
