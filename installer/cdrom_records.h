// The device's CD-ROM drive told apart by its mounted-device record, and a folder window's address told
// apart by its text: the pieces of finding the drive and closing its windows that need no system call
// besides the code-page conversion.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

// Memory of malloc (as the registry reader hands it over), freed with its owner.
struct FreeDeleter {
    void operator()(void* memory) const { free(memory); }
};
using MallocBuffer = std::unique_ptr<unsigned char, FreeDeleter>;

enum class RecordMatch { kNo, kYes, kNoMemory };
// Whether a mounted-device record (UTF-16 text of `size` bytes) contains the lowered sign, either case.
RecordMatch RecordHoldsSign(const unsigned char* data, DWORD size, const std::string& loweredSign);
// Whether a child window of a folder window is the edition's address control and shows the drive.
bool AddressShowsDrive(const char* className, const char* text, const char* addressClass, const char* drive);
// Whether a location that the shell names ("file:///E:/Setup", or a path "E:\Setup") lies on the drive
// ("E:"), in either case.
bool LocationShowsDrive(const std::string& location, const std::string& drive);
// The ASCII letters of a text lowered; other bytes (those of double-byte characters too) are kept.
std::string LowerAscii(std::string text);

// Records longer than this are not device paths: refused rather than converted.
constexpr DWORD kLongestMountedRecord = 64 * 1024;
