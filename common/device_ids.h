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

// The characters of a device ID's text: letters, digits, '&', '_' and '\'. A text found beside one of them
// is part of a longer ID, not the ID itself.
bool IsIdCharacter(char c);

// The rules a hardware or compatible ID from a profile meets before the programs look for it in the device
// list or in an INF store, in either letter case. The ID is searched as text in files Windows keeps for
// every maker, so a fragment would stand for other makers' devices.
//
// A whole device ID: an enumerator of letters, digits and '_', a backslash, and a device part of pieces
// separated by '&' or '\', none empty, of printable ASCII without blanks or commas (as Windows writes
// them); a piece that names a vendor or product (vid_, pid_) gives four hex digits. "usbstor\cdrom",
// "usb\class_02&subclass_02", "usb\vid_0403&pid_6001&rev_0600".
bool IsWholeDeviceId(const std::string& id);
// The ID of a device's USB function itself, from which the interfaces' IDs are formed:
// "usb\vid_XXXX&pid_XXXX", four hex digits each, nothing more.
bool IsUsbFunctionId(const std::string& id);
// The ID of one of the device's driver interfaces (modem, serial, ADB): a whole device ID that names the
// vendor and the product (vid_XXXX and pid_XXXX pieces), on the USB bus or behind a bus driver
// ("ftdibus\comport&vid_0403&pid_6010"), or one that a software enumerator (root, umdf, sw, swd) gives a
// device of its own ("umdf\virtualserial2um"). A class or compatible ID names no one device.
bool IsInterfaceId(const std::string& id);
