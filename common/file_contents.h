// What the programs read out of a file's bytes: text searches and the checks of a bitmap's headers. Pure
// functions of the bytes, without a system call.
#pragma once

#include <cstddef>
#include <string>

// Cuts the text at its first zero byte and lowers its letters A to Z.
void LowerToFirstZero(std::string& content);
// The search of FileContainsText over text already in memory (content is lowered in place).
int TextContainsBoth(std::string& content, const char* text1, const char* text2);
// Whether the first bytes of a .bmp file (head) and its size describe a whole bitmap: complete headers
// and all the pixel data they announce.
bool IsWholeBitmap(const std::string& head, unsigned long long fileSize);
// How many of a file's first bytes IsWholeBitmap needs.
constexpr size_t kBitmapHeadSize = 14 + 40;
