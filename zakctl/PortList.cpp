#include "PortList.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "PortArgument.h"
#include "PortLock.h"
#include "PortName.h"

namespace zak::ctl {

namespace {

std::vector<std::string> entries(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && name.compare(0, prefix.size(), prefix) == 0)
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool isCharDevice(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

std::string realPath(const std::string& path) {
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : path;
}

// A ttyS device stands for a real UART when the kernel knows its type (0 is "unknown").
bool hasUart(const std::string& name) {
    std::ifstream type("/sys/class/tty/" + name + "/type");
    int value = 0;
    return type >> value && value != 0;
}

std::string processName(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name.empty() ? "" : " (" + name + ")";
}

// The lock file as the serial component reads it when it opens the port.
std::string lockFileOwner(const std::string& device) {
    const auto holder = TPortLock::HeldBy(device, TPortLock::DefaultDirectory);
    if (!holder)
        return "";
    if (holder->pid == 0)
        return "locked (" + holder->file + " names no process)";
    return "locked by process " + std::to_string(holder->pid) + processName(holder->pid) + " (" +
           holder->file + ")";
}

// /proc/locks names a locked file as major:minor:inode of the file system it lies on.
std::string exclusiveHolder(const std::string& device) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0)
        return "";
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream in(line);
        std::string number, type, mode, access, where;
        long pid = 0;
        if (!(in >> number >> type))
            continue;
        if (type == "->")  // a process waiting for the lock, not holding it
            continue;
        if (!(in >> mode >> access >> pid >> where))
            continue;
        unsigned major = 0, minor = 0;
        unsigned long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%lu", &major, &minor, &inode) != 3)
            continue;
        if (major == ::major(st.st_dev) && minor == ::minor(st.st_dev) && inode == st.st_ino)
            return "held by process " + std::to_string(pid) + processName(pid);
    }
    return "";
}

PortEntry entry(const std::string& name, const std::string& device, const std::string& kind) {
    PortEntry e{name, device, kind, isCharDevice(device), ""};
    if (e.present)
        e.busy = BusyReason(device);
    return e;
}

}  // namespace

std::string BusyReason(const std::string& device) {
    const std::string lock = lockFileOwner(device);
    return lock.empty() ? exclusiveHolder(device) : lock;
}

std::vector<PortEntry> ListPorts() {
    std::vector<PortEntry> ports;
    const std::string byId = "/dev/serial/by-id/";
    for (const std::string& name : entries(byId, ""))
        ports.push_back(entry(byId + name, realPath(byId + name), "by-id"));
    for (const std::string& name : entries("/dev", "ttyUSB"))
        ports.push_back(entry("/dev/" + name, "/dev/" + name, "usb"));
    for (const std::string& name : entries("/dev", "ttyACM"))
        ports.push_back(entry("/dev/" + name, "/dev/" + name, "acm"));
    for (const std::string& name : entries("/dev", "ttyS")) {
        if (hasUart(name))
            ports.push_back(entry("/dev/" + name, "/dev/" + name, "uart"));
    }
    for (int n = 1; n <= ComPortCount; ++n) {
        const std::string com = "COM" + std::to_string(n);
        ports.push_back(entry(com, ResolveCommPort(com), "com"));
    }
    return ports;
}

}  // namespace zak::ctl
