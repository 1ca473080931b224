#pragma once

#include <string>

namespace zak {

// The device path that `CommPort` names. "COM<n>" (n from 1, no leading zero, upper-case
// "COM") is the device named by the environment variable ZAK_COM<n> when it is set and not
// empty, else /dev/ttyS<n-1>; so ZAK_COM1=/dev/ttyUSB0 puts a USB adapter behind COM1. Any
// other name is a path and is returned as it stands.
std::string ResolveCommPort(const std::string& commPort);

}  // namespace zak
