#pragma once

// --port: COM1 to COM8, mapped to devices as the window maps them (ZAK_COM<n>, else
// /dev/ttyS<n-1>), or a device path.

#include <string>

namespace zak::ctl {

// The number of COM names the window offers.
constexpr int ComPortCount = 8;

// Throws CtlError (usage) unless `port` is COM1..COM8 or a path (it holds a '/').
void CheckPortArgument(const std::string& port);

// The port for messages: "COM1 (/dev/ttyS0)", or the path as given.
std::string DescribePort(const std::string& port);

}  // namespace zak::ctl
