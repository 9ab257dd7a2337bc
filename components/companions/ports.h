// The serial and modem ports Windows has mapped, as HKLM\HARDWARE\DEVICEMAP\SERIALCOMM lists them: each
// port driver (the modem's, the serial port's, the standard ones) writes its device name and COM name there.
#pragma once

#include <string>
#include <vector>

// "COM3 (\Device\qvmodem0)" per port, sorted by the COM name's number; empty when there is none.
std::vector<std::string> ListSerialPorts();

// The order of two COM names: by their number ("COM3" before "COM10"), names without one after them.
bool ComesBefore(const std::string& first, const std::string& second);
