// Which identities of the device are attached, and whether their drivers are older than the package's.
// Every probe walks all present devices of every class once; IDs are compared after lowering the device's
// side only, so callers pass lower-case IDs.
#pragma once

#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

// *absent becomes 0 when a present device has hwid among its hardware IDs and, unless compatId is null or
// empty, compatId among its compatible IDs; else 1. Answers 0 only when the device list cannot be had.
int DetectDevice(const char* hwid, const char* compatId, int* absent);

// A multi-string ID property of one device (SPDRP_HARDWAREID, SPDRP_COMPATIBLEIDS), lowered. False when the
// device has none, or it is not a multi-string.
bool ReadDeviceIdList(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property, std::vector<std::string>& ids);

// 1 when the device's compatible-ID list holds compatId.
int HasCompatibleId(HDEVINFO set, SP_DEVINFO_DATA* device, const char* compatId);

// 1 when the profile's version text is newer than the driver Windows finds for the first present device
// with hwid (an update is needed), else 0 (also when there is no such device).
int CheckDriverVersion(const char* hwid, const std::string& version);

// The strings of a multi-string property, lowered (A to Z), in order: up to the first empty string or the
// end of the data. A last string without its terminator is left out rather than read past the data.
std::vector<std::string> LoweredIdList(const char* data, size_t length);

// A driver version text of up to four decimal numbers separated by dots or blanks ("2.1.0.8") as the
// 64-bit number Windows uses: major in the top 16 bits, then minor, build and revision. Missing parts are
// 0; a part without leading digits is 0; a part above 65535 counts as 65535.
unsigned long long ParseDriverVersion(const char* text);
