#pragma once

// The serial devices of this machine, for `zakctl ports`. Nothing is opened: a device is
// looked at through /dev, /sys and /proc only, so listing never disturbs a line.

#include <string>
#include <vector>

namespace zak::ctl {

struct PortEntry {
    std::string name;     // what --port takes: a path, or COM1..COM8
    std::string device;   // the device it leads to (a by-id link's target, COMn's mapping)
    std::string kind;     // "by-id", "usb", "acm", "uart" or "com"
    bool present = true;  // the device exists
    std::string busy;     // why it is busy, empty when it is free
};

// /dev/serial/by-id/* with their targets, /dev/ttyUSB*, /dev/ttyACM*, the /dev/ttyS* that
// have a UART, and COM1..COM8 as the window maps them.
std::vector<PortEntry> ListPorts();

// Why the device is busy: a lock file of a running process (/run/lock/LCK..<name>, as other
// serial programs write it), or an exclusive lock on the device held by a process (as
// ZAK Manager and zakctl take one). Empty when neither.
std::string BusyReason(const std::string& device);

}  // namespace zak::ctl
