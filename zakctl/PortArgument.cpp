#include "PortArgument.h"

#include "CtlError.h"
#include "PortName.h"

namespace zak::ctl {

void CheckPortArgument(const std::string& port) {
    for (int n = 1; n <= ComPortCount; ++n) {
        if (port == "COM" + std::to_string(n))
            return;
    }
    if (port.find('/') != std::string::npos)
        return;
    throw CtlError(ExitStatus::Usage,
                   "--port takes COM1 to COM8 or a device path such as "
                   "/dev/ttyUSB0, not \"" +
                       port + "\"");
}

std::string DescribePort(const std::string& port) {
    const std::string device = ResolveCommPort(port);
    return device == port ? port : port + " (" + device + ")";
}

}  // namespace zak::ctl
